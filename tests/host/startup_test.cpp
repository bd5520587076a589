// Start-up, the deferred start-up step, showing, hiding, OK and exit.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "main/menu/themes.h"

using fw::MsgResult;

namespace {

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class Startup : public ::testing::Test, public AppFixture {};

TEST_F(Startup, FromAnEmptyFolderShowsSplashAndWhatsNewOnceAndUsesDefaults) {
  TMainForm& f = Start();
  EXPECT_EQ(os.CalledExports(), (std::vector<std::string>{"ShowZastForm", "CheckAutorun", "ShowNewForm"}));
  EXPECT_EQ(os.hookCalls, std::vector<int>{1});
  EXPECT_TRUE(Contains(Ini(), "[View]")) << Ini();
  EXPECT_TRUE(Contains(Ini(), "WhatsNew=No")) << Ini();
  EXPECT_EQ(f.HotkeyBox.ItemIndex(), 1);  // Ctrl + left button
  EXPECT_EQ(f.ThemeBox.ItemIndex(), 0);
  EXPECT_TRUE(f.HKeyCheck.Checked());
  EXPECT_TRUE(f.ThemeCheck.Checked());
  EXPECT_TRUE(f.ZastCheck.Checked());
  EXPECT_TRUE(f.ChkCheck.Checked());
  EXPECT_TRUE(f.FoldCheck.Checked());
  for (fw::CheckBox* off : {&f.ConfirmCheck, &f.TrayRMCheck, &f.PathCheck, &f.OrderCheck, &f.ExplorCheck,
                            &f.MinCheck, &f.FileCheck, &f.EmptyCheck, &f.AutorunCheck})
    EXPECT_FALSE(off->Checked()) << off->Name();
  EXPECT_EQ(f.Form.Bounds().top, 20);
  EXPECT_EQ(f.Form.Bounds().left, 20);
  EXPECT_EQ(f.ProgMenu.Module, &WhiteBlue);
  EXPECT_EQ(f.TrayIcon.ImageIndex(), 5);
  EXPECT_EQ(f.TrayIcon.Hint(), "Stavlo");
  EXPECT_TRUE(f.TrayIcon.Visible());
  EXPECT_TRUE(f.OptionsWindowShown);
  EXPECT_FALSE(f.Form.Visible());

  // A second start from the same folder: no what's-new window.
  form.reset();
  os.libraryCalls.clear();
  Start();
  EXPECT_EQ(os.CalledExports(), (std::vector<std::string>{"ShowZastForm", "CheckAutorun"}));
}

TEST_F(Startup, DeferredStepRunsOnceAfterTheTimerAndEndsWithTheMenuBuilt) {
  TMainForm& f = Start();
  const uint32_t created = app.TickCount();
  app.Advance(1799);
  EXPECT_TRUE(os.mouseEvents.empty());
  EXPECT_TRUE(f.OptionsWindowShown);
  // The step itself waits 0.3 s and 2.3 s, handling messages meanwhile: a
  // gesture then must not open the menu.
  Ini("[Menu]\r\nRun=Middle\r\n");
  app.onPopup = [&](fw::PopupMenu&) -> fw::MenuItem* {
    ADD_FAILURE() << "menu opened during start-up";
    return nullptr;
  };
  os.mouseEvents.clear();
  app.Advance(2);
  ASSERT_EQ(os.mouseEvents.size(), 1u);
  EXPECT_EQ(os.mouseEvents[0].flags, 0x0004u);
  EXPECT_EQ(os.mouseEvents[0].dx, 5000);
  EXPECT_EQ(os.mouseEvents[0].dy, 5000);
  EXPECT_GE(app.TickCount() - created, 1800u + 300 + 2300);
  EXPECT_FALSE(f.HideTimer.Enabled());
  EXPECT_FALSE(f.OptionsWindowShown);
  EXPECT_TRUE(f.Form.CloseCommandDisabled());
  ASSERT_EQ(app.balloonLog.size(), 2u);
  ASSERT_TRUE(app.balloonLog[0].has_value());
  EXPECT_EQ(app.balloonLog[0]->title, "Stavlo");
  EXPECT_EQ(app.balloonLog[0]->text, "Stavlo запущен");
  EXPECT_EQ(app.balloonLog[0]->icon, fw::BalloonIcon::Info);
  EXPECT_EQ(app.balloonLog[0]->timeoutSeconds, 10);
  EXPECT_FALSE(app.balloonLog[1].has_value());
  ASSERT_GT(f.ProgMenu.Items.Count(), 0);
  EXPECT_EQ(f.ProgMenu.Items.Item(f.ProgMenu.Items.Count() - 1).Caption, " Отмена");
  app.Advance(10000);
  EXPECT_EQ(os.mouseEvents.size(), 1u);
}

TEST_F(Startup, GestureDuringTheDeferredStepsWaitsIsIgnored) {
  Ini("[Menu]\r\nRun=Middle\r\n[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = Start();
  // Posted now, handled inside the step's first wait.
  f.HideTimer.OnTimer = [&] {
    Post("MIDMOUSE");
    f.HideTimerTimer();
  };
  app.Advance(1801);
  EXPECT_GE(app.filtered.size(), 1u);
  EXPECT_TRUE(app.popups.empty());
  Post("MIDMOUSE");
  app.ProcessMessages();
  EXPECT_EQ(app.popups.size(), 1u);
}

TEST_F(Startup, OptionsWindowOpenedDuringStartUpIsHiddenByTheDeferredStep) {
  TMainForm& f = Start();
  f.TrayIcon.OnDblClick();
  EXPECT_TRUE(f.Form.Visible());
  app.Advance(1801);
  EXPECT_FALSE(f.Form.Visible());
}

TEST_F(Startup, WithoutTheCompanionLibraryStartsSilentlyAndStillMarksWhatsNewSeen) {
  headless::Os bare;
  fw::Platform p{app, dialogs, bare};
  TMainForm f(p);
  app.Advance(5000);
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(bare.hookCalls, std::vector<int>{1});
  EXPECT_TRUE(Contains(bare.FileBytes(Path("stavlo.ini")).value_or(""), "WhatsNew=No"));
  EXPECT_FALSE(f.AutorunCheck.Checked());
}

TEST_F(Startup, SplashOffSkipsItButNotTheHook) {
  Ini("[View]\r\nLogo=No\r\nWhatsNew=No\r\n");
  Start();
  EXPECT_EQ(os.CalledExports(), std::vector<std::string>{"CheckAutorun"});
  EXPECT_EQ(os.hookCalls, std::vector<int>{1});
}

TEST_F(Startup, AutorunBoxFollowsTheCompanionLibrary) {
  autorunAnswer = 1;
  EXPECT_TRUE(Start().AutorunCheck.Checked());
  form.reset();
  autorunAnswer = 0x101;  // only the low byte is the answer
  EXPECT_TRUE(Start().AutorunCheck.Checked());
  form.reset();
  autorunAnswer = 2;
  EXPECT_FALSE(Start().AutorunCheck.Checked());
}

struct SettingsCase {
  const char* name;
  std::string ini;
  int gesture;
  int theme;
  const fw::DrawModule* module;
  int top, left;
};

TEST_F(Startup, SettingsFileIsReadAsTheOptionsWindowShowsIt) {
  const SettingsCase cases[] = {
      {"middle", "[Menu]\r\nRun=Middle\r\n", 0, 0, &WhiteBlue, 20, 20},
      {"lower-case value selects nothing", "[Menu]\r\nRun=middle\r\n", -1, 0, &WhiteBlue, 20, 20},
      {"section and key without case", "[MENU]\r\nrun=SpaceLeft\r\n", 5, 0, &WhiteBlue, 20, 20},
      {"theme off", "[Theme]\r\nOn=No\r\nTheme=NG\r\n", 1, 2, nullptr, 20, 20},
      {"theme on in lower case counts as off", "[Theme]\r\nOn=yes\r\n", 1, 0, nullptr, 20, 20},
      {"cherry", "[Theme]\r\nTheme=CH\r\n", 1, 8, &Cherry, 20, 20},
      {"unknown theme keeps the module", "[Theme]\r\nTheme=XX\r\n", 1, -1, &WhiteBlue, 20, 20},
      {"position", "[View]\r\nWTop=140\r\nWLeft=-30\r\n", 1, 0, &WhiteBlue, 140, -30},
      {"position not a number", "[View]\r\nWTop=abc\r\nWLeft=12px\r\n[Theme]\r\nTheme=LM\r\n", 1, 6,
       &Limon, 20, 20},
      {"binary garbage", std::string("\x00\xff\xfe[\x01=\x02\n\n\x7f", 10), 1, 0, &WhiteBlue, 20, 20},
      {"empty file", "", 1, 0, &WhiteBlue, 20, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Ini(c.ini);
    TMainForm& f = Start();
    EXPECT_EQ(f.HotkeyBox.ItemIndex(), c.gesture);
    EXPECT_EQ(f.ThemeBox.ItemIndex(), c.theme);
    EXPECT_EQ(f.ProgMenu.Module, c.module);
    EXPECT_EQ(f.TrayPopupMenu.Module, c.module);
    EXPECT_EQ(f.Form.Bounds().top, c.top);
    EXPECT_EQ(f.Form.Bounds().left, c.left);
    form.reset();
  }
}

TEST_F(Startup, HugeSettingsFileGivesTheDefaults) {
  std::string huge = "[Menu]\r\nRun=Middle\r\n" + std::string(3 << 20, 'x');
  Ini(huge);
  TMainForm& f = Start();
  EXPECT_EQ(f.HotkeyBox.ItemIndex(), 1);
  // An unreadable file is not overwritten.
  EXPECT_EQ(Ini().size(), huge.size());
}

class Lifecycle : public ::testing::Test, public AppFixture {};

TEST_F(Lifecycle, OkSavesEverySettingAndHidesTheWindow) {
  Ini("");
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  EXPECT_TRUE(f.OptionsWindowShown);
  f.MinCheck.ClickFromUser();
  f.ThemeBox.SelectFromUser(5);
  f.OKBtn.Click();
  EXPECT_FALSE(f.Form.Visible());
  EXPECT_FALSE(f.OptionsWindowShown);
  const std::string ini = Ini();
  for (const char* line : {"Run=CtrlLeft", "HotKeyOn=Yes", "FolderPath=No", "ProgSecond=No", "InExplorer=No",
                           "MaWindow=Yes", "RecentDcs=No", "EmptyRecentDcs=No", "CheckLinks=Yes",
                           "HotFolders=Yes", "Theme=VL", "WTop=20", "WLeft=20", "Logo=Yes", "WhatsNew=No"})
    EXPECT_TRUE(Contains(ini, line)) << line << "\n" << ini;
  EXPECT_TRUE(Contains(ini, "[DelConfirm]\r\nOn=No")) << ini;
  EXPECT_TRUE(Contains(ini, "[MenuInTray]\r\nOn=No")) << ini;
  EXPECT_EQ(os.CalledExports().back(), "DelAutor");
}

TEST_F(Lifecycle, OkWithAutorunTickedGivesTheExecutablePath) {
  TMainForm& f = StartAndSettle();
  f.AutorunCheck.SetChecked(true);
  f.OKBtn.Click();
  ASSERT_EQ(os.libraryCalls.back().exportName, "WriteAutor");
  EXPECT_EQ(os.libraryCalls.back().arg.kind, fw::LibArg::Kind::Text);
  EXPECT_EQ(os.libraryCalls.back().arg.text, os.exePath);
}

TEST_F(Lifecycle, OkLeavesAnUnrecognisedGestureAsItWas) {
  Ini("[Menu]\r\nRun=middle\r\n");
  TMainForm& f = StartAndSettle();
  f.OKBtn.Click();
  EXPECT_TRUE(Contains(Ini(), "Run=middle")) << Ini();
}

TEST_F(Lifecycle, HidingWritesOnlyTheGestureAndTheThemeSwitch) {
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  f.HotkeyBox.SelectFromUser(0);
  f.ThemeCheck.ClickFromUser();
  f.MinCheck.ClickFromUser();
  f.Form.Hide();
  EXPECT_EQ(Ini(), "[View]\r\nWhatsNew=No\r\n[Menu]\r\nRun=Middle\r\n[Theme]\r\nOn=No\r\n");
  EXPECT_TRUE(f.MinCheck.Checked());  // in effect for this run
}

TEST_F(Lifecycle, MinimiseCommandHidesTheWindowAndWritesTheGesture) {
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  f.HotkeyBox.SelectFromUser(4);
  fw::WindowMessage restore;
  restore.message = {f.Form.Handle(), fw::kWmSysCommand, 0xF120, 0};  // SC_RESTORE: nothing
  app.SendToForm(f.Form, restore);
  EXPECT_TRUE(f.Form.Visible());
  fw::WindowMessage minimise;
  minimise.message = {f.Form.Handle(), fw::kWmSysCommand, fw::kScMinimize | 0x2, 0};
  app.SendToForm(f.Form, minimise);
  EXPECT_FALSE(f.Form.Visible());
  EXPECT_FALSE(f.OptionsWindowShown);
  EXPECT_TRUE(Contains(Ini(), "Run=ShiftMid")) << Ini();
}

TEST_F(Lifecycle, FileMenuHideDoesWhatOkDoes) {
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  f.ConfirmCheck.ClickFromUser();
  f.HideMenuItem->Click();
  EXPECT_FALSE(f.Form.Visible());
  EXPECT_TRUE(Contains(Ini(), "[DelConfirm]\r\nOn=Yes")) << Ini();
}

TEST_F(Lifecycle, ReadOnlySettingsFileKeepsTheSettingsForTheRun) {
  os.PutFile(Path("stavlo.ini"), "[View]\r\nWhatsNew=No\r\n", /*readOnly=*/true);
  TMainForm& f = StartAndSettle();
  f.ShowOptionsWindow();
  f.HotkeyBox.SelectFromUser(0);
  f.OKBtn.Click();
  EXPECT_EQ(Ini(), "[View]\r\nWhatsNew=No\r\n");
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(f.HotkeyBox.ItemIndex(), 0);
}

TEST_F(Lifecycle, ExitAnsweredNoChangesNothingAndYesRemovesTheHook) {
  Ini("[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  dialogs.answers = {MsgResult::No};
  f.ExitMenuItem->Click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Вы действительно хотите завершить работу Stavlo?");
  EXPECT_EQ(dialogs.shown[0].buttons, fw::MsgButtons::YesNo);
  EXPECT_FALSE(app.Terminated());
  EXPECT_EQ(os.hookCalls, std::vector<int>{1});
  EXPECT_EQ(Ini(), "[View]\r\nWhatsNew=No\r\n");

  dialogs.answers = {MsgResult::Yes};
  f.ExtMenuItem->Click();
  EXPECT_TRUE(app.Terminated());
  EXPECT_EQ(os.hookCalls, (std::vector<int>{1, 0}));
  form.reset();  // the window is destroyed: the hook is removed once more
  EXPECT_EQ(os.hookCalls, (std::vector<int>{1, 0, 0}));
  EXPECT_EQ(Ini(), "[View]\r\nWhatsNew=No\r\n");
}

TEST_F(Lifecycle, ShutdownQueryClosesWithoutAsking) {
  TMainForm& f = StartAndSettle();
  app.Post(f.Form.Handle(), fw::kWmQueryEndSession, 0, 0);
  app.ProcessMessages();
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(os.hookCalls, (std::vector<int>{1, 0}));
}

TEST_F(Lifecycle, SwitchingOffAndOnChangesCaptionImageAndBalloon) {
  TMainForm& f = StartAndSettle();
  app.balloonLog.clear();
  f.EnableMenuItem->Click();
  EXPECT_EQ(f.EnableMenuItem->Caption, " Включить");
  EXPECT_EQ(f.TrayIcon.ImageIndex(), 6);
  ASSERT_EQ(app.balloonLog.size(), 2u);  // shown, then hidden after three seconds
  EXPECT_EQ(app.balloonLog[0]->text, "Stavlo остановлен");
  EXPECT_EQ(app.balloonLog[0]->icon, fw::BalloonIcon::Warning);
  EXPECT_FALSE(app.balloonLog[1].has_value());
  f.EnableMenuItem->Click();
  EXPECT_EQ(f.EnableMenuItem->Caption, " Выключить");
  EXPECT_EQ(f.TrayIcon.ImageIndex(), 5);
  EXPECT_EQ(app.balloonLog[2]->text, "Stavlo запущен");
  EXPECT_EQ(app.balloonLog[2]->icon, fw::BalloonIcon::Info);
}

TEST_F(Lifecycle, SecondInstanceOnlyAsksTheFirstToShowItself) {
  os.otherInstanceRunning = true;
  EXPECT_EQ(StavloMain(platform), 0);
  EXPECT_EQ(os.showRunningInstanceCalls, 1);
  EXPECT_TRUE(os.hookCalls.empty());
  EXPECT_TRUE(os.libraryCalls.empty());
}

TEST_F(Lifecycle, ShowRequestFromASecondStartShowsTheOptionsWindow) {
  TMainForm& f = StartAndSettle();
  app.Post(f.Form.Handle(), app.RegisterMessage("Stavlo.ShowOptions"), 0, 0);
  app.ProcessMessages();
  EXPECT_TRUE(f.Form.Visible());
  EXPECT_TRUE(f.OptionsWindowShown);
}

}  // namespace
