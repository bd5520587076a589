#pragma once
// Helpers shared by the tests that run under Wine.
#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

// A file of the program folder: STAVLO_DIST_DIR, else beside the test program,
// else the build tree's dist/stavlo next to the tests folder.
inline std::wstring FindInProgramFolder(const wchar_t* file) {
  std::vector<std::wstring> dirs;
  wchar_t env[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"STAVLO_DIST_DIR", env, MAX_PATH);
  if (n > 0 && n < MAX_PATH) dirs.emplace_back(env);
  wchar_t exe[MAX_PATH];
  n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring exeDir(exe, n);
  exeDir.resize(exeDir.find_last_of(L"\\/") + 1);
  dirs.push_back(exeDir);
  dirs.push_back(exeDir + L"..\\dist\\stavlo");
  for (std::wstring dir : dirs) {
    if (!dir.empty() && dir.back() != L'\\' && dir.back() != L'/') dir += L'\\';
    const std::wstring path = dir + file;
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return path;
  }
  return {};
}

// Runs messages for up to `ms`, or until `done` says so.
template <typename Done>
bool PumpUntil(DWORD ms, Done done) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start >= ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace test_support
