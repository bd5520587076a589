// The end-to-end tests' eyes and hands inside the Wine prefix: lists windows and
// processes, posts and sends messages, presses buttons, reads window text.
// Everything it prints is UTF-8, one JSON object a line.
#include <windows.h>
#include <tlhelp32.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

class Handle {
 public:
  explicit Handle(HANDLE h) noexcept : h_(h) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() {
    if (h_ != INVALID_HANDLE_VALUE && h_ != nullptr) CloseHandle(h_);
  }
  HANDLE get() const noexcept { return h_; }
  bool valid() const noexcept { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }

 private:
  HANDLE h_;
};

std::string Utf8(const std::wstring& w) {
  if (w.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                      nullptr);
  return s;
}

std::string Json(const std::wstring& w) {
  std::string out = "\"";
  for (unsigned char c : Utf8(w)) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          wsprintfA(buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string Num(unsigned long long v) { return std::to_string(v); }
std::string Num(long long v) { return std::to_string(v); }
std::string HwndNum(HWND h) { return Num(static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(h))); }

// WriteFile, not WriteConsole: the tests read a pipe and want the UTF-8 bytes as they are.
void Print(const std::string& line) {
  std::string s = line + "\n";
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  WriteFile(out, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
}

int Fail(const std::wstring& why) {
  std::string s = "probe: " + Utf8(why) + "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_ERROR_HANDLE), s.data(), static_cast<DWORD>(s.size()), &written,
            nullptr);
  return 1;
}

bool ParseInt(const wchar_t* text, long long& value) {
  if (text == nullptr || *text == L'\0') return false;
  wchar_t* end = nullptr;
  errno = 0;
  if (text[0] == L'-') {
    value = std::wcstoll(text, &end, 0);
  } else {
    value = static_cast<long long>(std::wcstoull(text, &end, 0));
  }
  return errno == 0 && end != nullptr && *end == L'\0';
}

bool ParseHwnd(const wchar_t* text, HWND& hwnd) {
  long long v = 0;
  if (!ParseInt(text, v)) return false;
  hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
  return IsWindow(hwnd) != FALSE;
}

// "reg:NAME" names a registered message, anything else is a number.
bool ParseMessage(const wchar_t* text, UINT& msg) {
  if (std::wcsncmp(text, L"reg:", 4) == 0) {
    msg = RegisterWindowMessageW(text + 4);
    return msg != 0;
  }
  long long v = 0;
  if (!ParseInt(text, v) || v < 0 || v > 0xFFFFFFFFLL) return false;
  msg = static_cast<UINT>(v);
  return true;
}

std::map<DWORD, std::wstring> ProcessNames() {
  std::map<DWORD, std::wstring> names;
  Handle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap.valid()) return names;
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(snap.get(), &e); ok; ok = Process32NextW(snap.get(), &e))
    names[e.th32ProcessID] = e.szExeFile;
  return names;
}

std::wstring ClassOf(HWND h) {
  wchar_t buf[256] = {};
  GetClassNameW(h, buf, 256);
  return buf;
}

// WM_GETTEXT reaches controls of other processes, which GetWindowText does not;
// the time-out keeps a hung program from hanging the probe.
std::wstring TextOf(HWND h) {
  DWORD_PTR len = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return {};
  std::vector<wchar_t> buf(static_cast<size_t>(len) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                           SMTO_ABORTIFHUNG, 2000, &got))
    return {};
  return std::wstring(buf.data(), static_cast<size_t>(got) < buf.size() ? got : buf.size() - 1);
}

std::string RectJson(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return "[" + Num(static_cast<long long>(r.left)) + "," + Num(static_cast<long long>(r.top)) +
         "," + Num(static_cast<long long>(r.right)) + "," + Num(static_cast<long long>(r.bottom)) +
         "]";
}

BOOL CALLBACK CollectWindow(HWND h, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
  return TRUE;
}

int ListWindows() {
  std::vector<HWND> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  // Pop-up menus are top-level too, but look for them by class as well so a menu
  // is never missed whatever the enumeration does with them.
  for (HWND m = FindWindowExW(nullptr, nullptr, L"#32768", nullptr); m != nullptr;
       m = FindWindowExW(nullptr, m, L"#32768", nullptr)) {
    bool known = false;
    for (HWND w : windows) known = known || w == m;
    if (!known) windows.push_back(m);
  }
  const auto names = ProcessNames();
  for (HWND h : windows) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    auto name = names.find(pid);
    wchar_t title[512] = {};
    GetWindowTextW(h, title, 512);
    Print("{\"hwnd\":" + HwndNum(h) + ",\"pid\":" + Num(static_cast<unsigned long long>(pid)) +
          ",\"exe\":" + Json(name != names.end() ? name->second : L"") +
          ",\"class\":" + Json(ClassOf(h)) + ",\"title\":" + Json(title) +
          ",\"visible\":" + (IsWindowVisible(h) ? "true" : "false") + ",\"rect\":" + RectJson(h) +
          "}");
  }
  return 0;
}

int ListProcesses() {
  Handle snap(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snap.valid()) return Fail(L"no process snapshot");
  PROCESSENTRY32W e{};
  e.dwSize = sizeof e;
  for (BOOL ok = Process32FirstW(snap.get(), &e); ok; ok = Process32NextW(snap.get(), &e))
    Print("{\"pid\":" + Num(static_cast<unsigned long long>(e.th32ProcessID)) +
          ",\"parent\":" + Num(static_cast<unsigned long long>(e.th32ParentProcessID)) +
          ",\"exe\":" + Json(e.szExeFile) + "}");
  return 0;
}

