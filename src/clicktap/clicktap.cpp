// CLICKTAP.DLL: a low-level mouse hook on a thread of its own.
//
// The system holds every mouse event until the hook returns and silently drops
// a hook that is slow, so the callback decides from the key state at hand and
// asks the options window at most once per gesture press, with a short
// time-out. Everything else it does is posting.
#include <windows.h>

#include "clicktap/clicktap.h"
#include "clicktap/gesture.h"
#include "clicktap/options_window.h"

namespace {

using clicktap::Button;
using clicktap::Gesture;

HMODULE g_module = nullptr;

// Guards the thread bookkeeping below against SetHook from several threads.
SRWLOCK g_lock = SRWLOCK_INIT;
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;

class HookState {
 public:
  explicit HookState(DWORD uiThread) : options_(uiThread) {
    wantsMessage_ = RegisterWindowMessageW(clicktap::kWantsGestureMessageW);
    for (int i = 0; i < clicktap::kGestureCount; ++i)
      gestureMessages_[i] = RegisterWindowMessageW(clicktap::kGestureNamesW[i]);
  }

  // True when the event is to be kept from the window under the pointer.
  bool OnMouse(WPARAM message, const MSLLHOOKSTRUCT& info) {
    Button button;
    bool down;
    if (!Classify(message, info, button, down)) return false;
    if (down) {
      return pairing_.OnDown(button, CurrentKeys(), [this](Gesture g) { return Wants(g); });
    }
    const clicktap::ClickPairing::Release release = pairing_.OnUp(button);
    if (release.report) {
      if (HWND w = options_.Get())
        PostMessageW(w, gestureMessages_[clicktap::GestureIndex(*release.report)], 0, 0);
    }
    return release.swallow;
  }

 private:
  static bool Classify(WPARAM message, const MSLLHOOKSTRUCT& info, Button& button, bool& down) {
    switch (message) {
      case WM_LBUTTONDOWN: button = Button::Left, down = true; return true;
      case WM_LBUTTONUP: button = Button::Left, down = false; return true;
      case WM_MBUTTONDOWN: button = Button::Middle, down = true; return true;
      case WM_MBUTTONUP: button = Button::Middle, down = false; return true;
      case WM_RBUTTONDOWN: button = Button::Right, down = true; return true;
      case WM_RBUTTONUP: button = Button::Right, down = false; return true;
      case WM_XBUTTONDOWN:
      case WM_XBUTTONUP:
        button = HIWORD(info.mouseData) == XBUTTON2 ? Button::X2 : Button::X1;
        down = message == WM_XBUTTONDOWN;
        return true;
      default:
        return false;
    }
  }

  static clicktap::Modifiers CurrentKeys() {
    auto held = [](int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; };
    clicktap::Modifiers keys;
    keys.ctrl = held(VK_CONTROL);
    keys.shift = held(VK_SHIFT);
    keys.alt = held(VK_MENU);
    keys.win = held(VK_LWIN) || held(VK_RWIN);
    keys.space = held(VK_SPACE);
    return keys;
  }

  bool Wants(Gesture g) {
    HWND w = options_.Get();
    if (!w) return false;
    DWORD_PTR answer = 0;
    const LRESULT answered =
        SendMessageTimeoutW(w, wantsMessage_, static_cast<WPARAM>(clicktap::GestureIndex(g)), 0,
                            SMTO_ABORTIFHUNG | SMTO_BLOCK, clicktap::kWantsGestureTimeoutMs, &answer);
    return answered != 0 && answer == 1;
  }

  clicktap::OptionsWindowCache options_;
  clicktap::ClickPairing pairing_;
  UINT wantsMessage_ = 0;
  UINT gestureMessages_[clicktap::kGestureCount] = {};
};

// Touched by the hook thread only: the callback runs on the thread that
// installed the hook.
HookState* g_state = nullptr;

LRESULT CALLBACK LowLevelMouseProc(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HC_ACTION && g_state) {
    const auto& info = *reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
    // The program's own synthetic input is marked and never a gesture.
    if (info.dwExtraInfo != clicktap::kSyntheticInputTag) {
      bool swallow = false;
      try {
        swallow = g_state->OnMouse(wParam, info);
      } catch (...) {
        swallow = false;  // a click is never lost to our failure
      }
      if (swallow) return 1;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

struct StartInfo {
  DWORD uiThread = 0;
  HANDLE ready = nullptr;
  bool hooked = false;
};

DWORD WINAPI HookThreadProc(void* param) {
  auto* start = static_cast<StartInfo*>(param);
  DWORD exitCode = 1;
  {
    HookState state(start->uiThread);
    MSG msg;
    // Create the queue now, so SetHook(0) can post the quit at any time.
    PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    g_state = &state;
    HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, LowLevelMouseProc, g_module, 0);
    start->hooked = hook != nullptr;
    SetEvent(start->ready);  // start belongs to SetHook from here on
    if (hook) {
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
      UnhookWindowsHookEx(hook);
      exitCode = 0;
    }
    g_state = nullptr;
  }
  // The thread holds a reference on the library so a FreeLibrary while hooked
  // cannot unload the code under it.
  FreeLibraryAndExitThread(g_module, exitCode);
}

void StopLocked() {
  if (!g_thread) return;
  PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
  // Bounded: the callback waits on the options window for at most the query
  // time-out, and that window's thread is most likely the one waiting here.
  WaitForSingleObject(g_thread, INFINITE);
  CloseHandle(g_thread);
  g_thread = nullptr;
  g_threadId = 0;
}

void StartLocked() {
  if (g_thread) {
    if (WaitForSingleObject(g_thread, 0) == WAIT_TIMEOUT) return;  // already hooked
    CloseHandle(g_thread);  // it ended on its own
    g_thread = nullptr;
    g_threadId = 0;
  }
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&HookThreadProc), &self))
    return;
  StartInfo start;
  start.uiThread = GetCurrentThreadId();
  start.ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!start.ready) {
    FreeLibrary(self);
    return;
  }
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, HookThreadProc, &start, 0, &id);
  if (!thread) {
    FreeLibrary(self);
    CloseHandle(start.ready);
    return;
  }
  HANDLE waitFor[2] = {start.ready, thread};
  WaitForMultipleObjects(2, waitFor, FALSE, INFINITE);
  CloseHandle(start.ready);
  if (WaitForSingleObject(thread, 0) != WAIT_TIMEOUT || !start.hooked) {
    // No hook: the thread ends by itself.
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return;
  }
  g_thread = thread;
  g_threadId = id;
}

}  // namespace

extern "C" void __stdcall SetHook(int enable) {
  AcquireSRWLockExclusive(&g_lock);
  if (enable)
    StartLocked();
  else
    StopLocked();
  ReleaseSRWLockExclusive(&g_lock);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      g_module = instance;
      DisableThreadLibraryCalls(instance);
      break;
    case DLL_PROCESS_DETACH:
      // At process exit (reserved != null) the hook thread is already gone and
      // the system drops its hook. On FreeLibrary the hook thread cannot be
      // running (it holds a reference), so only its handle may be left.
      if (!reserved && g_thread) {
        CloseHandle(g_thread);
        g_thread = nullptr;
      }
      break;
    default:
      break;
  }
  return TRUE;
}
