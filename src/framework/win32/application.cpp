// The Win32 application: the message loop with its filter, timers, forms and
// their controls, tray icons and popup menus.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "framework/controls.h"
#include "framework/form.h"
#include "framework/guard.h"
#include "framework/image_list.h"
#include "framework/menu.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"
#include "framework/win32/handles.h"
#include "framework/win32/images.h"
#include "framework/win32/win32_application.h"
#include "framework/win32/win32_platform.h"

namespace win32 {
namespace {

constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kFirstMenuId = 1000;
constexpr wchar_t kUtilityClass[] = L"StavloUtility";

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

}  // namespace

struct TrayPeer {
  UINT id = 0;
  bool added = false;
  Icon icon;
  int iconIndex = -2;
  uint64_t iconGeneration = 0;
  std::optional<fw::Balloon> shownBalloon;
};

Win32Application::Win32Application() : threadId_(GetCurrentThreadId()) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&icc);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Win32Application::UtilityProc;
  wc.hInstance = Instance();
  wc.lpszClassName = kUtilityClass;
  RegisterClassExW(&wc);
  // A hidden top-level window, not a message-only one: the shell broadcasts
  // "TaskbarCreated" only to top-level windows.
  utility_ = CreateWindowExW(WS_EX_TOOLWINDOW, kUtilityClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                             nullptr, Instance(), this);
  taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
  OnException = [](const std::string& text) {
    MessageBoxW(nullptr, Wide(text).c_str(), L"Stavlo", MB_ICONERROR | MB_OK | MB_TASKMODAL);
  };
}

Win32Application::~Win32Application() {
  for (auto& [id, timer] : timers_) KillTimer(utility_, id);
  if (utility_) DestroyWindow(utility_);
}

uint32_t Win32Application::RegisterMessage(const std::string& name) {
  return RegisterWindowMessageW(Wide(name).c_str());
}

bool Win32Application::Post(uintptr_t window, uint32_t msg, uintptr_t wParam,
                                   intptr_t lParam) {
  if (window == 0) return PostThreadMessageW(threadId_, msg, wParam, lParam) != FALSE;
  return PostMessageW(reinterpret_cast<HWND>(window), msg, wParam, lParam) != FALSE;
}

void Win32Application::FilterSent(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  bool queued = dispatching_ && dispatching_->hwnd == hwnd && dispatching_->message == msg;
  if (!queued) Filter({reinterpret_cast<uintptr_t>(hwnd), msg, wp, lp});
}

void Win32Application::Dispatch(MSG& m) {
  Filter({reinterpret_cast<uintptr_t>(m.hwnd), m.message, m.wParam, m.lParam});
  const MSG* outer = dispatching_;
  dispatching_ = &m;
  struct Restore {
    const MSG*& slot;
    const MSG* value;
    ~Restore() { slot = value; }
  } restore{dispatching_, outer};
  // Tab, Enter and Escape in the options window work as in a dialog.
  if (MainForm && MainForm->Realized() && MainForm->Visible()) {
    HWND main = reinterpret_cast<HWND>(MainForm->Handle());
    if (IsDialogMessageW(main, &m)) return;
  }
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

void Win32Application::Run() {
  MSG m;
  while (!Terminated()) {
    BOOL r = GetMessageW(&m, nullptr, 0, 0);
    if (r <= 0) break;
    Dispatch(m);
  }
}

void Win32Application::ProcessMessages() {
  MSG m;
  while (!Terminated() && PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      Terminate();
      break;
    }
    Dispatch(m);
  }
}

uint32_t Win32Application::TickCount() { return GetTickCount(); }

void Win32Application::WaitForWork(uint32_t until) {
  int32_t left = static_cast<int32_t>(until - GetTickCount());
  if (left <= 0) return;
  MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(left < 50 ? left : 50), QS_ALLINPUT,
                              MWMO_INPUTAVAILABLE);
}

void Win32Application::WakeUp() { PostThreadMessageW(threadId_, WM_NULL, 0, 0); }

// ---- timers

