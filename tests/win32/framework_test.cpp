// The Win32 backend against the real system.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/controls.h"
#include "framework/form.h"
#include "framework/menu.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"
#include "framework/win32/handles.h"
#include "framework/win32/win32_platform.h"

namespace {

std::wstring TempFile(const wchar_t* name) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  return std::wstring(dir) + name;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[4096];
  DWORD n = 0;
  ReadFile(h, buf, sizeof buf, &n, nullptr);
  CloseHandle(h);
  return std::string(buf, n);
}

struct Win32Backend : ::testing::Test {
  win32::Win32Platform platform{nullptr};
  fw::Application& app = platform.Get().app;
  fw::Os& os = platform.Get().os;
};

TEST_F(Win32Backend, LibraryCallLoadsLooksUpCallsAndUnloads) {
  auto pid = os.CallLibrary("kernel32.dll", "GetCurrentProcessId", fw::LibArg::None());
  ASSERT_TRUE(pid.has_value());
  EXPECT_EQ(*pid, GetCurrentProcessId());
  auto len = os.CallLibrary("kernel32.dll", "lstrlenW", fw::LibArg::Text("Привет"));
  ASSERT_TRUE(len.has_value());
  EXPECT_EQ(*len, 6u);  // passed as UTF-16
  EXPECT_FALSE(os.CallLibrary("no-such-library.dll", "Anything", fw::LibArg::None()).has_value());
  EXPECT_FALSE(os.CallLibrary("kernel32.dll", "NoSuchExport", fw::LibArg::None()).has_value());
  // A library that was not loaded before is gone again after the call.
  // (DwmIsCompositionEnabled writes one BOOL through its pointer: the text's buffer holds it.)
  ASSERT_EQ(GetModuleHandleW(L"dwmapi.dll"), nullptr);
  int before = win32::LiveHandles().libraries;
  EXPECT_TRUE(os.CallLibrary("dwmapi.dll", "DwmIsCompositionEnabled", fw::LibArg::Text("four")).has_value());
  EXPECT_EQ(GetModuleHandleW(L"dwmapi.dll"), nullptr);
  EXPECT_EQ(win32::LiveHandles().libraries, before);
}

TEST_F(Win32Backend, AtomicWriteReplacesWholeOrNotAtAll) {
  std::wstring path = TempFile(L"stavlo-atomic-test.ini");
  std::string utf8 = win32::Narrow(path);
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  ASSERT_TRUE(os.WriteFileAtomic(utf8, "first"));
  EXPECT_EQ(ReadAll(path), "first");
  ASSERT_TRUE(os.WriteFileAtomic(utf8, "second, longer"));
  EXPECT_EQ(ReadAll(path), "second, longer");
  EXPECT_EQ(GetFileAttributesW((path + L".new~").c_str()), INVALID_FILE_ATTRIBUTES);
  auto back = os.ReadFile(utf8, 1 << 20);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, "second, longer");
  EXPECT_FALSE(os.ReadFile(utf8, 5).has_value()) << "larger than allowed";

  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_FALSE(os.WriteFileAtomic(utf8, "third"));
  EXPECT_EQ(ReadAll(path), "second, longer");
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
  EXPECT_FALSE(os.WriteFileAtomic(win32::Narrow(TempFile(L"no-such-folder\\x.ini")), "x"));
}

