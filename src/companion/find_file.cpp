// A small file search window. The search runs on this thread (the library has
// no other) and keeps the window alive by running waiting messages as it goes.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "companion/forms.h"
#include "companion/ui.h"
#include "companion/wildcard.h"

namespace companion {
namespace {

enum : int {
  kFolderLabel = 101,
  kFolder,
  kBrowse,
  kMaskLabel,
  kMask,
  kFind,
  kStop,
  kResults,
  kStatus,
};

constexpr size_t kMaxResults = 10000;
constexpr DWORD kPumpEveryMs = 40;

std::u16string ToU16(const std::wstring& s) { return std::u16string(s.begin(), s.end()); }

std::wstring Upper(std::wstring s) {
  if (!s.empty()) CharUpperBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

std::wstring Trimmed(std::wstring s) {
  const auto first = s.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return {};
  return s.substr(first, s.find_last_not_of(L" \t") - first + 1);
}

std::wstring SystemDriveRoot() {
  wchar_t windows[MAX_PATH] = {};
  const UINT n = GetSystemWindowsDirectoryW(windows, MAX_PATH);
  if (n >= 2 && n < MAX_PATH && windows[1] == L':') return std::wstring(windows, 2) + L"\\";
  return L"C:\\";
}

class FindHandle {
 public:
  explicit FindHandle(HANDLE h) : h_(h) {}
  ~FindHandle() {
    if (h_ != INVALID_HANDLE_VALUE) FindClose(h_);
  }
  FindHandle(const FindHandle&) = delete;
  FindHandle& operator=(const FindHandle&) = delete;
  bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

int CALLBACK BrowseCallback(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
  if (msg == BFFM_INITIALIZED && data) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
  return 0;
}

class FindFileForm : public Form {
 public:
  FindFileForm() : Form(Args()) {}

 private:
  static FormArgs Args() {
    FormArgs args;
    args.className = L"StavloFindFile";
    args.title = L"Поиск файлов";
    args.clientWidth = 580;
    args.clientHeight = 420;
    args.style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
    args.exStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
    return args;
  }

  void OnCreate() override {
    defaultButton = kFind;
    SetMinTrackSize(440, 260);
    // Created in tab order.
    AddControl(L"STATIC", L"&Папка:", SS_LEFT, 0, 0, 10, 10, kFolderLabel);
    AddControl(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 0, 0, 10, 10, kFolder,
               WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"&Обзор…", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, kBrowse);
    AddControl(L"STATIC", L"&Имя файла:", SS_LEFT, 0, 0, 10, 10, kMaskLabel);
    AddControl(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP, 0, 0, 10, 10, kMask, WS_EX_CLIENTEDGE);
    AddControl(L"BUTTON", L"&Найти", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, kFind);
    AddControl(L"BUTTON", L"&Стоп", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 0, 0, 10, 10, kStop);
    AddControl(L"LISTBOX", L"",
               LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP, 0, 0, 10,
               10, kResults, WS_EX_CLIENTEDGE);
    AddControl(L"STATIC", L"Укажите папку и имя файла (можно с * и ?, несколько через «;») и нажмите «Найти».",
               SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 0, 0, 10, 10, kStatus);
    AddControl(L"BUTTON", L"Закрыть", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 10, 10, IDCANCEL);
    RECT client;
    GetClientRect(hwnd(), &client);
    OnResize(client.right, client.bottom);
    // Texts go in once the edits have their width, or they open scrolled.
    SetWindowTextW(Item(kFolder), SystemDriveRoot().c_str());
    SetWindowTextW(Item(kMask), L"*.*");
    SendMessageW(Item(kMask), EM_SETSEL, 0, -1);
    focusOnShow = Item(kMask);
  }

  void OnResize(int width, int height) override {
    const int m = Px(12), gap = Px(8), labelW = Px(76), buttonW = Px(96), editH = Px(23), buttonH = Px(26);
    const int x = m + labelW;
    int y = m;
    Move(kFolderLabel, m, y + Px(4), labelW, editH);
    Move(kBrowse, width - m - buttonW, y - Px(1), buttonW, buttonH);
    Move(kFolder, x, y, std::max(Px(40), width - m - buttonW - gap - x), editH);
    y += buttonH + gap;
    Move(kMaskLabel, m, y + Px(4), labelW, editH);
    Move(kStop, width - m - buttonW, y - Px(1), buttonW, buttonH);
    Move(kFind, width - m - 2 * buttonW - gap, y - Px(1), buttonW, buttonH);
    Move(kMask, x, y, std::max(Px(40), width - m - 2 * buttonW - 2 * gap - x), editH);
    y += buttonH + gap + Px(2);
    const int bottom = height - m - buttonH;
    Move(kResults, m, y, width - 2 * m, std::max(Px(40), bottom - gap - y));
    Move(kStatus, m, bottom + Px(6), std::max(Px(40), width - 2 * m - buttonW - gap), editH);
    Move(IDCANCEL, width - m - buttonW, bottom, buttonW, buttonH);
  }

  bool PreTranslate(MSG& msg) override {
    // Enter on a result opens it, as a double click does.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && msg.hwnd == Item(kResults)) {
      OpenSelected();
      return true;
    }
    return false;
  }

  void OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case kFind:
        if (code == BN_CLICKED && !searching_) Search();
        return;
      case kStop:
        if (code == BN_CLICKED) stopRequested_ = true;
        return;
      case kBrowse:
        if (code == BN_CLICKED && !searching_) Browse();
        return;
      case kResults:
        if (code == LBN_DBLCLK) OpenSelected();
        return;
      default:
        // Closing during a search ends it: the search loop sees the form end.
        Form::OnCommand(id, code, control);
    }
  }

  void SetStatus(const std::wstring& text) { SetWindowTextW(Item(kStatus), text.c_str()); }

