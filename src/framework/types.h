#pragma once
#include <cstdint>

namespace fw {

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A queued window message as the application's filter sees it. `window` is the
// backend's handle of the target (0 for thread messages).
struct Message {
  uintptr_t window = 0;
  uint32_t msg = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

enum class MouseButton { Left, Right, Middle };

constexpr uint32_t kWmQueryEndSession = 17;
constexpr uint32_t kWmSysCommand = 0x0112;
constexpr uint32_t kWmCopyData = 0x004A;
constexpr uint32_t kWmDropFiles = 0x0233;
constexpr uint32_t kScMinimize = 0xF020;
constexpr uint32_t kScClose = 0xF060;

}  // namespace fw
