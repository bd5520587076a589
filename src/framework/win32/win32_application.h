#pragma once
#include <windows.h>

#include <map>

#include "framework/application.h"

namespace win32 {

struct FormPeer;

class Win32Application : public fw::Application {
 public:
  Win32Application();
  ~Win32Application() override;

  uint32_t RegisterMessage(const std::string& name) override;
  bool Post(uintptr_t window, uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  void Run() override;
  void ProcessMessages() override;
  uint32_t TickCount() override;

  void RealizeForm(fw::Form& form) override;
  void DestroyForm(fw::Form& form) override;
  void ControlChanged(fw::Control& control) override;
  void FocusControl(fw::Control& control) override;
  bool IsFocused(const fw::Control& control) const override;
  void DisableCloseCommand(fw::Form& form) override;
  void BringToForeground(fw::Form& form) override;
  void MinimizeForm(fw::Form& form) override;
  void TimerChanged(fw::Timer& timer) override;
  void TimerDestroyed(fw::Timer& timer) override;
  void TrayChanged(fw::TrayIcon& tray) override;
  void TrayDestroyed(fw::TrayIcon& tray) override;
  fw::MenuItem* TrackPopup(fw::PopupMenu& menu, fw::Point screen) override;

  using fw::Application::ReportException;
  // A message the system sent straight to a window that the filter must see
  // as well (the shutdown query is sent, not posted, by a real shutdown).
  void FilterSent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

 protected:
  void WaitForWork(uint32_t until) override;
  void WakeUp() override;

 private:
  void Dispatch(MSG& m);
  void Sync(FormPeer& peer, fw::Control& control);
  void CreateControls(FormPeer& peer, fw::Control& parent);
  LRESULT FormMessage(FormPeer& peer, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK UtilityProc(HWND, UINT, WPARAM, LPARAM) noexcept;
  static LRESULT CALLBACK FormProc(HWND, UINT, WPARAM, LPARAM) noexcept;

  const MSG* dispatching_ = nullptr;  // the queued message being dispatched
  DWORD threadId_;
  HWND utility_ = nullptr;
  UINT taskbarCreated_ = 0;
  std::map<UINT_PTR, fw::Timer*> timers_;
  UINT_PTR nextTimerId_ = 1;
  std::map<UINT, fw::TrayIcon*> trays_;
  UINT nextTrayId_ = 1;
};

}  // namespace win32
