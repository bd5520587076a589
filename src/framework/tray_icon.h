#pragma once
#include <functional>
#include <optional>
#include <string>

#include "framework/types.h"

namespace fw {

class Application;
class ImageList;

enum class BalloonIcon { None, Info, Warning, Error };

struct Balloon {
  std::string title;
  std::string text;
  BalloonIcon icon = BalloonIcon::None;
  int timeoutSeconds = 10;
};

class TrayIcon {
 public:
  explicit TrayIcon(Application& app) : app_(app) {}
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  ImageList* Images = nullptr;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);

  void ShowBalloon(const Balloon& balloon);
  void HideBalloon();
  const std::optional<Balloon>& CurrentBalloon() const { return balloon_; }

  std::function<void(MouseButton)> OnMouseDown;
  std::function<void(MouseButton)> OnMouseUp;
  std::function<void()> OnDblClick;

  void* peer = nullptr;  // the backend's

 private:
  void Changed();
  Application& app_;
  int imageIndex_ = -1;
  std::string hint_;
  bool visible_ = false;
  std::optional<Balloon> balloon_;
};

}  // namespace fw