TEST_F(Win32Backend, FormMirrorsItsControlsBothWays) {
  fw::Form form(app, "StavloBackendTest");
  form.SetCaption("Проверка");
  form.SetBounds({30, 40, 300, 200});
  form.AlwaysOnTop = true;
  form.AcceptFiles = true;
  form.SystemMenuOnly = true;
  form.FixedSize = true;
  fw::CheckBox check(&form, "check");
  check.SetCaption("Флажок");
  check.SetBounds({10, 10, 150, 20});
  fw::ComboBox box(&form, "box");
  box.SetItems({"один", "два"});
  box.SetBounds({10, 40, 150, 100});
  int clicks = 0;
  check.OnClick = [&] { ++clicks; };
  form.Realize();
  HWND hwnd = reinterpret_cast<HWND>(form.Handle());
  ASSERT_TRUE(IsWindow(hwnd));
  wchar_t text[64];
  GetWindowTextW(hwnd, text, 64);
  EXPECT_STREQ(text, L"Проверка");
  LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_ACCEPTFILES);
  LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  HWND checkWnd = static_cast<HWND>(check.peer);
  HWND boxWnd = static_cast<HWND>(box.peer);
  SendMessageW(checkWnd, BM_CLICK, 0, 0);
  EXPECT_TRUE(check.Checked());
  EXPECT_EQ(clicks, 1);
  check.SetChecked(false);
  EXPECT_EQ(SendMessageW(checkWnd, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  box.SetItemIndex(1);
  EXPECT_EQ(SendMessageW(boxWnd, CB_GETCURSEL, 0, 0), 1);

  form.Show();
  EXPECT_TRUE(IsWindowVisible(hwnd));
  form.DisableCloseCommand();
  UINT state = GetMenuState(GetSystemMenu(hwnd, FALSE), SC_CLOSE, MF_BYCOMMAND);
  EXPECT_TRUE(state & MF_GRAYED);
  // The close box no longer closes it.
  SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_FALSE(app.Terminated());
  form.Hide();
  EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(Win32Backend, FilterSeesRegisteredMessagesAndDelayRunsTimers) {
  fw::Form form(app, "StavloBackendTest2");
  form.Realize();
  uint32_t id = app.RegisterMessage("MIDMOUSE");
  EXPECT_EQ(id, RegisterWindowMessageW(L"MIDMOUSE"));
  int seen = 0;
  app.OnMessage = [&](const fw::Message& m, bool&) {
    if (m.msg == id) ++seen;
  };
  fw::Timer timer(app);
  int fired = 0;
  timer.SetInterval(50);
  timer.OnTimer = [&] {
    ++fired;
    timer.SetEnabled(false);
  };
  timer.SetEnabled(true);
  app.Post(form.Handle(), id, 0, 0);
  DWORD start = GetTickCount();
  app.Delay(300);
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_EQ(seen, 1);
  EXPECT_EQ(fired, 1);
}

}  // namespace

namespace {

void CALLBACK EndMenuSoon(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  EndMenu();
}

TEST_F(Win32Backend, TrayIconAndMenusKeepNoHandlesTheyNoLongerUse) {
  fw::Form owner(app, "StavloBackendTest3");
  owner.Realize();
  app.MainForm = &owner;
  fw::ImageList images;
  fw::Image dot;
  for (int i = 0; i < 16; ++i) dot.At(i, i) = 0xFF204080;
  images.Add(dot);
  images.Add(dot);
  const int before = win32::LiveHandles().Total();
  {
    fw::TrayIcon tray(app);
    tray.Images = &images;
    tray.SetHint("Stavlo");
    tray.SetVisible(true);
    for (int i = 0; i < 50; ++i) tray.SetImageIndex(i % 2);
    EXPECT_EQ(win32::LiveHandles().icons, 1) << "one icon for the tray at a time";
    tray.ShowBalloon({"Stavlo", "Проверка", fw::BalloonIcon::Info, 10});
    tray.HideBalloon();
  }
  EXPECT_EQ(win32::LiveHandles().Total(), before);

  fw::PopupMenu menu(app);
  menu.Images = &images;
  menu.Items.Add(" Первый").ImageIndex = 0;
  menu.Items.AddSeparator();
  fw::MenuItem& group = menu.Items.Add(" Группа");
  group.Add(" Вложенный").ImageIndex = 1;
  // Leave the modal menu from inside it, as a user's Escape would.
  for (int round = 0; round < 3; ++round) {
    SetTimer(nullptr, 0, 150, &EndMenuSoon);
    menu.Popup({100, 100});
  }
  EXPECT_EQ(win32::LiveHandles().Total(), before);
  app.MainForm = nullptr;
}

}  // namespace
