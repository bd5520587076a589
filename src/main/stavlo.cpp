// Program entry.
#include "clicktap/clicktap.h"
#include "framework/win32/win32_platform.h"
#include "main/main_form.h"

int main() {
  win32::Win32Platform platform(&SetHook);
  return StavloMain(platform.Get());
}
