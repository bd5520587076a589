#pragma once
// The application: its message queue and filter, and the backend's side of
// every component (each backend derives from this class).
#include <cstdint>
#include <functional>
#include <string>

#include "framework/types.h"

namespace fw {

class Control;
class Form;
class MenuItem;
class PopupMenu;
class Timer;
class TrayIcon;

class Application {
 public:
  virtual ~Application() = default;

  std::string Title;
  Form* MainForm = nullptr;
  // The application-wide filter: sees every queued message before dispatch.
  std::function<void(const Message&, bool& handled)> OnMessage;
  // Errors that reach the top of the loop; the default shows an error box.
  std::function<void(const std::string& text)> OnException;

  virtual uint32_t RegisterMessage(const std::string& name) = 0;
  virtual bool Post(uintptr_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam) = 0;
  // Runs the loop until Terminate.
  virtual void Run() = 0;
  void Terminate() { terminated_ = true; WakeUp(); }
  bool Terminated() const { return terminated_; }
  // Handles what is waiting in the queue and returns.
  virtual void ProcessMessages() = 0;
  virtual uint32_t TickCount() = 0;
  // Waits ms milliseconds by the tick count while processing messages.
  void Delay(uint32_t ms);

  // Backend side of the components.
  virtual void RealizeForm(Form& form) = 0;
  virtual void DestroyForm(Form& form) = 0;
  virtual void ControlChanged(Control& control) = 0;
  virtual void FocusControl(Control& control) = 0;
  virtual bool IsFocused(const Control& control) const = 0;
  virtual void DisableCloseCommand(Form& form) = 0;
  virtual void BringToForeground(Form& form) = 0;
  virtual void MinimizeForm(Form& form) = 0;
  virtual void TimerChanged(Timer& timer) = 0;
  virtual void TimerDestroyed(Timer& timer) = 0;
  virtual void TrayChanged(TrayIcon& tray) = 0;
  virtual void TrayDestroyed(TrayIcon& tray) = 0;
  // Shows the menu and returns the chosen item, or null.
  virtual MenuItem* TrackPopup(PopupMenu& menu, Point screen) = 0;

 protected:
  // Runs the filter; an exception in it goes to OnException.
  void Filter(const Message& message);
  void ReportException();
  // Sleeps until a message arrives or the tick count reaches `until`.
  virtual void WaitForWork(uint32_t until) = 0;
  virtual void WakeUp() {}

 private:
  bool terminated_ = false;
};

}  // namespace fw
