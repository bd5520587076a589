// CLICKTAP.DLL against the real system: the library is loaded from the program
// folder as the program loads it, and driven with SendInput.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "clicktap/gesture.h"

#include "test_support.h"

namespace {

using test_support::FindInProgramFolder;

using SetHookFn = void(__stdcall*)(int);

class ClickTap {
 public:
  ClickTap() {
    const std::wstring path = FindInProgramFolder(L"CLICKTAP.DLL");
    if (!path.empty()) module_ = LoadLibraryW(path.c_str());
    if (module_) setHook_ = reinterpret_cast<SetHookFn>(
                     reinterpret_cast<void*>(GetProcAddress(module_, MAKEINTRESOURCEA(1))));
  }
  ~ClickTap() {
    if (setHook_) setHook_(0);
    if (module_) FreeLibrary(module_);
  }
  ClickTap(const ClickTap&) = delete;
  ClickTap& operator=(const ClickTap&) = delete;

  HMODULE module() const { return module_; }
  SetHookFn setHook() const { return setHook_; }
  // Forget the library without unloading it (the test did that itself).
  void Release() { module_ = nullptr, setHook_ = nullptr; }

 private:
  HMODULE module_ = nullptr;
  SetHookFn setHook_ = nullptr;
};

int CountOwnThreads() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL ok = Thread32First(snap, &entry); ok; ok = Thread32Next(snap, &entry))
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  CloseHandle(snap);
  return count;
}

using test_support::PumpUntil;

TEST(ClickTapLibrary, ExportsSetHookByOrdinalOnly) {
  ClickTap tap;
  ASSERT_TRUE(tap.module()) << "CLICKTAP.DLL not found (set STAVLO_DIST_DIR)";
  EXPECT_TRUE(tap.setHook()) << "no export at ordinal 1";
  EXPECT_EQ(GetProcAddress(tap.module(), "SetHook"), nullptr) << "SetHook must have no name";
}

TEST(ClickTapLibrary, SetHookTwiceAndUnhookTwiceLeaveNoThread) {
  ClickTap tap;
  ASSERT_TRUE(tap.setHook());
  const int before = CountOwnThreads();
  ASSERT_GT(before, 0);
  tap.setHook()(1);
  tap.setHook()(1);
  EXPECT_EQ(CountOwnThreads(), before + 1) << "one hook thread, however often SetHook(1) is called";
  tap.setHook()(0);
  EXPECT_EQ(CountOwnThreads(), before);
  tap.setHook()(0);
  EXPECT_EQ(CountOwnThreads(), before);
  // And it can be started again after a stop.
  tap.setHook()(1);
  EXPECT_EQ(CountOwnThreads(), before + 1);
  tap.setHook()(0);
  EXPECT_EQ(CountOwnThreads(), before);
}

TEST(ClickTapLibrary, FreeLibraryWhileHookedDoesNotPullTheCodeFromUnderTheHook) {
  ClickTap tap;
  ASSERT_TRUE(tap.setHook());
  HMODULE loaded = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, L"CLICKTAP.DLL", &loaded);
  ASSERT_EQ(loaded, tap.module()) << "the library was already loaded elsewhere";
  tap.setHook()(1);
  HMODULE first = tap.module();
  FreeLibrary(first);  // the program's last reference
  tap.Release();
  EXPECT_EQ(GetModuleHandleW(L"CLICKTAP.DLL"), first) << "unloaded under a running hook thread";

  ClickTap again;  // the same loaded module
  ASSERT_EQ(again.module(), first);
  again.setHook()(0);  // the thread lets go of its reference as it ends
  FreeLibrary(again.module());
  again.Release();
  EXPECT_EQ(GetModuleHandleW(L"CLICKTAP.DLL"), nullptr) << "a reference was leaked";
}

// --- Gestures, end to end through the system's input path ---------------------

constexpr int kAnswerSlow = -1;  // the options window answers too late

struct Recorder {
  std::vector<std::string> program;  // what the options window saw, in order
  std::vector<std::string> target;   // button messages of the window under the pointer
  int answer = 0;
  UINT wantsMessage = 0;
  UINT gestureMessages[clicktap::kGestureCount] = {};
};
Recorder* g_recorder = nullptr;