void Win32Application::TimerChanged(fw::Timer& timer) {
  UINT_PTR id = 0;
  for (auto& [k, t] : timers_)
    if (t == &timer) id = k;
  if (timer.Enabled()) {
    if (!id) id = nextTimerId_++;
    timers_[id] = &timer;
    SetTimer(utility_, id, timer.Interval() ? timer.Interval() : 1, nullptr);
  } else if (id) {
    KillTimer(utility_, id);
    timers_.erase(id);
  }
}

void Win32Application::TimerDestroyed(fw::Timer& timer) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second == &timer) {
      KillTimer(utility_, it->first);
      timers_.erase(it);
      return;
    }
  }
}

// ---- tray icons

void Win32Application::TrayChanged(fw::TrayIcon& tray) {
  auto* peer = static_cast<TrayPeer*>(tray.peer);
  if (!peer) {
    peer = new TrayPeer;
    peer->id = nextTrayId_++;
    tray.peer = peer;
    trays_[peer->id] = &tray;
  }
  NOTIFYICONDATAW nid{};
  nid.cbSize = sizeof(nid);
  nid.hWnd = utility_;
  nid.uID = peer->id;
  if (!tray.Visible()) {
    if (peer->added) Shell_NotifyIconW(NIM_DELETE, &nid);
    peer->added = false;
    peer->shownBalloon.reset();
    return;
  }
  const fw::Image* image = tray.Images ? tray.Images->Get(tray.ImageIndex()) : nullptr;
  uint64_t generation = tray.Images ? tray.Images->Generation() : 0;
  if (peer->iconIndex != tray.ImageIndex() || peer->iconGeneration != generation) {
    peer->icon = image ? MakeIcon(*image) : Icon();
    peer->iconIndex = tray.ImageIndex();
    peer->iconGeneration = generation;
  }
  nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  nid.uCallbackMessage = kTrayCallback;
  nid.hIcon = peer->icon.Get();
  lstrcpynW(nid.szTip, Wide(tray.Hint()).c_str(), ARRAYSIZE(nid.szTip));
  const auto& balloon = tray.CurrentBalloon();
  bool balloonChanged = balloon.has_value() != peer->shownBalloon.has_value() ||
                        (balloon && (balloon->title != peer->shownBalloon->title ||
                                     balloon->text != peer->shownBalloon->text));
  if (balloonChanged) {
    nid.uFlags |= NIF_INFO;
    if (balloon) {
      lstrcpynW(nid.szInfoTitle, Wide(balloon->title).c_str(), ARRAYSIZE(nid.szInfoTitle));
      lstrcpynW(nid.szInfo, Wide(balloon->text).c_str(), ARRAYSIZE(nid.szInfo));
      nid.uTimeout = static_cast<UINT>(balloon->timeoutSeconds) * 1000;
      static const DWORD kFlags[] = {NIIF_NONE, NIIF_INFO, NIIF_WARNING, NIIF_ERROR};
      nid.dwInfoFlags = kFlags[static_cast<int>(balloon->icon)];
    }
    peer->shownBalloon = balloon;
  }
  if (!peer->added) {
    peer->added = Shell_NotifyIconW(NIM_ADD, &nid) != FALSE;
  } else {
    Shell_NotifyIconW(NIM_MODIFY, &nid);
  }
}

void Win32Application::TrayDestroyed(fw::TrayIcon& tray) {
  auto* peer = static_cast<TrayPeer*>(tray.peer);
  if (!peer) return;
  if (peer->added) {
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = utility_;
    nid.uID = peer->id;
    Shell_NotifyIconW(NIM_DELETE, &nid);
  }
  trays_.erase(peer->id);
  delete peer;
  tray.peer = nullptr;
}

