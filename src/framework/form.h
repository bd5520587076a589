#pragma once
#include <functional>
#include <string>
#include <vector>

#include <optional>

#include "framework/controls.h"
#include "framework/image_list.h"
#include "framework/menu.h"

namespace fw {

// A message sent to a form's own window, with what the backend already took
// out of it: the bytes of a WM_COPYDATA (bounded by the backend to what the
// sender said it sent) and the paths of a WM_DROPFILES.
struct WindowMessage {
  Message message;
  std::string copyData;
  bool hasCopyData = false;
  std::vector<std::string> droppedFiles;
  intptr_t result = 0;
};

class Form : public Control {
 public:
  Form(Application& app, std::string className);
  ~Form() override;

  Application& App() const { return app_; }
  // The window class of the real window, which other programs look for.
  const std::string& ClassName() const { return className_; }

  // Window kind, fixed before Realize.
  bool AlwaysOnTop = false;
  bool FixedSize = false;
  bool AcceptFiles = false;
  bool SystemMenuOnly = false;  // no minimise or maximise box
  MenuItem MainMenu;
  std::optional<Image> Icon;  // caption and task switcher

  // Creates the window (hidden) and its controls.
  void Realize();
  bool Realized() const { return realized_; }
  uintptr_t Handle() const { return handle_; }
  void SetHandle(uintptr_t handle) { handle_ = handle; }

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Closing the main form ends the application.
  void Close();
  void DisableCloseCommand();
  bool CloseCommandDisabled() const { return closeDisabled_; }
  void BringToForeground();
  void Minimize();

  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<void()> OnClose;
  // Every message to the form's own window; set handled to stop the usual handling.
  std::function<void(WindowMessage&, bool& handled)> OnWindowMessage;

 protected:
  void OnVisibilityChanged() override;

 private:
  Application& app_;
  std::string className_;
  bool realized_ = false;
  bool closeDisabled_ = false;
  bool closing_ = false;
  uintptr_t handle_ = 0;
};

}  // namespace fw
