#pragma once
// Finding the program's options window from inside a library. Win32 only.
#include <windows.h>

#include "clicktap/gesture.h"

namespace clicktap {

inline BOOL CALLBACK MatchOptionsWindow(HWND hwnd, LPARAM lParam) {
  wchar_t cls[32] = {};
  if (GetClassNameW(hwnd, cls, 32) > 0 && lstrcmpW(cls, kOptionsWindowClassW) == 0 &&
      GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow()) {
    *reinterpret_cast<HWND*>(lParam) = hwnd;
    return FALSE;
  }
  return TRUE;
}

// The top-level window of class TMainForm that belongs to the given thread.
inline HWND FindOptionsWindow(DWORD threadId) {
  HWND found = nullptr;
  EnumThreadWindows(threadId, MatchOptionsWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Remembers the window between calls; looks again once the window is gone
// (window handles are reused, so the thread and class are checked too).
class OptionsWindowCache {
 public:
  explicit OptionsWindowCache(DWORD threadId) : threadId_(threadId) {}

  HWND Get() {
    if (hwnd_ && !StillOurs(hwnd_)) hwnd_ = nullptr;
    if (!hwnd_) hwnd_ = FindOptionsWindow(threadId_);
    return hwnd_;
  }

 private:
  bool StillOurs(HWND hwnd) const {
    if (!IsWindow(hwnd) || GetWindowThreadProcessId(hwnd, nullptr) != threadId_) return false;
    wchar_t cls[32] = {};
    return GetClassNameW(hwnd, cls, 32) > 0 && lstrcmpW(cls, kOptionsWindowClassW) == 0;
  }

  DWORD threadId_;
  HWND hwnd_ = nullptr;
};

}  // namespace clicktap
