#include "framework/application.h"
#include "framework/dialogs.h"
#include "framework/form.h"
#include "framework/guard.h"
#include "framework/menu.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"

namespace fw {

// Application

void Application::Delay(uint32_t ms) {
  const uint32_t start = TickCount();
  // Unsigned difference: correct across the tick count's wrap-around.
  while (!Terminated() && TickCount() - start < ms) {
    ProcessMessages();
    if (Terminated() || TickCount() - start >= ms) break;
    WaitForWork(start + ms);
  }
}

void Application::Filter(const Message& message) {
  if (!OnMessage) return;
  try {
    bool handled = false;
    OnMessage(message, handled);
  } catch (...) {
    ReportException();
  }
}

void Application::ReportException() {
  std::string text = CurrentExceptionText();
  if (OnException) Guarded([&] { OnException(text); });
}

// Menus

MenuItem& MenuItem::Add(const std::string& caption, std::function<void()> onClick) {
  items_.push_back(std::make_unique<MenuItem>());
  MenuItem& item = *items_.back();
  item.Caption = caption;
  item.OnClick = std::move(onClick);
  return item;
}

MenuItem* MenuItem::Find(const std::string& name) {
  if (Name == name) return this;
  for (auto& child : items_)
    if (MenuItem* found = child->Find(name)) return found;
  return nullptr;
}

void MenuItem::Click() {
  // A copy: the handler may rebuild the menu this item lives in.
  auto handler = OnClick;
  if (handler) handler();
}

void PopupMenu::Popup(Point screen) {
  MenuItem* chosen = app_.TrackPopup(*this, screen);
  if (chosen) chosen->Click();
}

// Timer

Timer::~Timer() { app_.TimerDestroyed(*this); }

void Timer::SetInterval(uint32_t ms) {
  interval_ = ms;
  if (enabled_) app_.TimerChanged(*this);
}

void Timer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  app_.TimerChanged(*this);
}

void Timer::Fire() {
  if (enabled_ && OnTimer) OnTimer();
}

// Tray icon

TrayIcon::~TrayIcon() { app_.TrayDestroyed(*this); }

void TrayIcon::Changed() { app_.TrayChanged(*this); }

void TrayIcon::SetImageIndex(int index) {
  imageIndex_ = index;
  Changed();
}

void TrayIcon::SetHint(const std::string& hint) {
  hint_ = hint;
  Changed();
}

void TrayIcon::SetVisible(bool visible) {
  visible_ = visible;
  Changed();
}

void TrayIcon::ShowBalloon(const Balloon& balloon) {
  balloon_ = balloon;
  Changed();
}

void TrayIcon::HideBalloon() {
  balloon_.reset();
  Changed();
}

// Message boxes

void Dialogs::Inform(const std::string& text, const std::string& caption) {
  Ask(text, caption, MsgKind::Information, MsgButtons::Ok);
}
void Dialogs::Warn(const std::string& text, const std::string& caption) {
  Ask(text, caption, MsgKind::Warning, MsgButtons::Ok);
}
void Dialogs::Error(const std::string& text, const std::string& caption) {
  Ask(text, caption, MsgKind::Error, MsgButtons::Ok);
}
bool Dialogs::Confirm(const std::string& text, const std::string& caption) {
  return Ask(text, caption, MsgKind::Confirmation, MsgButtons::YesNo) == MsgResult::Yes;
}

}  // namespace fw