LRESULT CALLBACK OptionsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (g_recorder) {
    if (msg == g_recorder->wantsMessage && msg != 0) {
      g_recorder->program.push_back("ask:" + std::to_string(wParam));
      if (g_recorder->answer == kAnswerSlow) {
        Sleep(250);
        return 1;
      }
      return g_recorder->answer;
    }
    for (int i = 0; i < clicktap::kGestureCount; ++i)
      if (msg == g_recorder->gestureMessages[i] && msg != 0) {
        g_recorder->program.push_back(clicktap::kGestureNames[i]);
        return 0;
      }
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK TargetProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  const char* what = nullptr;
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: what = "ldown"; break;
    case WM_LBUTTONUP: what = "lup"; break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: what = "mdown"; break;
    case WM_MBUTTONUP: what = "mup"; break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: what = "rdown"; break;
    case WM_RBUTTONUP: what = "rup"; break;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    default: break;
  }
  if (what && g_recorder) g_recorder->target.push_back(what);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

INPUT Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}
INPUT Mouse(DWORD flags, ULONG_PTR extra = 0) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.dwExtraInfo = extra;
  return in;
}

// Every mouse event carries its own position: a cursor moved with
// SetCursorPos may be moved back by a late event of the display.
void PlaceAt(std::vector<INPUT>& inputs, POINT at) {
  const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  for (INPUT& in : inputs) {
    if (in.type != INPUT_MOUSE) continue;
    in.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in.mi.dx = MulDiv(at.x, 65535, cx - 1);
    in.mi.dy = MulDiv(at.y, 65535, cy - 1);
  }
}

std::string Join(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& e : v) s += (s.empty() ? "" : " ") + e;
  return s;
}

class ClickTapGestures : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(tap_.setHook()) << "CLICKTAP.DLL not found (set STAVLO_DIST_DIR)";
    recorder_.wantsMessage = RegisterWindowMessageW(clicktap::kWantsGestureMessageW);
    for (int i = 0; i < clicktap::kGestureCount; ++i)
      recorder_.gestureMessages[i] = RegisterWindowMessageW(clicktap::kGestureNamesW[i]);
    g_recorder = &recorder_;

    HINSTANCE inst = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = OptionsProc;
    wc.hInstance = inst;
    wc.lpszClassName = clicktap::kOptionsWindowClassW;
    RegisterClassW(&wc);
    wc.lpfnWndProc = TargetProc;
    wc.lpszClassName = L"ClickTapTestTarget";
    wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    RegisterClassW(&wc);
    // Hidden, as the options window of a tray program mostly is.
    options_ = CreateWindowExW(0, clicktap::kOptionsWindowClassW, L"Stavlo", WS_OVERLAPPEDWINDOW, 0, 0,
                               200, 100, nullptr, nullptr, inst, nullptr);
    target_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, L"ClickTapTestTarget",
                              L"target", WS_POPUP | WS_VISIBLE, 40, 40, 200, 200, nullptr, nullptr, inst,
                              nullptr);
    ASSERT_TRUE(options_ && target_) << "cannot create windows (no display for Wine?)";
    PumpUntil(100, [] { return false; });
    tap_.setHook()(1);
  }

  void TearDown() override {
    if (tap_.setHook()) tap_.setHook()(0);
    // Keys a failed case may have left down.
    INPUT ups[] = {Key(VK_CONTROL, true), Key(VK_SHIFT, true), Key(VK_MENU, true), Key(VK_SPACE, true)};
    SendInput(4, ups, sizeof(INPUT));
    if (target_) DestroyWindow(target_);
    if (options_) DestroyWindow(options_);
    UnregisterClassW(clicktap::kOptionsWindowClassW, GetModuleHandleW(nullptr));
    UnregisterClassW(L"ClickTapTestTarget", GetModuleHandleW(nullptr));
    g_recorder = nullptr;
  }

  // Plays `inputs` over the target window, then a marker middle click away
  // from it, and returns once the marker's report has come back: everything
  // recorded before belongs to the inputs.
  void Play(std::vector<INPUT> inputs, int answer) {
    recorder_.program.clear();
    recorder_.target.clear();
    recorder_.answer = answer;
    PlaceAt(inputs, {140, 140});
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
    PumpUntil(50, [] { return false; });
    recorder_.answer = 0;
    std::vector<INPUT> marker = {Mouse(MOUSEEVENTF_MIDDLEDOWN), Mouse(MOUSEEVENTF_MIDDLEUP)};
    PlaceAt(marker, {600, 500});
    ASSERT_EQ(SendInput(2, marker.data(), sizeof(INPUT)), 2u);
    const bool markerSeen = PumpUntil(3000, [this] {
      const auto& p = recorder_.program;
      return p.size() >= 2 && p.back() == "MIDMOUSE" && p[p.size() - 2] == "ask:0";
    });
    ASSERT_TRUE(markerSeen) << "no report of the marker click; recorded: " << Join(recorder_.program);
    PumpUntil(50, [] { return false; });  // input messages come after posted ones
    recorder_.program.resize(recorder_.program.size() - 2);
  }

  ClickTap tap_;
  Recorder recorder_;
  HWND options_ = nullptr;
  HWND target_ = nullptr;
};

