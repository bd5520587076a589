#pragma once
// The real backend: builds a platform over the system's windows and services.
// Free of <windows.h> so that the program entry can stay so too.
#include <memory>

#include "framework/image_list.h"
#include "framework/platform.h"

namespace win32 {

using SetHookFunction = void(__stdcall*)(int);

class Win32Platform {
 public:
  // setHook: the hook library's import; null where no hook library is linked.
  explicit Win32Platform(SetHookFunction setHook);
  ~Win32Platform();
  fw::Platform& Get();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Text conversions at the API.
std::wstring Wide(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

}  // namespace win32