LRESULT CALLBACK Win32Application::UtilityProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32Application*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    if (msg == WM_TIMER) {
      auto it = self->timers_.find(wp);
      if (it != self->timers_.end()) it->second->Fire();
      return 0;
    }
    if (msg == kTrayCallback) {
      auto it = self->trays_.find(static_cast<UINT>(wp));
      if (it == self->trays_.end()) return 0;
      fw::TrayIcon& tray = *it->second;
      switch (LOWORD(lp)) {
        case WM_LBUTTONDOWN: if (tray.OnMouseDown) tray.OnMouseDown(fw::MouseButton::Left); break;
        case WM_RBUTTONDOWN: if (tray.OnMouseDown) tray.OnMouseDown(fw::MouseButton::Right); break;
        case WM_MBUTTONDOWN: if (tray.OnMouseDown) tray.OnMouseDown(fw::MouseButton::Middle); break;
        case WM_LBUTTONUP: if (tray.OnMouseUp) tray.OnMouseUp(fw::MouseButton::Left); break;
        case WM_RBUTTONUP: if (tray.OnMouseUp) tray.OnMouseUp(fw::MouseButton::Right); break;
        case WM_MBUTTONUP: if (tray.OnMouseUp) tray.OnMouseUp(fw::MouseButton::Middle); break;
        case WM_LBUTTONDBLCLK: if (tray.OnDblClick) tray.OnDblClick(); break;
      }
      return 0;
    }
    if (msg == self->taskbarCreated_ && msg != 0) {
      // The shell restarted: our icons are gone from it.
      for (auto& [id, tray] : self->trays_) {
        static_cast<TrayPeer*>(tray->peer)->added = false;
        static_cast<TrayPeer*>(tray->peer)->shownBalloon.reset();
        self->TrayChanged(*tray);
      }
      return 0;
    }
  } catch (...) {
    self->ReportException();
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// ---- popup menus

namespace {
struct BuiltMenu {
  Menu menu;
  std::vector<Bitmap> bitmaps;
  std::map<UINT, fw::MenuItem*> items;
  std::vector<Menu> submenus;  // owned by their parent once attached
};

void FillMenu(HMENU hmenu, fw::MenuItem& parent, fw::ImageList* images, BuiltMenu& built, UINT& nextId) {
  for (int i = 0; i < parent.Count(); ++i) {
    fw::MenuItem& item = parent.Item(i);
    if (!item.Visible) continue;
    if (item.IsSeparator()) {
      AppendMenuW(hmenu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = Wide(item.Caption);
    if (!item.ShortCut.empty()) text += L"\t" + Wide(item.ShortCut);
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof(mii);
    mii.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
    mii.dwTypeData = text.data();
    mii.fState = (item.Enabled ? MFS_ENABLED : MFS_DISABLED) | (item.Checked ? MFS_CHECKED : 0);
    mii.wID = nextId++;
    built.items[mii.wID] = &item;
    if (item.Count() > 0) {
      HMENU sub = CreatePopupMenu();
      FillMenu(sub, item, images, built, nextId);
      mii.fMask |= MIIM_SUBMENU;
      mii.hSubMenu = sub;
    }
    if (images && images->Get(item.ImageIndex)) {
      built.bitmaps.push_back(MakeMenuBitmap(*images->Get(item.ImageIndex)));
      mii.fMask |= MIIM_BITMAP;
      mii.hbmpItem = built.bitmaps.back().Get();
    }
    InsertMenuItemW(hmenu, GetMenuItemCount(hmenu), TRUE, &mii);
  }
}
}  // namespace

fw::MenuItem* Win32Application::TrackPopup(fw::PopupMenu& menu, fw::Point screen) {
  BuiltMenu built;
  built.menu = Menu(CreatePopupMenu());
  UINT nextId = kFirstMenuId;
  FillMenu(built.menu.Get(), menu.Items, menu.Images, built, nextId);
  HWND owner = MainForm && MainForm->Realized() ? reinterpret_cast<HWND>(MainForm->Handle()) : utility_;
  UINT chosen = static_cast<UINT>(TrackPopupMenuEx(
      built.menu.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
      screen.x, screen.y, owner, nullptr));
  auto it = built.items.find(chosen);
  return it == built.items.end() ? nullptr : it->second;
}

}  // namespace win32
