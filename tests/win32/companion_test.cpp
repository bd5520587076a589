// stavlo.dll against the real system: loaded from the program folder by path
// and looked up by name, as the program does, and its dialogs driven from a
// thread timer on this thread (the library runs its own modal loops here).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using test_support::FindInProgramFolder;

std::wstring TextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextW(hwnd, text.data(), length + 1), 0)));
  return text;
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t cls[64] = {};
  GetClassNameW(hwnd, cls, 64);
  return cls;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

using test_support::PumpUntil;

// --- finding windows of this thread ------------------------------------------

struct WindowQuery {
  const wchar_t* title = nullptr;  // exact, or any
  const wchar_t* cls = nullptr;    // exact, or any
  HWND owner = nullptr;            // or any
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto* q = reinterpret_cast<WindowQuery*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  if (q->title && TextOf(hwnd) != q->title) return TRUE;
  if (q->cls && ClassOf(hwnd) != q->cls) return TRUE;
  if (q->owner && GetWindow(hwnd, GW_OWNER) != q->owner) return TRUE;
  q->found = hwnd;
  return FALSE;
}

HWND ThreadWindow(const wchar_t* title, const wchar_t* cls = nullptr, HWND owner = nullptr) {
  WindowQuery q{title, cls, owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

// The index-th child of a class (in creation order), or the one with a text.
HWND Child(HWND parent, const wchar_t* cls, int index, const wchar_t* text = nullptr) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != cls) continue;
    std::wstring t = TextOf(child);
    t.erase(std::remove(t.begin(), t.end(), L'&'), t.end());
    if (text ? t == text : index-- == 0) return child;
  }
  return nullptr;
}

std::vector<std::wstring> ListItems(HWND list) {
  std::vector<std::wstring> items;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring item(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(item);
  }
  return items;
}

void Click(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }
void Key(HWND target, WPARAM vk) {
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

// --- a script run from a thread timer while a modal form runs ------------------

// One step is tried per tick until it says it is done (so what a step posts
// is handled before the next one looks). The script gives up after a while and
// closes what is open, so a broken form fails the test instead of hanging it.
class Script {
 public:
  using Step = std::function<bool()>;
  explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
    current_ = this;
    start_ = GetTickCount();
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  Script(const Script&) = delete;
  Script& operator=(const Script&) = delete;

  bool gaveUp() const { return gaveUp_; }
  size_t reached() const { return next_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* self = current_;
    if (!self || self->busy_) return;
    self->busy_ = true;
    self->Run();
    self->busy_ = false;
  }

  void Run() {
    if (next_ < steps_.size() && steps_[next_]()) ++next_;
    // Also when every step is done but the form is still open.
    if (GetTickCount() - start_ < 15000) return;
    gaveUp_ = true;
    EnumThreadWindows(GetCurrentThreadId(), CloseOne, 0);
  }

  static BOOL CALLBACK CloseOne(HWND hwnd, LPARAM) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) != L"TMainForm") PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
  }

  static Script* current_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD start_ = 0;
  UINT_PTR timer_ = 0;
  bool busy_ = false;
  bool gaveUp_ = false;
};
Script* Script::current_ = nullptr;

// --- the library and a stand-in options window ---------------------------------

struct Received {
  std::vector<std::string> log;  // "copy:<hex>" and "addwin", in order of arrival
};
Received* g_received = nullptr;
UINT g_addwin = 0;

