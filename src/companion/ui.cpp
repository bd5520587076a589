#include "companion/ui.h"

#include <optional>

namespace companion {

HINSTANCE g_instance = nullptr;

int ScreenDpi() {
  static int dpi = 0;
  if (!dpi) {
    HDC dc = GetDC(nullptr);
    dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    if (dpi <= 0) dpi = 96;
  }
  return dpi;
}

int Px(int units) { return MulDiv(units, ScreenDpi(), 96); }

Font CreateUiFont(int pointSize, bool bold) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  LOGFONTW lf{};
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    lf = metrics.lfMessageFont;
  } else {
    lf.lfHeight = -MulDiv(8, ScreenDpi(), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"Tahoma", LF_FACESIZE);
  }
  if (pointSize > 0) lf.lfHeight = -MulDiv(pointSize, ScreenDpi(), 72);
  if (bold) lf.lfWeight = FW_BOLD;
  return Font(CreateFontIndirectW(&lf));
}

RECT WorkAreaNear(HWND window) {
  HMONITOR monitor = window ? MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY)
                          : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

std::wstring WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

ThreadWindowsDisabled::ThreadWindowsDisabled() {
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(this));
  for (HWND hwnd : disabled_) EnableWindow(hwnd, FALSE);
}

BOOL CALLBACK ThreadWindowsDisabled::Collect(HWND hwnd, LPARAM self) {
  if (IsWindowEnabled(hwnd)) reinterpret_cast<ThreadWindowsDisabled*>(self)->disabled_.push_back(hwnd);
  return TRUE;
}

void ThreadWindowsDisabled::Restore() {
  for (HWND hwnd : disabled_)
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  disabled_.clear();
}

Form::~Form() {
  // A form normally ends through ShowModal; this covers an exception on the way.
  if (hwnd_) DestroyWindow(hwnd_);
  if (classRegistered_) UnregisterClassW(args_.className, g_instance);
}

bool Form::RegisterClassOnce() {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = Thunk;
  wc.hInstance = g_instance;
  wc.hCursor = args_.cursor ? args_.cursor : LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = args_.background;
  wc.lpszClassName = args_.className;
  if (RegisterClassExW(&wc)) {
    classRegistered_ = true;
    return true;
  }
  // A form of the same kind is already open further up the stack.
  return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int Form::ShowModal() {
  if (!RegisterClassOnce()) return IDCANCEL;
  font_ = CreateUiFont();
  HWND owner = GetActiveWindow();
  std::optional<ThreadWindowsDisabled> disabled;
  if (args_.disableThreadWindows) disabled.emplace();

  RECT frame{0, 0, Px(args_.clientWidth), Px(args_.clientHeight)};
  AdjustWindowRectEx(&frame, args_.style, FALSE, args_.exStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  const RECT area = WorkAreaNear(owner);
  const int x = area.left + ((area.right - area.left) - width) / 2;
  const int y = area.top + ((area.bottom - area.top) - height) / 2;
  CreateWindowExW(args_.exStyle, args_.className, args_.title, args_.style, x, y, width, height, owner,
                  nullptr, g_instance, this);
  if (hwnd_) OnCreate();
  if (hwnd_ && !ended_) {
    ShowWindow(hwnd_, args_.activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE);
    if (args_.activate) {
      SetForegroundWindow(hwnd_);
      HWND focus = focusOnShow ? focusOnShow : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
      if (focus) SetFocus(focus);
    }
    UpdateWindow(hwnd_);
  }
  while (hwnd_ && !ended_) {
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      quitSeen_ = true;
      quitCode_ = static_cast<int>(msg.wParam);
      break;
    }
    if (got < 0) break;
    Dispatch(msg);
  }
  // Enable the owner first so that activation goes back to it.
  if (disabled) disabled->Restore();
  if (hwnd_) DestroyWindow(hwnd_);
  font_.Reset();
  if (classRegistered_) {
    UnregisterClassW(args_.className, g_instance);
    classRegistered_ = false;
  }
  if (quitSeen_) PostQuitMessage(quitCode_);  // the program's own loop must see it
  return result_;
}

void Form::Dispatch(MSG& msg) {
  if (PreTranslate(msg)) return;
  if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Form::PumpWaiting() {
  MSG msg;
  while (hwnd_ && !ended_ && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      quitSeen_ = true;
      quitCode_ = static_cast<int>(msg.wParam);
      ended_ = true;
      break;
    }
    Dispatch(msg);
  }
  return hwnd_ && !ended_;
}

void Form::EndModal(int result) {
  if (ended_) return;
  result_ = result;
  ended_ = true;
}

HWND Form::AddControl(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, int id,
                      DWORD exStyle) {
  HWND control = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h),
                                 hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

void Form::Move(int id, int x, int y, int w, int h) const {
  if (HWND control = Item(id)) MoveWindow(control, x, y, w, h, TRUE);
}

int Form::MessageBoxRu(const wchar_t* text, UINT flags) const {
  return MessageBoxW(hwnd_, text, args_.title, flags);
}

LRESULT CALLBACK Form::Thunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  Form* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Form*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  try {
    result = self->Handle(msg, wParam, lParam);
  } catch (...) {
    result = DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (msg == WM_NCDESTROY) {
    // Destroyed by whoever: the form is over and must not destroy it again.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->ended_ = true;
  }
  return result;
}

LRESULT Form::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (OnMessage(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return 0;
    case WM_CLOSE:
      OnCommand(IDCANCEL, BN_CLICKED, nullptr);
      return 0;
    case DM_GETDEFID:
      return defaultButton ? MAKELRESULT(defaultButton, DC_HASDEFID) : 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) OnResize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_GETMINMAXINFO:
      if (minWidth_ > 0) {
        RECT frame{0, 0, Px(minWidth_), Px(minHeight_)};
        AdjustWindowRectEx(&frame, args_.style, FALSE, args_.exStyle);
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = frame.right - frame.left;
        info->ptMinTrackSize.y = frame.bottom - frame.top;
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd_, msg, wParam, lParam);
}

}  // namespace companion
