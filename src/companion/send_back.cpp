// Answers to the options window.
#include "clicktap/options_window.h"
#include "companion/forms.h"

namespace companion {

HWND OptionsWindowOfThisThread() { return clicktap::FindOptionsWindow(GetCurrentThreadId()); }

void SendCopyData(HWND optionsWindow, const std::string& text) {
  if (!optionsWindow) return;
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = static_cast<DWORD>(text.size() + 1);  // the zero is counted
  data.lpData = const_cast<char*>(text.c_str());
  SendMessageW(optionsWindow, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace companion