struct Message {
  HWND hwnd = nullptr;
  UINT msg = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
};

bool ParseMessageArgs(int argc, wchar_t** argv, Message& m) {
  long long wp = 0, lp = 0;
  if (argc < 6) return false;
  if (!ParseHwnd(argv[2], m.hwnd) || !ParseMessage(argv[3], m.msg) || !ParseInt(argv[4], wp) ||
      !ParseInt(argv[5], lp))
    return false;
  m.wparam = static_cast<WPARAM>(wp);
  m.lparam = static_cast<LPARAM>(lp);
  return true;
}

int Post(int argc, wchar_t** argv) {
  Message m;
  if (!ParseMessageArgs(argc, argv, m)) return Fail(L"usage: post HWND MSG|reg:NAME WPARAM LPARAM");
  if (!PostMessageW(m.hwnd, m.msg, m.wparam, m.lparam)) return Fail(L"PostMessage failed");
  Print("{\"posted\":" + Num(static_cast<unsigned long long>(m.msg)) + "}");
  return 0;
}

int Send(int argc, wchar_t** argv) {
  Message m;
  if (!ParseMessageArgs(argc, argv, m))
    return Fail(L"usage: send HWND MSG|reg:NAME WPARAM LPARAM [TIMEOUT_MS]");
  long long timeout = 5000;
  if (argc > 6 && (!ParseInt(argv[6], timeout) || timeout < 0)) return Fail(L"bad time-out");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(m.hwnd, m.msg, m.wparam, m.lparam, SMTO_ABORTIFHUNG,
                           static_cast<UINT>(timeout), &result)) {
    Fail(L"no answer in time");
    return 2;
  }
  Print("{\"result\":" + Num(static_cast<long long>(static_cast<LONG_PTR>(result))) + "}");
  return 0;
}

int Close(int argc, wchar_t** argv) {
  HWND h = nullptr;
  if (argc < 3 || !ParseHwnd(argv[2], h)) return Fail(L"usage: close HWND");
  if (!PostMessageW(h, WM_CLOSE, 0, 0)) return Fail(L"PostMessage failed");
  return 0;
}

BOOL CALLBACK CollectChild(HWND h, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(h);
  return TRUE;
}

std::vector<HWND> Descendants(HWND h) {
  std::vector<HWND> children;
  EnumChildWindows(h, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// "&OK" and "OK" name the same button.
std::wstring WithoutAccelerator(const std::wstring& s) {
  std::wstring out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == L'&' && i + 1 < s.size()) ++i;
    out += s[i];
  }
  return out;
}

int ClickButton(int argc, wchar_t** argv) {
  HWND dialog = nullptr;
  if (argc < 4 || !ParseHwnd(argv[2], dialog)) return Fail(L"usage: click-button HWND TEXT");
  const std::wstring wanted = WithoutAccelerator(argv[3]);
  for (HWND c : Descendants(dialog)) {
    if (lstrcmpiW(ClassOf(c).c_str(), L"Button") != 0) continue;
    if (WithoutAccelerator(TextOf(c)) != wanted) continue;
    // Posted: a click that opens something modal must not hold the probe.
    if (!PostMessageW(c, BM_CLICK, 0, 0)) return Fail(L"PostMessage failed");
    Print("{\"clicked\":" + HwndNum(c) + "}");
    return 0;
  }
  return Fail(L"no button \"" + wanted + L"\"");
}

int Text(int argc, wchar_t** argv) {
  HWND h = nullptr;
  if (argc < 3 || !ParseHwnd(argv[2], h)) return Fail(L"usage: text HWND");
  auto line = [](HWND w) {
    Print("{\"hwnd\":" + HwndNum(w) + ",\"parent\":" + HwndNum(GetParent(w)) +
          ",\"class\":" + Json(ClassOf(w)) + ",\"text\":" + Json(TextOf(w)) +
          ",\"visible\":" + (IsWindowVisible(w) ? "true" : "false") + ",\"rect\":" + RectJson(w) +
          "}");
  };
  line(h);
  for (HWND c : Descendants(h)) line(c);
  return 0;
}

// The pointer, the screen size and the window that gets the keys.
int Cursor() {
  POINT p{};
  GetCursorPos(&p);
  Print("{\"x\":" + Num(static_cast<long long>(p.x)) + ",\"y\":" + Num(static_cast<long long>(p.y)) +
        ",\"screen\":[" + Num(static_cast<long long>(GetSystemMetrics(SM_CXSCREEN))) + "," +
        Num(static_cast<long long>(GetSystemMetrics(SM_CYSCREEN))) + "],\"foreground\":" +
        HwndNum(GetForegroundWindow()) + "}");
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"windows") return ListWindows();
  if (command == L"processes") return ListProcesses();
  if (command == L"post") return Post(argc, argv);
  if (command == L"send") return Send(argc, argv);
  if (command == L"close") return Close(argc, argv);
  if (command == L"click-button") return ClickButton(argc, argv);
  if (command == L"text") return Text(argc, argv);
  if (command == L"cursor") return Cursor();
  return Fail(L"usage: probe windows | processes | cursor | post HWND MSG WPARAM LPARAM | "
              L"send HWND MSG WPARAM LPARAM [TIMEOUT_MS] | close HWND | "
              L"click-button HWND TEXT | text HWND");
}
