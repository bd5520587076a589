// Minimise all windows, as the taskbar's own command does.
#include "companion/forms.h"

namespace companion {
namespace {

// The taskbar's "minimise all windows" command.
constexpr WPARAM kTrayMinimizeAll = 419;

struct MinimizeContext {
  HWND keep;
};

BOOL CALLBACK MinimizeOne(HWND hwnd, LPARAM param) {
  const auto* context = reinterpret_cast<const MinimizeContext*>(param);
  if (hwnd == context->keep) return TRUE;
  if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || IsIconic(hwnd)) return TRUE;
  if (GetWindow(hwnd, GW_OWNER)) return TRUE;  // goes with its owner
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if (!(style & WS_MINIMIZEBOX)) return TRUE;
  // Asynchronous: a hung program must not hang us.
  ShowWindowAsync(hwnd, SW_MINIMIZE);
  return TRUE;
}

}  // namespace

void MinimizeAllWindows(HWND optionsWindow) {
  // Only a taskbar that is on the screen is the shell's: a hidden one (Wine
  // keeps one without a desktop taskbar) may read the command differently.
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (tray && IsWindowVisible(tray)) {
    PostMessageW(tray, WM_COMMAND, kTrayMinimizeAll, 0);
    return;
  }
  MinimizeContext context{optionsWindow};
  EnumWindows(MinimizeOne, reinterpret_cast<LPARAM>(&context));
}

}  // namespace companion
