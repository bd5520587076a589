// Forms and their controls over real windows.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/controls.h"
#include "framework/form.h"
#include "framework/image_list.h"
#include "framework/menu.h"
#include "framework/tree_view.h"
#include "framework/win32/handles.h"
#include "framework/win32/images.h"
#include "framework/win32/win32_application.h"
#include "framework/win32/win32_platform.h"

namespace win32 {

struct FormPeer {
  Win32Application* app = nullptr;
  fw::Form* form = nullptr;
  HWND hwnd = nullptr;
  std::map<int, fw::Control*> controlsById;
  std::map<fw::Control*, HWND> windows;
  std::map<UINT, fw::MenuItem*> menuItems;
  std::map<std::pair<const fw::ImageList*, int>, Icon> icons;
  uint64_t iconsGeneration = 0;
  Font font, headerFont;
  Brush tabBodyBrush;
  Icon windowIcon;
  COLORREF tabBodyColor = 0;
  bool fromWindow = false;  // the model is being updated from the window
  int nextId = 100;
};

namespace {

constexpr UINT kFirstMenuBarId = 40000;

// Shows the model's nodes in the tree control, replacing what it showed.
void FillTree(HWND tree, const fw::TreeNode& root) {
  SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  struct Pending {
    const fw::TreeNode* node;
    HTREEITEM parent;
  };
  std::vector<Pending> stack;
  for (int i = root.Count() - 1; i >= 0; --i) stack.push_back({&root.Item(i), TVI_ROOT});
  std::vector<HTREEITEM> expand;
  while (!stack.empty()) {
    Pending p = stack.back();
    stack.pop_back();
    std::wstring text = Wide(p.node->Text);
    TVINSERTSTRUCTW ins{};
    ins.hParent = p.parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_STATE;
    ins.item.pszText = text.data();
    ins.item.stateMask = TVIS_STATEIMAGEMASK;
    ins.item.state = INDEXTOSTATEIMAGEMASK(p.node->CheckboxType == 0 ? 0 : p.node->Checked ? 2 : 1);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    if (p.node->Expanded) expand.push_back(item);
    for (int i = p.node->Count() - 1; i >= 0; --i) stack.push_back({&p.node->Item(i), item});
  }
  for (HTREEITEM item : expand) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
}

POINT ClientOrigin(const fw::Control& c) {
  POINT p{0, 0};
  for (const fw::Control* k = &c; k && k->Kind() != fw::ControlKind::Form; k = k->Parent()) {
    p.x += k->Bounds().left;
    p.y += k->Bounds().top;
  }
  return p;
}

bool EffectivelyVisible(const fw::Control& c) {
  for (const fw::Control* k = &c; k && k->Kind() != fw::ControlKind::Form; k = k->Parent())
    if (!k->Visible()) return false;
  return true;
}

FormPeer* PeerOf(fw::Control& c) {
  fw::Form* form = c.OwnerForm();
  return form ? static_cast<FormPeer*>(form->peer) : nullptr;
}

void BuildMenuBar(FormPeer& peer, HMENU hmenu, fw::MenuItem& parent, UINT& nextId) {
  for (int i = 0; i < parent.Count(); ++i) {
    fw::MenuItem& item = parent.Item(i);
    if (item.IsSeparator()) {
      AppendMenuW(hmenu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    std::wstring text = Wide(item.Caption);
    if (!item.ShortCut.empty()) text += L"\t" + Wide(item.ShortCut);
    if (item.Count() > 0) {
      HMENU sub = CreatePopupMenu();
      BuildMenuBar(peer, sub, item, nextId);
      AppendMenuW(hmenu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
    } else {
      UINT id = nextId++;
      peer.menuItems[id] = &item;
      AppendMenuW(hmenu, MF_STRING | (item.Enabled ? 0 : MF_GRAYED), id, text.c_str());
    }
  }
}

HICON IconFor(FormPeer& peer, const fw::ImageList* images, int index) {
  if (!images || !images->Get(index)) return nullptr;
  if (peer.iconsGeneration != images->Generation()) {
    peer.icons.clear();
    peer.iconsGeneration = images->Generation();
  }
  auto key = std::make_pair(images, index);
  auto it = peer.icons.find(key);
  if (it == peer.icons.end()) it = peer.icons.emplace(key, MakeIcon(*images->Get(index))).first;
  return it->second.Get();
}

// The title band of a page: a vertical gradient from black to the button face,
// a grooved frame, and the title in white bold with a grey shadow.
void DrawHeader(FormPeer& peer, const DRAWITEMSTRUCT& di, const std::wstring& text) {
  RECT r = di.rcItem;
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  TRIVERTEX v[2] = {{r.left, r.top, 0, 0, 0, 0},
                    {r.right, r.bottom, static_cast<COLOR16>(GetRValue(face) << 8),
                     static_cast<COLOR16>(GetGValue(face) << 8),
                     static_cast<COLOR16>(GetBValue(face) << 8), 0}};
  GRADIENT_RECT gr{0, 1};
  GradientFill(di.hDC, v, 2, &gr, 1, GRADIENT_FILL_RECT_V);
  RECT frame = r;
  DrawEdge(di.hDC, &frame, EDGE_ETCHED, BF_RECT);
  HGDIOBJ old = SelectObject(di.hDC, peer.headerFont.Get());
  SetBkMode(di.hDC, TRANSPARENT);
  RECT t = r;
  t.left += 12;
  OffsetRect(&t, 1, 1);
  SetTextColor(di.hDC, RGB(128, 128, 128));
  DrawTextW(di.hDC, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  OffsetRect(&t, -1, -1);
  SetTextColor(di.hDC, RGB(255, 255, 255));
  DrawTextW(di.hDC, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SelectObject(di.hDC, old);
}

void DrawListItem(FormPeer& peer, const DRAWITEMSTRUCT& di, fw::ListBox& list) {
  if (di.itemID == static_cast<UINT>(-1)) return;
  const auto& items = list.Items();
  if (di.itemID >= items.size()) return;
  bool selected = (di.itemState & ODS_SELECTED) != 0;
  FillRect(di.hDC, &di.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  HICON icon = IconFor(peer, list.Images, items[di.itemID].imageIndex);
  int h = di.rcItem.bottom - di.rcItem.top;
  if (icon) DrawIconEx(di.hDC, di.rcItem.left + 4, di.rcItem.top + (h - 16) / 2, icon, 16, 16, 0, nullptr, DI_NORMAL);
  RECT t = di.rcItem;
  t.left += 26;
  SetBkMode(di.hDC, TRANSPARENT);
  SetTextColor(di.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  std::wstring text = Wide(items[di.itemID].text);
  DrawTextW(di.hDC, text.c_str(), -1, &t, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (di.itemState & ODS_FOCUS) DrawFocusRect(di.hDC, &di.rcItem);
}

}  // namespace

void Win32Application::RealizeForm(fw::Form& form) {
  auto peer = std::make_unique<FormPeer>();
  peer->app = this;
  peer->form = &form;
  std::wstring cls = Wide(form.ClassName());
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  if (!GetClassInfoExW(GetModuleHandleW(nullptr), cls.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Win32Application::FormProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = cls.c_str();
    RegisterClassExW(&wc);
  }
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof(ncm);
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0);
  peer->font = Font(CreateFontIndirectW(&ncm.lfMessageFont));
  LOGFONTW header = ncm.lfMessageFont;
  header.lfWeight = FW_BOLD;
  header.lfHeight = -13;
  lstrcpynW(header.lfFaceName, L"Tahoma", LF_FACESIZE);
  peer->headerFont = Font(CreateFontIndirectW(&header));

  DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  if (!form.SystemMenuOnly) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
  if (!form.FixedSize) style |= WS_THICKFRAME;
  DWORD exStyle = WS_EX_CONTROLPARENT;
  if (form.AlwaysOnTop) exStyle |= WS_EX_TOPMOST;
  if (form.AcceptFiles) exStyle |= WS_EX_ACCEPTFILES;

  HMENU bar = nullptr;
  if (form.MainMenu.Count() > 0) {
    bar = CreateMenu();
    UINT id = kFirstMenuBarId;
    BuildMenuBar(*peer, bar, form.MainMenu, id);
  }
  const fw::Rect& b = form.Bounds();
  FormPeer* raw = peer.get();
  form.peer = peer.release();
  // The window owns the menu bar from here on and destroys it with itself.
  HWND hwnd = CreateWindowExW(exStyle, cls.c_str(), Wide(form.Caption()).c_str(), style, b.left,
                              b.top, b.width, b.height, nullptr, bar, GetModuleHandleW(nullptr), raw);
  raw->hwnd = hwnd;
  form.SetHandle(reinterpret_cast<uintptr_t>(hwnd));
  if (form.Icon) {
    raw->windowIcon = MakeIcon(*form.Icon);
    SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(raw->windowIcon.Get()));
    SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(raw->windowIcon.Get()));
  }
  CreateControls(*raw, form);
  // Frames go under the controls they frame.
  for (auto& [control, child] : raw->windows)
    if (control->Kind() == fw::ControlKind::GroupBox || control->Kind() == fw::ControlKind::TabControl)
      SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Sync(*raw, form);
}

void Win32Application::CreateControls(FormPeer& peer, fw::Control& parent) {
  for (fw::Control* c : parent.Children()) {
    const wchar_t* cls = nullptr;
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
    switch (c->Kind()) {
      case fw::ControlKind::Panel: break;  // groups its children only
      case fw::ControlKind::GroupBox: cls = L"BUTTON"; style |= BS_GROUPBOX; break;
      case fw::ControlKind::Label:
        cls = L"STATIC";
        style |= static_cast<fw::Label*>(c)->Header ? SS_OWNERDRAW : SS_LEFT | SS_NOPREFIX;
        break;
      case fw::ControlKind::Button:
        cls = L"BUTTON";
        style |= WS_TABSTOP | (static_cast<fw::Button*>(c)->Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
      case fw::ControlKind::CheckBox: cls = L"BUTTON"; style |= WS_TABSTOP | BS_AUTOCHECKBOX; break;
      case fw::ControlKind::ComboBox: cls = L"COMBOBOX"; style |= CBS_DROPDOWNLIST | WS_VSCROLL; break;
      case fw::ControlKind::Edit: {
        auto* e = static_cast<fw::Edit*>(c);
        cls = L"EDIT";
        style |= WS_TABSTOP | ES_AUTOHSCROLL;
        if (e->MultiLine) style |= ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL;
        if (e->ReadOnly) style |= ES_READONLY;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      }
      case fw::ControlKind::ListBox:
        cls = L"LISTBOX";
        style |= WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case fw::ControlKind::TabControl: cls = WC_TABCONTROLW; style |= WS_TABSTOP | WS_CLIPSIBLINGS; break;
      case fw::ControlKind::TreeView:
        cls = WC_TREEVIEWW;
        style |= WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_CHECKBOXES | TVS_SHOWSELALWAYS;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case fw::ControlKind::Form: break;
    }
    if (cls) {
      int id = peer.nextId++;
      POINT o = ClientOrigin(*c);
      HWND hwnd = CreateWindowExW(exStyle, cls, Wide(c->Caption()).c_str(), style, o.x, o.y,
                                  c->Bounds().width, c->Bounds().height, peer.hwnd,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  GetModuleHandleW(nullptr), nullptr);
      SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(peer.font.Get()), FALSE);
      peer.controlsById[id] = c;
      peer.windows[c] = hwnd;
      c->peer = hwnd;
      if (c->Kind() == fw::ControlKind::TabControl) {
        auto* tabs = static_cast<fw::TabControl*>(c);
        for (int i = 0; i < tabs->TabCount(); ++i) {
          std::wstring text = Wide(tabs->Tab(i).Caption());
          TCITEMW item{};
          item.mask = TCIF_TEXT;
          item.pszText = text.data();
          SendMessageW(hwnd, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
        }
      }
      if (c->Kind() == fw::ControlKind::ListBox) SendMessageW(hwnd, LB_SETITEMHEIGHT, 0, 22);
    }
    CreateControls(peer, *c);
  }
}

void Win32Application::Sync(FormPeer& peer, fw::Control& c) {
  if (c.Kind() == fw::ControlKind::Form) {
    auto& form = static_cast<fw::Form&>(c);
    SetWindowTextW(peer.hwnd, Wide(form.Caption()).c_str());
    if (!peer.fromWindow) {
      const fw::Rect& b = form.Bounds();
      SetWindowPos(peer.hwnd, nullptr, b.left, b.top, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    bool shown = IsWindowVisible(peer.hwnd) != FALSE;
    if (form.Visible() && !shown)
      ShowWindow(peer.hwnd, IsIconic(peer.hwnd) ? SW_RESTORE : SW_SHOW);
    else if (!form.Visible() && shown)
      ShowWindow(peer.hwnd, SW_HIDE);
    EnableWindow(peer.hwnd, form.Enabled());
    for (fw::Control* child : c.Children()) Sync(peer, *child);
    return;
  }
  auto it = peer.windows.find(&c);
  if (it != peer.windows.end() && !peer.fromWindow) {
    HWND hwnd = it->second;
    POINT o = ClientOrigin(c);
    SetWindowPos(hwnd, nullptr, o.x, o.y, c.Bounds().width, c.Bounds().height, SWP_NOZORDER | SWP_NOACTIVATE);
    std::wstring text = Wide(c.Caption());
    wchar_t current[1024] = L"";
    GetWindowTextW(hwnd, current, 1024);
    if (c.Kind() != fw::ControlKind::ComboBox && c.Kind() != fw::ControlKind::ListBox && text != current)
      SetWindowTextW(hwnd, text.c_str());
    EnableWindow(hwnd, c.Enabled());
    switch (c.Kind()) {
      case fw::ControlKind::CheckBox:
        SendMessageW(hwnd, BM_SETCHECK, static_cast<fw::CheckBox&>(c).Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case fw::ControlKind::ComboBox: {
        auto& box = static_cast<fw::ComboBox&>(c);
        if (SendMessageW(hwnd, CB_GETCOUNT, 0, 0) != static_cast<LRESULT>(box.Items().size())) {
          SendMessageW(hwnd, CB_RESETCONTENT, 0, 0);
          for (const auto& item : box.Items())
            SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
        }
        SendMessageW(hwnd, CB_SETCURSEL, box.ItemIndex(), 0);
        break;
      }
      case fw::ControlKind::ListBox: {
        auto& list = static_cast<fw::ListBox&>(c);
        if (SendMessageW(hwnd, LB_GETCOUNT, 0, 0) != static_cast<LRESULT>(list.Items().size())) {
          SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
          for (const auto& item : list.Items())
            SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item.text).c_str()));
        }
        SendMessageW(hwnd, LB_SETCURSEL, list.ItemIndex(), 0);
        break;
      }
      case fw::ControlKind::TabControl:
        SendMessageW(hwnd, TCM_SETCURSEL, static_cast<fw::TabControl&>(c).TabIndex(), 0);
        break;
      case fw::ControlKind::TreeView:
        FillTree(hwnd, static_cast<fw::TreeView&>(c).Items());
        break;
      default: break;
    }
    ShowWindow(hwnd, EffectivelyVisible(c) ? SW_SHOWNA : SW_HIDE);
  }
  // A panel's visibility is its children's.
  for (fw::Control* child : c.Children()) Sync(peer, *child);
}

void Win32Application::ControlChanged(fw::Control& control) {
  if (FormPeer* peer = PeerOf(control)) Sync(*peer, control);
}

void Win32Application::DestroyForm(fw::Form& form) {
  auto* peer = static_cast<FormPeer*>(form.peer);
  if (!peer) return;
  if (peer->hwnd && IsWindow(peer->hwnd)) DestroyWindow(peer->hwnd);
  form.peer = nullptr;
  delete peer;
}

void Win32Application::FocusControl(fw::Control& control) {
  if (auto* hwnd = static_cast<HWND>(control.peer)) SetFocus(hwnd);
}

bool Win32Application::IsFocused(const fw::Control& control) const {
  return control.peer && GetFocus() == static_cast<HWND>(control.peer);
}

void Win32Application::DisableCloseCommand(fw::Form& form) {
  auto* peer = static_cast<FormPeer*>(form.peer);
  if (!peer) return;
  EnableMenuItem(GetSystemMenu(peer->hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

void Win32Application::BringToForeground(fw::Form& form) {
  if (auto* peer = static_cast<FormPeer*>(form.peer)) SetForegroundWindow(peer->hwnd);
}

void Win32Application::MinimizeForm(fw::Form& form) {
  if (auto* peer = static_cast<FormPeer*>(form.peer)) SendMessageW(peer->hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

LRESULT CALLBACK Win32Application::FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* peer = reinterpret_cast<FormPeer*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    if (peer) peer->hwnd = nullptr;
  }
  if (!peer || !peer->hwnd) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    return peer->app->FormMessage(*peer, msg, wp, lp);
  } catch (...) {
    peer->app->ReportException();
    return 0;
  }
}

LRESULT Win32Application::FormMessage(FormPeer& peer, UINT msg, WPARAM wp, LPARAM lp) {
  fw::Form& form = *peer.form;
  fw::WindowMessage wm;
  wm.message = {reinterpret_cast<uintptr_t>(peer.hwnd), msg, wp, lp};
  bool handled = false;
  auto tell = [&] {
    if (form.OnWindowMessage) form.OnWindowMessage(wm, handled);
  };
  switch (msg) {
    case WM_COMMAND: {
      UINT id = LOWORD(wp), code = HIWORD(wp);
      if (lp == 0) {
        auto it = peer.menuItems.find(id);
        if (it != peer.menuItems.end()) {
          it->second->Click();
          return 0;
        }
      }
      if (id == IDOK || id == IDCANCEL) {
        // Enter presses the default button; Escape does what OK does too, as the
        // window has no cancel.
        for (auto& [c, h] : peer.windows)
          if (c->Kind() == fw::ControlKind::Button && static_cast<fw::Button*>(c)->Default && id == IDOK)
            static_cast<fw::Button*>(c)->Click();
        return 0;
      }
      auto it = peer.controlsById.find(id);
      if (it == peer.controlsById.end()) break;
      fw::Control* c = it->second;
      HWND child = reinterpret_cast<HWND>(lp);
      switch (c->Kind()) {
        case fw::ControlKind::Button:
          if (code == BN_CLICKED) static_cast<fw::Button*>(c)->Click();
          return 0;
        case fw::ControlKind::CheckBox:
          if (code == BN_CLICKED) {
            auto* box = static_cast<fw::CheckBox*>(c);
            bool now = SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED;
            if (now != box->Checked()) box->ClickFromUser();
          }
          return 0;
        case fw::ControlKind::ComboBox:
          if (code == CBN_SELCHANGE)
            static_cast<fw::ComboBox*>(c)->SelectFromUser(static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
          return 0;
        case fw::ControlKind::ListBox:
          if (code == LBN_SELCHANGE)
            static_cast<fw::ListBox*>(c)->ClickFromUser(static_cast<int>(SendMessageW(child, LB_GETCURSEL, 0, 0)));
          return 0;
        case fw::ControlKind::Edit:
          if (code == EN_CHANGE) {
            int n = GetWindowTextLengthW(child);
            std::wstring text(static_cast<size_t>(n) + 1, L'\0');
            GetWindowTextW(child, text.data(), n + 1);
            text.resize(static_cast<size_t>(n));
            peer.fromWindow = true;
            c->SetCaption(Narrow(text));
            peer.fromWindow = false;
          }
          return 0;
        default: break;
      }
      break;
    }
    case WM_NOTIFY: {
      auto* hdr = reinterpret_cast<NMHDR*>(lp);
      auto it = peer.controlsById.find(static_cast<int>(hdr->idFrom));
      if (it != peer.controlsById.end() && it->second->Kind() == fw::ControlKind::TabControl &&
          hdr->code == TCN_SELCHANGE) {
        static_cast<fw::TabControl*>(it->second)->SetTabIndex(static_cast<int>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* di = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      auto it = peer.controlsById.find(static_cast<int>(di->CtlID));
      if (it == peer.controlsById.end()) break;
      if (it->second->Kind() == fw::ControlKind::Label) DrawHeader(peer, *di, Wide(it->second->Caption()));
      if (it->second->Kind() == fw::ControlKind::ListBox) DrawListItem(peer, *di, *static_cast<fw::ListBox*>(it->second));
      return TRUE;
    }
    case WM_CTLCOLORSTATIC: {
      // Controls on a tab page take the page's colour, which the theme may
      // paint lighter than the window's.
      auto it = peer.controlsById.find(GetDlgCtrlID(reinterpret_cast<HWND>(lp)));
      if (it == peer.controlsById.end()) break;
      const fw::Control* tabs = it->second->Parent();
      while (tabs && tabs->Kind() != fw::ControlKind::TabControl) tabs = tabs->Parent();
      if (!tabs || !tabs->peer) break;
      if (!peer.tabBodyBrush) {
        HWND tab = static_cast<HWND>(tabs->peer);
        RECT rc;
        GetClientRect(tab, &rc);
        HDC screen = GetDC(tab);
        HDC mem = CreateCompatibleDC(screen);
        Bitmap bmp(CreateCompatibleBitmap(screen, rc.right, rc.bottom));
        HGDIOBJ old = SelectObject(mem, bmp.Get());
        FillRect(mem, &rc, GetSysColorBrush(COLOR_BTNFACE));
        SendMessageW(tab, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
        peer.tabBodyColor = GetPixel(mem, rc.right / 2, rc.bottom - 8);
        SelectObject(mem, old);
        DeleteDC(mem);
        ReleaseDC(tab, screen);
        peer.tabBodyBrush = Brush(CreateSolidBrush(peer.tabBodyColor));
      }
      SetBkColor(reinterpret_cast<HDC>(wp), peer.tabBodyColor);
      return reinterpret_cast<LRESULT>(peer.tabBodyBrush.Get());
    }
    case WM_MOVE: {
      RECT r;
      GetWindowRect(peer.hwnd, &r);
      if (!IsIconic(peer.hwnd)) {
        peer.fromWindow = true;
        form.SetBounds({r.left, r.top, r.right - r.left, r.bottom - r.top});
        peer.fromWindow = false;
      }
      break;
    }
    case WM_QUERYENDSESSION:
      peer.app->FilterSent(peer.hwnd, msg, wp, lp);
      return TRUE;
    case WM_CLOSE:
      // Closing is the model's business; the window lives until the form goes.
      if (!form.CloseCommandDisabled()) form.Close();
      return 0;
    case WM_SYSCOMMAND: {
      if ((wp & 0xFFF0) == SC_CLOSE && form.CloseCommandDisabled()) return 0;
      // The usual handling first; the form hears of the command afterwards.
      LRESULT r = DefWindowProcW(peer.hwnd, msg, wp, lp);
      tell();
      return r;
    }
    case WM_COPYDATA: {
      auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
      if (cds && cds->lpData && cds->cbData > 0) {
        // Never trust the sender's count beyond a sane size.
        size_t n = std::min<size_t>(cds->cbData, 64 * 1024);
        wm.copyData.assign(static_cast<const char*>(cds->lpData), n);
        wm.hasCopyData = true;
      }
      tell();
      return TRUE;
    }
    case WM_DROPFILES: {
      HDROP drop = reinterpret_cast<HDROP>(wp);
      UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
      for (UINT i = 0; i < count; ++i) {
        UINT n = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(n + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), n + 1);
        path.resize(n);
        wm.droppedFiles.push_back(Narrow(path));
      }
      DragFinish(drop);
      tell();
      return 0;
    }
    default:
      if (msg >= 0xC000 && msg <= 0xFFFF) {
        tell();
        if (handled) return wm.result;
      }
      break;
  }
  return DefWindowProcW(peer.hwnd, msg, wp, lp);
}

}  // namespace win32