  void SetSearching(bool on) {
    searching_ = on;
    for (int id : {kFolder, kBrowse, kMask, kFind}) EnableWindow(Item(id), !on);
    EnableWindow(Item(kStop), on);
    // The default button follows: Enter stops a running search.
    defaultButton = on ? kStop : kFind;
    SendMessageW(Item(kFind), BM_SETSTYLE, on ? BS_PUSHBUTTON : BS_DEFPUSHBUTTON, TRUE);
    SendMessageW(Item(kStop), BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    SetFocus(Item(on ? kStop : kMask));
  }

  void Search() {
    std::wstring folder = Trimmed(WindowText(Item(kFolder)));
    if (folder.empty()) {
      MessageBoxRu(L"Укажите папку, в которой искать.", MB_OK | MB_ICONINFORMATION);
      SetFocus(Item(kFolder));
      return;
    }
    if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      const std::wstring text = L"Папка не найдена:\n" + folder;
      MessageBoxRu(text.c_str(), MB_OK | MB_ICONWARNING);
      SetFocus(Item(kFolder));
      return;
    }
    std::vector<std::u16string> masks = SplitMasks(ToU16(Upper(WindowText(Item(kMask)))));

    HWND list = Item(kResults);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
    stopRequested_ = false;
    SetSearching(true);

    HDC dc = GetDC(list);
    HGDIOBJ oldFont = dc ? SelectObject(dc, font()) : nullptr;
    int widest = 0;
    size_t found = 0;
    bool capped = false, cut = false;
    DWORD lastPump = GetTickCount();
    std::vector<std::wstring> pending{folder};

    // Adding to a list that repaints itself each time costs milliseconds a
    // line, so the list is redrawn only when the waiting messages run.
    auto showProgress = [&](bool on) {
      SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + Px(8), 0);
      SendMessageW(list, WM_SETREDRAW, on, 0);
      if (on) InvalidateRect(list, nullptr, TRUE);
    };
    auto keepGoing = [&](const std::wstring& where) {
      if (GetTickCount() - lastPump < kPumpEveryMs) return true;
      SetStatus(L"Поиск: " + where);
      showProgress(true);
      const bool alive = PumpWaiting();
      if (alive) showProgress(false);
      lastPump = GetTickCount();
      return alive && !stopRequested_;
    };
    showProgress(false);

    while (!pending.empty() && !cut) {
      const std::wstring dir = std::move(pending.back());
      pending.pop_back();
      WIN32_FIND_DATAW data;
      FindHandle find(FindFirstFileExW((dir + L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
      std::vector<std::wstring> subdirs;
      if (find.ok()) {
        do {
          const std::wstring name = data.cFileName;
          if (name == L"." || name == L"..") continue;
          if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // Junctions and links would lead in circles (or out of the folder).
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subdirs.push_back(dir + name + L"\\");
            continue;
          }
          if (MatchAnyMask(ToU16(Upper(name)), masks)) {
            if (found == kMaxResults) {
              capped = cut = true;
              break;
            }
            const std::wstring path = dir + name;
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path.c_str()));
            ++found;
            SIZE size{};
            if (dc && GetTextExtentPoint32W(dc, path.c_str(), static_cast<int>(path.size()), &size))
              widest = std::max(widest, static_cast<int>(size.cx));
          }
          if (!keepGoing(dir)) {
            cut = true;
            break;
          }
        } while (FindNextFileW(find.get(), &data));
      }
      if (!cut && !keepGoing(dir)) cut = true;
      // Reversed onto the stack, so folders are searched in their listed order.
      pending.insert(pending.end(), subdirs.rbegin(), subdirs.rend());
    }
    if (dc) {
      SelectObject(dc, oldFont);
      ReleaseDC(list, dc);
    }
    if (!hwnd()) return;  // destroyed while we were running its messages
    showProgress(true);
    SetSearching(false);
    std::wstring status;
    if (capped)
      status = L"Найдено больше " + std::to_wstring(kMaxResults) + L" файлов, показаны первые " +
               std::to_wstring(kMaxResults) + L". Уточните имя файла.";
    else if (cut)
      status = L"Поиск остановлен. Найдено файлов: " + std::to_wstring(found) + L".";
    else
      status = L"Найдено файлов: " + std::to_wstring(found) + L".";
    SetStatus(status);
    if (found) {
      SendMessageW(list, LB_SETCURSEL, 0, 0);
      SetFocus(list);
    }
  }

  void OpenSelected() {
    HWND list = Item(kResults);
    const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return;
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length <= 0) return;
    std::wstring path(static_cast<size_t>(length) + 1, L'\0');
    path.resize(static_cast<size_t>(SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(path.data()))));
    const std::wstring dir = path.substr(0, path.find_last_of(L'\\') + 1);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOASYNC;  // the system explains a failure itself
    info.hwnd = hwnd();
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.lpDirectory = dir.c_str();
    info.nShow = SW_SHOWNORMAL;
    ShellExecuteExW(&info);
  }

  void Browse() {
    std::wstring current = Trimmed(WindowText(Item(kFolder)));
    BROWSEINFOW info{};
    info.hwndOwner = hwnd();
    info.lpszTitle = L"Выберите папку для поиска:";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(current.c_str());
    PIDLIST_ABSOLUTE pidl = SHBrowseForFolderW(&info);
    if (!pidl) return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(pidl, path)) SetWindowTextW(Item(kFolder), path);
    CoTaskMemFree(pidl);
  }

  bool searching_ = false;
  bool stopRequested_ = false;
};

}  // namespace

void ShowFindFile() {
  // The folder dialog and ShellExecute want COM on this thread.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  {
    FindFileForm form;
    form.ShowModal();
  }
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace companion
