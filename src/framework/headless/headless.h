#pragma once
// The in-process backend for tests and tools: a message queue with registered
// ids, a virtual clock (timers and Delay advance it, nothing sleeps), scripted
// answers for message boxes and pop-up menus, and a fake Os with an in-memory
// Windows-like file system that records every call.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/form.h"
#include "framework/menu.h"
#include "framework/os.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"

namespace headless {

class Application : public fw::Application {
 public:
  Application();

  uint32_t RegisterMessage(const std::string& name) override;
  bool Post(uintptr_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  void Run() override;
  void ProcessMessages() override;
  uint32_t TickCount() override { return clock_; }

  void RealizeForm(fw::Form& form) override;
  void DestroyForm(fw::Form& form) override;
  void ControlChanged(fw::Control&) override {}
  void FocusControl(fw::Control& control) override { focused_ = &control; }
  bool IsFocused(const fw::Control& control) const override { return focused_ == &control; }
  void DisableCloseCommand(fw::Form&) override {}
  void BringToForeground(fw::Form& form) override { foregroundLog.push_back(form.Handle()); }
  void MinimizeForm(fw::Form& form) override;
  void TimerChanged(fw::Timer& timer) override;
  void TimerDestroyed(fw::Timer& timer) override { timers_.erase(&timer); }
  void TrayChanged(fw::TrayIcon& tray) override;
  void TrayDestroyed(fw::TrayIcon&) override {}
  fw::MenuItem* TrackPopup(fw::PopupMenu& menu, fw::Point screen) override;

  // Advances the virtual clock by ms, handling messages and timers on the way.
  void Advance(uint32_t ms) { Delay(ms); }
  // Sends a message to a form's own window, as the system would.
  intptr_t SendToForm(fw::Form& form, fw::WindowMessage& message);
  // The registered id of a name, or 0 when nobody registered it.
  uint32_t RegisteredId(const std::string& name) const;
  size_t PendingMessages() const { return queue_.size(); }

  struct PopupRecord {
    fw::Point at;
    std::string module;  // draw module name, empty when plain
    std::vector<std::string> captions;
  };
  std::vector<PopupRecord> popups;
  // Chooses an item of an open menu; default: the menu is dismissed.
  std::function<fw::MenuItem*(fw::PopupMenu&)> onPopup;
  std::vector<std::optional<fw::Balloon>> balloonLog;  // each change of balloon state
  std::vector<uintptr_t> foregroundLog;
  std::vector<fw::Message> filtered;  // every message the filter saw

 protected:
  void WaitForWork(uint32_t until) override;

 private:
  void FireDueTimers();
  uint32_t clock_ = 100000;
  uint32_t nextId_ = 0xC000;
  uintptr_t nextHandle_ = 0x1000;
  std::map<std::string, uint32_t> registered_;
  std::deque<fw::Message> queue_;
  std::map<fw::Timer*, uint32_t> timers_;  // next due tick
  std::map<uintptr_t, fw::Form*> forms_;
  fw::Control* focused_ = nullptr;
  std::map<fw::TrayIcon*, std::optional<fw::Balloon>> lastBalloon_;
};

class Dialogs : public fw::Dialogs {
 public:
  fw::MsgResult Ask(const std::string& text, const std::string& caption, fw::MsgKind kind,
                           fw::MsgButtons buttons) override;
  struct Record {
    std::string text, caption;
    fw::MsgKind kind;
    fw::MsgButtons buttons;
  };
  std::vector<Record> shown;
  // Answers for the next boxes, in order; when empty: OK, or No for Yes/No.
  std::deque<fw::MsgResult> answers;
};

class Os : public fw::Os {
 public:
  std::string ExecutablePath() override { return exePath; }
  bool FileExists(const std::string& path) override;
  std::optional<std::string> ReadFile(const std::string& path, size_t maxBytes) override;
  bool WriteFileAtomic(const std::string& path, const std::string& bytes) override;
  std::optional<uint32_t> CallLibrary(const std::string& libraryPath, const std::string& exportName,
                                      const fw::LibArg& arg) override;
  void SetHook(int value) override { hookCalls.push_back(value); }
  void MouseEvent(uint32_t flags, int dx, int dy, uint32_t data, uintptr_t extra) override;
  fw::Point CursorPos() override { return cursor; }
  bool ClaimSingleInstance() override { return !otherInstanceRunning; }
  void ShowRunningInstance() override { ++showRunningInstanceCalls; }

  // The in-memory file system: full paths, case-insensitive.
  struct File {
    std::string bytes;
    bool readOnly = false;
  };
  void PutFile(const std::string& path, const std::string& bytes, bool readOnly = false);
  std::optional<std::string> FileBytes(const std::string& path) const;
  void RemoveFile(const std::string& path);
  // Folders that accept no new files (an unwritable program folder).
  std::vector<std::string> readOnlyFolders;

  // Exports of libraries that exist, by library path then export name.
  using Export = std::function<uint32_t(const fw::LibArg&)>;
  void PutLibraryExport(const std::string& libraryPath, const std::string& name, Export fn);
  struct LibraryCall {
    std::string library, exportName;
    fw::LibArg arg;
    bool found;
  };
  std::vector<LibraryCall> libraryCalls;
  std::vector<std::string> CalledExports() const;

  std::string exePath = "C:\\Program Files\\Stavlo\\stavlo.exe";
  std::vector<int> hookCalls;
  struct MouseEventRecord {
    uint32_t flags;
    int dx, dy;
    uint32_t data;
    uintptr_t extra;
  };
  std::vector<MouseEventRecord> mouseEvents;
  fw::Point cursor{400, 300};
  bool otherInstanceRunning = false;
  int showRunningInstanceCalls = 0;

 private:
  static std::string Key(const std::string& path);
  bool FolderReadOnly(const std::string& path) const;
  std::map<std::string, File> files_;
  std::map<std::string, std::map<std::string, Export>> libraries_;
};

}  // namespace headless