LRESULT CALLBACK OptionsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COPYDATA && g_received) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::string bytes(static_cast<const char*>(data->lpData), data->cbData);
    g_received->log.push_back("copy:" + Hex(bytes));
    return TRUE;
  }
  if (msg == g_addwin && g_addwin && g_received) {
    g_received->log.push_back("addwin");
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

std::string CopyOf(const std::string& textWithoutZero) { return "copy:" + Hex(textWithoutZero + '\0'); }

class Companion : public ::testing::Test {
 protected:
  using VoidFn = void(__stdcall*)();
  using CheckFn = unsigned char(__stdcall*)();
  using WriteFn = void(__stdcall*)(const wchar_t*);
  using MinimFn = void(__stdcall*)(HWND);

  void SetUp() override {
    const std::wstring path = FindInProgramFolder(L"stavlo.dll");
    ASSERT_FALSE(path.empty()) << "stavlo.dll not found (set STAVLO_DIST_DIR)";
    module_ = LoadLibraryW(path.c_str());
    ASSERT_TRUE(module_) << "LoadLibrary failed: " << GetLastError();
    g_addwin = RegisterWindowMessageW(L"addwin");
    g_received = &received_;
    WNDCLASSW wc{};
    wc.lpfnWndProc = OptionsProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TMainForm";
    RegisterClassW(&wc);
    options_ = CreateWindowExW(0, L"TMainForm", L"Stavlo test options", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(options_) << "cannot create windows (no display for Wine?)";
  }

  void TearDown() override {
    if (options_) DestroyWindow(options_);
    UnregisterClassW(L"TMainForm", GetModuleHandleW(nullptr));
    g_received = nullptr;
    if (module_) FreeLibrary(module_);
  }

  template <typename Fn>
  Fn Export(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  // Runs one export with a script; checks that the script ran to its end
  // without having to close anything, and that no window of ours is left.
  void RunScripted(const char* exportName, std::vector<Script::Step> steps) {
    auto fn = Export<VoidFn>(exportName);
    ASSERT_TRUE(fn) << exportName;
    const size_t total = steps.size();
    size_t reached = 0;
    bool gaveUp = false;
    {
      Script script(std::move(steps));
      fn();
      reached = script.reached();
      gaveUp = script.gaveUp();
    }
    EXPECT_FALSE(gaveUp) << exportName << " had to be closed by force";
    EXPECT_EQ(reached, total) << exportName << " returned before the script ended";
    PumpUntil(50, [] { return false; });  // posted answers
    EXPECT_EQ(OurVisibleWindows(), 0) << exportName << " left a window behind";
  }

  static BOOL CALLBACK CountVisible(HWND hwnd, LPARAM param) {
    if (IsWindowVisible(hwnd) && ClassOf(hwnd) != L"TMainForm") ++*reinterpret_cast<int*>(param);
    return TRUE;
  }
  static int OurVisibleWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountVisible, reinterpret_cast<LPARAM>(&count));
    return count;
  }

  HMODULE module_ = nullptr;
  HWND options_ = nullptr;
  Received received_;
};

TEST_F(Companion, ExportsAllNineFunctionsByPlainName) {
  for (const char* name : {"ShowZastForm", "ShowNewForm", "CheckAutorun", "WriteAutor", "DelAutor", "FindFile",
                           "MinimWin", "AddGroup", "ShowWindForm"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(GetProcAddress(module_, name), nullptr);
  }
}

// --- autostart -----------------------------------------------------------------

// Puts back whatever the Run key held for us before the test.
class RunValueGuard {
 public:
  RunValueGuard() {
    DWORD size = 0;
    present_ = RegGetValueW(HKEY_CURRENT_USER, kKey, L"Stavlo", RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                            &size) == ERROR_SUCCESS;
    if (present_) {
      data_.resize(size);
      RegGetValueW(HKEY_CURRENT_USER, kKey, L"Stavlo", RRF_RT_ANY | RRF_NOEXPAND, &type_, data_.data(), &size);
      data_.resize(size);
    }
  }
  ~RunValueGuard() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr))
      return;
    if (present_)
      RegSetValueExW(key, L"Stavlo", 0, type_, data_.data(), static_cast<DWORD>(data_.size()));
    else
      RegDeleteValueW(key, L"Stavlo");
    RegCloseKey(key);
  }
  static std::wstring Read(bool& present, DWORD& type) {
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t);
    present = RegGetValueW(HKEY_CURRENT_USER, kKey, L"Stavlo", RRF_RT_ANY | RRF_NOEXPAND, &type, buffer,
                           &size) == ERROR_SUCCESS;
    return present ? std::wstring(buffer) : std::wstring();
  }
  static constexpr const wchar_t* kKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

 private:
  bool present_ = false;
  DWORD type_ = 0;
  std::vector<BYTE> data_;
};