TEST_F(ClickTapGestures, EachGestureIsAskedAboutAndReportedAndSwallowedOnlyWhenWanted) {
  const INPUT ctrlDown = Key(VK_CONTROL, false), ctrlUp = Key(VK_CONTROL, true);
  const INPUT shiftDown = Key(VK_SHIFT, false), shiftUp = Key(VK_SHIFT, true);
  const INPUT altDown = Key(VK_MENU, false), altUp = Key(VK_MENU, true);
  const INPUT spaceDown = Key(VK_SPACE, false), spaceUp = Key(VK_SPACE, true);
  const INPUT lDown = Mouse(MOUSEEVENTF_LEFTDOWN), lUp = Mouse(MOUSEEVENTF_LEFTUP);
  const INPUT mDown = Mouse(MOUSEEVENTF_MIDDLEDOWN), mUp = Mouse(MOUSEEVENTF_MIDDLEUP);
  const INPUT rDown = Mouse(MOUSEEVENTF_RIGHTDOWN), rUp = Mouse(MOUSEEVENTF_RIGHTUP);
  struct Row {
    const char* what;
    std::vector<INPUT> inputs;
    int answer;
    const char* program;  // queries and reports, in order
    const char* target;   // what reached the window under the pointer
  } const rows[] = {
      {"middle, wanted", {mDown, mUp}, 1, "ask:0 MIDMOUSE", ""},
      {"middle, not wanted", {mDown, mUp}, 0, "ask:0 MIDMOUSE", "mdown mup"},
      {"middle, answer other than 1", {mDown, mUp}, 2, "ask:0 MIDMOUSE", "mdown mup"},
      {"middle, answer too late", {mDown, mUp}, kAnswerSlow, "ask:0 MIDMOUSE", "mdown mup"},
      {"ctrl+left, wanted", {ctrlDown, lDown, lUp, ctrlUp}, 1, "ask:1 CTRLMOUSE", ""},
      {"ctrl+middle, not wanted", {ctrlDown, mDown, mUp, ctrlUp}, 0, "ask:2 CTRLMMOUSE", "mdown mup"},
      {"shift+left, wanted", {shiftDown, lDown, lUp, shiftUp}, 1, "ask:3 SHIFTMOUSE", ""},
      {"shift+middle, wanted", {shiftDown, mDown, mUp, shiftUp}, 1, "ask:4 SHIFTMMOUSE", ""},
      {"space+left, wanted", {spaceDown, lDown, lUp, spaceUp}, 1, "ask:5 SPACEMOUSE", ""},
      {"shift+ctrl+left, wanted", {shiftDown, ctrlDown, lDown, lUp, ctrlUp, shiftUp}, 1, "ask:6 RUNSTOP", ""},
      {"ctrl let go of before the release: release swallowed too",
       {ctrlDown, lDown, ctrlUp, lUp}, 1, "ask:1 CTRLMOUSE", ""},
      {"plain left is not a gesture", {lDown, lUp}, 1, "", "ldown lup"},
      {"right is not a gesture", {rDown, rUp}, 1, "", "rdown rup"},
      {"alt+middle is not a gesture", {altDown, mDown, mUp, altUp}, 1, "", "mdown mup"},
      {"a lone release (the program's start-up release) is nothing", {lUp}, 1, "", "lup"},
      {"the program's own tagged input is left alone",
       {Mouse(MOUSEEVENTF_MIDDLEDOWN, clicktap::kSyntheticInputTag),
        Mouse(MOUSEEVENTF_MIDDLEUP, clicktap::kSyntheticInputTag)},
       1, "", "mdown mup"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Play(row.inputs, row.answer);
    if (HasFatalFailure()) return;
    EXPECT_EQ(Join(recorder_.program), row.program);
    EXPECT_EQ(Join(recorder_.target), row.target);
  }
}

TEST_F(ClickTapGestures, OptionsWindowIsFoundAgainAfterItWasRecreated) {
  Play({Mouse(MOUSEEVENTF_MIDDLEDOWN), Mouse(MOUSEEVENTF_MIDDLEUP)}, 1);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Join(recorder_.program), "ask:0 MIDMOUSE");
  DestroyWindow(options_);
  options_ = CreateWindowExW(0, clicktap::kOptionsWindowClassW, L"Stavlo", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                             100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(options_);
  Play({Mouse(MOUSEEVENTF_MIDDLEDOWN), Mouse(MOUSEEVENTF_MIDDLEUP)}, 1);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_EQ(Join(recorder_.program), "ask:0 MIDMOUSE");
  EXPECT_EQ(Join(recorder_.target), "");
}

}  // namespace
