// Lets the user pick windows of other programs by title, for the list of
// windows over which the gesture is ignored.
#include <algorithm>
#include <string>
#include <vector>

#include "companion/copydata_text.h"
#include "companion/forms.h"
#include "companion/ui.h"

namespace companion {
namespace {

enum : int { kHint = 100, kTitles, kRefresh };

BOOL CALLBACK CollectTitle(HWND hwnd, LPARAM param) {
  auto* titles = reinterpret_cast<std::vector<std::wstring>*>(param);
  if (!IsWindowVisible(hwnd)) return TRUE;
  DWORD process = 0;
  GetWindowThreadProcessId(hwnd, &process);
  if (process == GetCurrentProcessId()) return TRUE;  // the program's own windows
  std::wstring title = WindowText(hwnd);
  if (title.empty()) return TRUE;
  if (std::find(titles->begin(), titles->end(), title) == titles->end()) titles->push_back(std::move(title));
  return TRUE;
}

class WindowPickerForm : public Form {
 public:
  WindowPickerForm() : Form(Args()) {}

 private:
  static FormArgs Args() {
    FormArgs args;
    args.className = L"StavloPickWindow";
    args.title = L"Выбор окна";
    args.clientWidth = 460;
    args.clientHeight = 340;
    args.style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    return args;
  }

  void OnCreate() override {
    defaultButton = IDOK;
    SetMinTrackSize(320, 220);
    AddControl(L"STATIC",
               L"&Выберите окна для списка исключений (можно несколько):",
               SS_LEFT | SS_ENDELLIPSIS, 0, 0, 10, 10, kHint);
    AddControl(L"LISTBOX", L"",
               LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL |
                   WS_TABSTOP,
               0, 0, 10, 10, kTitles, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"О&бновить", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, kRefresh);
    AddControl(L"BUTTON", L"Добавить", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, IDOK);
    AddControl(L"BUTTON", L"Отмена", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, IDCANCEL);
    Fill();
    focusOnShow = Item(kTitles);
    RECT client;
    GetClientRect(hwnd(), &client);
    OnResize(client.right, client.bottom);
  }

  void OnResize(int width, int height) override {
    const int m = Px(12), gap = Px(8), buttonW = Px(96), buttonH = Px(26);
    Move(kHint, m, m, width - 2 * m, Px(18));
    const int top = m + Px(22), bottom = height - m - buttonH;
    Move(kTitles, m, top, width - 2 * m, std::max(Px(40), bottom - gap - top));
    Move(kRefresh, m, bottom, buttonW, buttonH);
    Move(IDCANCEL, width - m - buttonW, bottom, buttonW, buttonH);
    Move(IDOK, width - m - 2 * buttonW - gap, bottom, buttonW, buttonH);
  }

  void Fill() {
    std::vector<std::wstring> titles;
    EnumWindows(CollectTitle, reinterpret_cast<LPARAM>(&titles));
    HWND list = Item(kTitles);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(list);
    HGDIOBJ oldFont = dc ? SelectObject(dc, font()) : nullptr;
    int widest = 0;
    for (const std::wstring& title : titles) {
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
      SIZE size{};
      if (dc && GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &size))
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    if (dc) {
      SelectObject(dc, oldFont);
      ReleaseDC(list, dc);
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + Px(8), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
  }

  void OnCommand(int id, int code, HWND control) override {
    if (id == IDOK) {
      Accept();
      return;
    }
    if (id == kRefresh) {
      if (code == BN_CLICKED) Fill();
      return;
    }
    if (id == kTitles && code == LBN_DBLCLK) {
      Accept();
      return;
    }
    Form::OnCommand(id, code, control);
  }

  void Accept() {
    HWND list = Item(kTitles);
    const LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) {
      MessageBeep(MB_ICONWARNING);
      SetFocus(list);
      return;
    }
    std::vector<int> selected(static_cast<size_t>(count));
    const LRESULT got =
        SendMessageW(list, LB_GETSELITEMS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(selected.data()));
    selected.resize(got > 0 ? static_cast<size_t>(got) : 0);

    // All or nothing: a refused title is reported before anything is sent.
    std::vector<std::string> texts;
    std::wstring refused;
    for (int index : selected) {
      const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
      if (length < 0) continue;
      std::wstring title(static_cast<size_t>(length) + 1, L'\0');
      title.resize(static_cast<size_t>(
          std::max<LRESULT>(0, SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(title.data())))));
      if (std::optional<std::string> text = CopyDataText(kWindowTitleTag, {title.begin(), title.end()}))
        texts.push_back(std::move(*text));
      else
        refused += L"\n«" + title + L"»";
    }
    if (!refused.empty()) {
      const std::wstring message =
          L"В заголовках этих окон есть знаки, которых нет в кодировке Windows-1251, "
          L"поэтому их нельзя добавить в список:\n" +
          refused + L"\n\nСнимите с них выбор.";
      MessageBoxRu(message.c_str(), MB_OK | MB_ICONWARNING);
      SetFocus(list);
      return;
    }
    HWND options = OptionsWindowOfThisThread();
    for (const std::string& text : texts) SendCopyData(options, text);
    if (options && !texts.empty()) PostMessageW(options, RegisterWindowMessageW(L"addwin"), 0, 0);
    EndModal(IDOK);
  }
};

}  // namespace

void PickWindows() {
  WindowPickerForm form;
  form.ShowModal();
}

}  // namespace companion