TEST_F(Companion, AutorunRoundTripThroughTheRunKey) {
  auto check = Export<CheckFn>("CheckAutorun");
  auto write = Export<WriteFn>("WriteAutor");
  auto del = Export<VoidFn>("DelAutor");
  ASSERT_TRUE(check && write && del);
  RunValueGuard guard;
  bool present = false;
  DWORD type = 0;

  del();
  EXPECT_EQ(check(), 0);
  del();  // nothing there: harmless
  EXPECT_EQ(check(), 0);

  const wchar_t* exe = L"C:\\Program Files\\Stavlo 1.0\\stavlo.exe";
  write(exe);
  EXPECT_EQ(check(), 1);
  EXPECT_EQ(RunValueGuard::Read(present, type), L"\"C:\\Program Files\\Stavlo 1.0\\stavlo.exe\"");
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

  // Writing again replaces the path.
  write(L"D:\\Программы\\Stavlo\\stavlo.exe");
  EXPECT_EQ(RunValueGuard::Read(present, type), L"\"D:\\Программы\\Stavlo\\stavlo.exe\"");

  // No path: the entry is left as it was rather than made to name nothing.
  write(nullptr);
  write(L"");
  EXPECT_EQ(RunValueGuard::Read(present, type), L"\"D:\\Программы\\Stavlo\\stavlo.exe\"");

  del();
  EXPECT_EQ(check(), 0);
  RunValueGuard::Read(present, type);
  EXPECT_FALSE(present);
}

// --- AddGroup --------------------------------------------------------------------

constexpr const wchar_t* kNewGroup = L"Новая группа";

Script::Step WaitFor(const wchar_t* title, HWND* out) {
  return [=] { return (*out = ThreadWindow(title)) != nullptr; };
}

TEST_F(Companion, AddGroupSendsTheNameInWindows1251) {
  const std::string longest(97, '\xFF');  // "&2" + 97 bytes = 99
  struct Row {
    const char* what;
    std::wstring typed;
    const char* press;  // "ok", "enter", "cancel", "escape"
    std::vector<std::string> expected;
  } const rows[] = {
      {"Cyrillic name", L"Мои программы", "ok", {CopyOf("&2\xCC\xEE\xE8 \xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB")}},
      {"Latin and Ё, by Enter", L"Ёлка & Co", "enter", {CopyOf("&2\xA8\xEB\xEA\xE0 & Co")}},
      {"spaces at the ends go", L"   Игры  ", "ok", {CopyOf("&2\xC8\xE3\xF0\xFB")}},
      {"a long name is cut to 99 bytes", std::wstring(150, L'я'), "ok", {CopyOf("&2" + longest)}},
      {"exactly 97 characters fit", std::wstring(97, L'я'), "ok", {CopyOf("&2" + longest)}},
      {"cancel sends nothing", L"Офис", "cancel", {}},
      {"escape sends nothing", L"Офис", "escape", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    received_.log.clear();
    HWND dialog = nullptr;
    const std::wstring typed = row.typed;
    const std::string press = row.press;
    RunScripted("AddGroup", {WaitFor(kNewGroup, &dialog), [&] {
                               HWND edit = Child(dialog, L"Edit", 0);
                               if (!edit) return false;
                               SetWindowTextW(edit, typed.c_str());
                               if (press == "ok") Click(Child(dialog, L"Button", 0, L"OK"));
                               if (press == "cancel") Click(Child(dialog, L"Button", 0, L"Отмена"));
                               if (press == "enter") Key(edit, VK_RETURN);
                               if (press == "escape") Key(edit, VK_ESCAPE);
                               return true;
                             }});
    EXPECT_EQ(received_.log, row.expected);
  }
}

TEST_F(Companion, AddGroupRefusesNamesWindows1251CannotHoldAndStaysOpen) {
  HWND dialog = nullptr;
  HWND box = nullptr;
  bool stillOpenAfterRefusal = false;
  bool emptyKeptOpen = false;
  RunScripted(
      "AddGroup",
      {WaitFor(kNewGroup, &dialog),
       [&] {  // empty: nothing to send, the dialog waits for a name
         Click(Child(dialog, L"Button", 0, L"OK"));
         return true;
       },
       [&] {
         emptyKeptOpen = IsWindow(dialog) && IsWindowVisible(dialog) && IsWindowEnabled(dialog);
         SetWindowTextW(Child(dialog, L"Edit", 0), L"Группа 日本");
         Click(Child(dialog, L"Button", 0, L"OK"));
         return true;
       },
       [&] { return (box = ThreadWindow(nullptr, L"#32770", dialog)) != nullptr; },
       [&] {
         PostMessageW(box, WM_COMMAND, IDOK, 0);
         return true;
       },
       [&] {
         if (IsWindow(box)) return false;
         stillOpenAfterRefusal = IsWindowVisible(dialog) != FALSE;
         SetWindowTextW(Child(dialog, L"Edit", 0), L"Группа");
         Click(Child(dialog, L"Button", 0, L"OK"));
         return true;
       }});
  EXPECT_TRUE(emptyKeptOpen);
  EXPECT_TRUE(stillOpenAfterRefusal);
  // Only the name that could be held arrived.
  EXPECT_EQ(received_.log, std::vector<std::string>{CopyOf("&2\xC3\xF0\xF3\xEF\xEF\xE0")});
}

// --- ShowWindForm ------------------------------------------------------------------

// Windows of another process: the picker leaves the program's own out.
class HeldWindows {
 public:
  explicit HeldWindows(const std::vector<std::wstring>& titles) : titles_(titles) {
    std::wstring joined;
    for (const std::wstring& t : titles) joined += t + L"\n";
    SetEnvironmentVariableW(L"STAVLO_TEST_HOLD_TITLES", joined.c_str());
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) +
                           L"\" --gtest_also_run_disabled_tests --gtest_filter=CompanionHelper.DISABLED_HoldWindows";
    // The helper's own test report would mix with ours.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    if (nul != INVALID_HANDLE_VALUE) {
      si.dwFlags = STARTF_USESTDHANDLES;
      si.hStdInput = si.hStdOutput = si.hStdError = nul;
    }
    const BOOL started = CreateProcessW(exe, command.data(), nullptr, nullptr, nul != INVALID_HANDLE_VALUE, 0,
                                        nullptr, nullptr, &si, &process_);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (started) {
      CloseHandle(process_.hThread);
      process_.hThread = nullptr;
    }
    SetEnvironmentVariableW(L"STAVLO_TEST_HOLD_TITLES", nullptr);
  }
  ~HeldWindows() {
    for (const std::wstring& t : titles_)
      if (HWND w = FindWindowW(L"StavloTestHeld", t.c_str())) PostMessageW(w, WM_CLOSE, 0, 0);
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 1);
      CloseHandle(process_.hProcess);
    }
  }
  HeldWindows(const HeldWindows&) = delete;
  HeldWindows& operator=(const HeldWindows&) = delete;

  bool AllShown() const {
    if (!process_.hProcess) return false;
    return PumpUntil(15000, [this] {
      for (const std::wstring& t : titles_)
        if (!FindWindowW(L"StavloTestHeld", t.c_str())) return false;
      return true;
    });
  }

 private:
  std::vector<std::wstring> titles_;
  PROCESS_INFORMATION process_{};
};

LRESULT CALLBACK HeldProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
void CALLBACK HeldTooLong(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

// Run in a child process by HeldWindows.
TEST(CompanionHelper, DISABLED_HoldWindows) {
  wchar_t buffer[4096] = {};
  if (!GetEnvironmentVariableW(L"STAVLO_TEST_HOLD_TITLES", buffer, 4096)) GTEST_SKIP() << "helper process only";
  WNDCLASSW wc{};
  wc.lpfnWndProc = HeldProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StavloTestHeld";
  RegisterClassW(&wc);
  std::wstring titles = buffer;
  int x = 40;
  for (size_t start = 0, end; (end = titles.find(L'\n', start)) != std::wstring::npos; start = end + 1, x += 30)
    CreateWindowExW(0, L"StavloTestHeld", titles.substr(start, end - start).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, x, 300, 150, nullptr, nullptr, wc.hInstance, nullptr);
  // Ends when the first window is closed, or after a while on its own.
  SetTimer(nullptr, 0, 30000, HeldTooLong);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
}

TEST_F(Companion, ShowWindFormSendsEachPickedTitleThenAddwin) {
  const std::wstring cyrillic = L"Документ — Блокнот";
  const std::wstring foreign = L"日本語のウィンドウ";
  const std::wstring longTitle = L"Окно " + std::wstring(150, L'x');
  HeldWindows held({cyrillic, foreign, longTitle});
  ASSERT_TRUE(held.AllShown()) << "the helper process did not show its windows";
  ShowWindow(options_, SW_SHOWNOACTIVATE);  // visible, titled, but ours

  const std::string cyrillicBytes = "&1\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2 \x97 \xC1\xEB\xEE\xEA\xED\xEE\xF2";
  const std::string longBytes = "&1\xCE\xEA\xED\xEE " + std::string(92, 'x');  // 99 bytes

  struct Row {
    const char* what;
    std::vector<std::wstring> pick;
    bool add;  // Добавить, or Отмена
    std::vector<std::string> expected;
  } const rows[] = {
      // In the order of the list, which is the windows' order on the screen.
      {"two titles, the long one cut", {cyrillic, longTitle}, true, {CopyOf(cyrillicBytes), CopyOf(longBytes)}},
      {"one title", {cyrillic}, true, {CopyOf(cyrillicBytes)}},
      {"cancel sends nothing", {cyrillic}, false, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    received_.log.clear();
    HWND dialog = nullptr;
    std::vector<std::wstring> listed;
    RunScripted("ShowWindForm", {WaitFor(L"Выбор окна", &dialog), [&] {
                                   HWND list = Child(dialog, L"ListBox", 0);
                                   if (!list) return false;
                                   listed = ListItems(list);
                                   for (const std::wstring& t : row.pick) {
                                     const LRESULT i = SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                                    reinterpret_cast<LPARAM>(t.c_str()));
                                     if (i != LB_ERR) SendMessageW(list, LB_SETSEL, TRUE, i);
                                   }
                                   Click(Child(dialog, L"Button", 0, row.add ? L"Добавить" : L"Отмена"));
                                   return true;
                                 }});
    for (const std::wstring& t : {cyrillic, foreign, longTitle})
      EXPECT_NE(std::find(listed.begin(), listed.end(), t), listed.end()) << "a window of another program is missing";
    EXPECT_EQ(std::find(listed.begin(), listed.end(), L"Stavlo test options"), listed.end())
        << "the program's own window is listed";
    std::vector<std::string> expected = row.expected;
    if (expected.size() == 2) {
      auto at = [&](const std::wstring& t) { return std::find(listed.begin(), listed.end(), t) - listed.begin(); };
      if (at(row.pick[0]) > at(row.pick[1])) std::swap(expected[0], expected[1]);
    }
    if (row.add) expected.push_back("addwin");
    EXPECT_EQ(received_.log, expected);
  }
}

TEST_F(Companion, ShowWindFormRefusesTitlesWindows1251CannotHold) {
  const std::wstring cyrillic = L"Документ — Блокнот";
  const std::wstring foreign = L"日本語のウィンドウ";
  HeldWindows held({cyrillic, foreign});
  ASSERT_TRUE(held.AllShown());
  HWND dialog = nullptr, box = nullptr, list = nullptr;
  bool stayedOpen = false;
  RunScripted("ShowWindForm",
              {WaitFor(L"Выбор окна", &dialog),
               [&] {
                 list = Child(dialog, L"ListBox", 0);
                 for (const std::wstring& t : {cyrillic, foreign})
                   SendMessageW(list, LB_SETSEL, TRUE,
                                SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                             reinterpret_cast<LPARAM>(t.c_str())));
                 Click(Child(dialog, L"Button", 0, L"Добавить"));
                 return true;
               },
               [&] { return (box = ThreadWindow(nullptr, L"#32770", dialog)) != nullptr; },
               [&] {
                 PostMessageW(box, WM_COMMAND, IDOK, 0);
                 return true;
               },
               [&] {
                 if (IsWindow(box)) return false;
                 stayedOpen = IsWindowVisible(dialog) != FALSE;
                 // Take the refused one out and add again.
                 SendMessageW(list, LB_SETSEL, FALSE,
                              SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(foreign.c_str())));
                 Click(Child(dialog, L"Button", 0, L"Добавить"));
                 return true;
               }});
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(received_.log, (std::vector<std::string>{
                               CopyOf("&1\xC4\xEE\xEA\xF3\xEC\xE5\xED\xF2 \x97 \xC1\xEB\xEE\xEA\xED\xEE\xF2"),
                               "addwin"}));
}

// --- the splash and the what's-new window ----------------------------------------

TEST_F(Companion, SplashIsABorderlessTopmostWindowThatClosesByItself) {
  HWND splash = nullptr;
  LONG_PTR style = 0, exStyle = 0;
  RECT rect{};
  std::wstring title;
  RunScripted("ShowZastForm", {[&] {
                splash = ThreadWindow(nullptr, L"StavloSplash");
                if (!splash) return false;
                style = GetWindowLongPtrW(splash, GWL_STYLE);
                exStyle = GetWindowLongPtrW(splash, GWL_EXSTYLE);
                GetWindowRect(splash, &rect);
                title = TextOf(splash);
                return true;
              }});
  EXPECT_EQ(title, L"Stavlo");
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(rect.right - rect.left, MulDiv(360, dpi, 96));
  EXPECT_EQ(rect.bottom - rect.top, MulDiv(200, dpi, 96));
  // Centred on the work area.
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  EXPECT_LE(std::abs((rect.left + rect.right) - (area.left + area.right)), 2);
  EXPECT_LE(std::abs((rect.top + rect.bottom) - (area.top + area.bottom)), 2);
}

TEST_F(Companion, SplashClosesOnAClick) {
  RunScripted("ShowZastForm", {[&] {
                HWND splash = ThreadWindow(nullptr, L"StavloSplash");
                if (!splash) return false;
                PostMessageW(splash, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                return true;
              }});
}

TEST_F(Companion, WhatsNewClosesByEveryUsualWay) {
  struct Row {
    const char* what;
    std::function<void(HWND window)> close;
  } const rows[] = {
      {"Enter on OK", [](HWND) { Key(GetFocus(), VK_RETURN); }},
      {"Esc on OK", [](HWND) { Key(GetFocus(), VK_ESCAPE); }},
      {"Enter in the text", [](HWND w) { Key(Child(w, L"Edit", 0), VK_RETURN); }},
      {"Esc in the text", [](HWND w) { Key(Child(w, L"Edit", 0), VK_ESCAPE); }},
      {"OK clicked", [](HWND w) { Click(Child(w, L"Button", 0, L"OK")); }},
      {"close box", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    std::wstring title, text;
    bool okIsDefaultAndFocused = false;
    RunScripted("ShowNewForm", {[&] {
                  HWND window = ThreadWindow(nullptr, L"StavloWhatsNew");
                  if (!window) return false;
                  title = TextOf(window);
                  text = TextOf(Child(window, L"Edit", 0));
                  HWND ok = Child(window, L"Button", 0, L"OK");
                  okIsDefaultAndFocused = ok && GetFocus() == ok &&
                                          (GetWindowLongPtrW(ok, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
                  row.close(window);
                  return true;
                }});
    EXPECT_EQ(title, L"Что нового в Stavlo");
    EXPECT_TRUE(okIsDefaultAndFocused);
    if (!text.empty()) CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    int topic = 0;
    for (const wchar_t* word : {L"жест", L"групп", L"тем", L"клавиш", L"исключений"}) {
      EXPECT_NE(text.find(word), std::wstring::npos) << "topic #" << topic;
      ++topic;
    }
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    EXPECT_FALSE(GetClassInfoExW(module_, L"StavloWhatsNew", &info)) << "class left registered";
  }
}

// --- FindFile ------------------------------------------------------------------------

class TempTree {
 public:
  TempTree() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"stavlo-find-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    for (const wchar_t* dir : {L"", L"sub\\", L"sub\\deep\\"}) CreateDirectoryW((root_ + dir).c_str(), nullptr);
    for (const wchar_t* file : kFiles) {
      HANDLE h = CreateFileW((root_ + file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
  }
  ~TempTree() {
    for (const wchar_t* file : kFiles) DeleteFileW((root_ + file).c_str());
    for (const wchar_t* dir : {L"sub\\deep\\", L"sub\\", L""}) RemoveDirectoryW((root_ + dir).c_str());
  }
  const std::wstring& root() const { return root_; }

  static constexpr const wchar_t* kFiles[] = {L"a.txt",      L"b.TXT",           L"readme",       L"x y.txt",
                                              L"sub\\c.txt", L"sub\\Отчёт.doc", L"sub\\deep\\d.log"};

 private:
  std::wstring root_;
};

TEST_F(Companion, FindFileFindsByMaskRecursively) {
  TempTree tree;
  struct Row {
    const wchar_t* mask;
    std::set<std::wstring> expected;  // below the root
  } const rows[] = {
      {L"*.txt", {L"a.txt", L"b.TXT", L"x y.txt", L"sub\\c.txt"}},
      {L"*.*", {L"a.txt", L"b.TXT", L"readme", L"x y.txt", L"sub\\c.txt", L"sub\\Отчёт.doc", L"sub\\deep\\d.log"}},
      {L"*.", {L"readme"}},
      {L"?.txt", {L"a.txt", L"b.TXT", L"sub\\c.txt"}},
      {L"*.log; *.doc", {L"sub\\deep\\d.log", L"sub\\Отчёт.doc"}},
      {L"ОТЧЁТ.*", {L"sub\\Отчёт.doc"}},
      {L"READ*", {L"readme"}},
      {L"nothing*", {}},
  };
  // One window, one search after another: each search starts from an empty list.
  HWND window = nullptr;
  std::vector<Script::Step> steps{WaitFor(L"Поиск файлов", &window)};
  std::vector<std::set<std::wstring>> found(std::size(rows));
  for (size_t i = 0; i < std::size(rows); ++i) {
    steps.push_back([&, i] {
      SetWindowTextW(Child(window, L"Edit", 0), tree.root().c_str());
      SetWindowTextW(Child(window, L"Edit", 1), rows[i].mask);
      Click(Child(window, L"Button", 0, L"Найти"));
      return true;
    });
    steps.push_back([&, i] {
      // Done when the status says how many were found and Найти is back.
      HWND find = Child(window, L"Button", 0, L"Найти");
      bool finished = false;
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == L"Static" && TextOf(child).rfind(L"Найдено", 0) == 0) finished = true;
      if (!finished || !IsWindowEnabled(find)) return false;
      for (const std::wstring& path : ListItems(Child(window, L"ListBox", 0)))
        found[i].insert(path.rfind(tree.root(), 0) == 0 ? path.substr(tree.root().size()) : L"outside:" + path);
      // Clear the status so the next search is seen to finish on its own.
      for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == L"Static" && TextOf(child).rfind(L"Найдено", 0) == 0) SetWindowTextW(child, L"");
      return true;
    });
  }
  steps.push_back([&] {
    Click(Child(window, L"Button", 0, L"Закрыть"));
    return true;
  });
  RunScripted("FindFile", std::move(steps));
  for (size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(std::string("mask #") + std::to_string(i));
    EXPECT_EQ(found[i], rows[i].expected);
  }
}

TEST_F(Companion, FindFileExplainsAMissingFolderAndStaysOpen) {
  HWND window = nullptr, box = nullptr;
  bool stayedOpen = false;
  RunScripted("FindFile", {WaitFor(L"Поиск файлов", &window),
                           [&] {
                             SetWindowTextW(Child(window, L"Edit", 0), L"C:\\no such folder here\\");
                             Click(Child(window, L"Button", 0, L"Найти"));
                             return true;
                           },
                           [&] { return (box = ThreadWindow(nullptr, L"#32770", window)) != nullptr; },
                           [&] {
                             PostMessageW(box, WM_COMMAND, IDOK, 0);
                             return true;
                           },
                           [&] {
                             if (IsWindow(box)) return false;
                             stayedOpen = IsWindowVisible(window) != FALSE;
                             Key(GetFocus(), VK_ESCAPE);
                             return true;
                           }});
  EXPECT_TRUE(stayedOpen);
}

// --- MinimWin -------------------------------------------------------------------------

TEST_F(Companion, MinimWinMinimisesOtherWindowsButNotTheOptionsWindow) {
  HWND tray = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (tray && IsWindowVisible(tray)) GTEST_SKIP() << "a taskbar does the work here";
  auto minim = Export<MinimFn>("MinimWin");
  ASSERT_TRUE(minim);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StavloTestPlain";
  RegisterClassW(&wc);
  HWND plain = CreateWindowExW(0, L"StavloTestPlain", L"plain", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 200, 100,
                               nullptr, nullptr, wc.hInstance, nullptr);
  HWND noBox = CreateWindowExW(0, L"StavloTestPlain", L"no minimise box", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 80,
                               80, 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(options_, SW_SHOWNOACTIVATE);
  minim(options_);
  EXPECT_TRUE(PumpUntil(3000, [&] { return IsIconic(plain) != FALSE; }));
  PumpUntil(100, [] { return false; });
  EXPECT_FALSE(IsIconic(noBox));
  EXPECT_FALSE(IsIconic(options_));
  DestroyWindow(plain);
  DestroyWindow(noBox);
  UnregisterClassW(L"StavloTestPlain", wc.hInstance);
}

}  // namespace
