// Start-up, showing and hiding the options window, switching the launcher off
// and on, and shutdown.
#include "framework/guard.h"
#include "main/main_form.h"

namespace {
constexpr char kOn[] = " Выключить";
constexpr char kOff[] = " Включить";
constexpr uint32_t kMouseEventLeftUp = 0x0004;
constexpr int kImageOn = 5;
constexpr int kImageOff = 6;
}  // namespace

bool TMainForm::LauncherOn() const { return EnableMenuItem->Caption == kOn; }

void TMainForm::FormCreate() {
  fw::Guarded([&] {
    TrayIcon.SetImageIndex(kImageOn);
    try {
      if (ReadIniValue("View", "Logo", "Yes") == "Yes") CallCompanion("ShowZastForm");
    } catch (...) {
    }
    SetHook(1);
    IconFromShortcut = true;
    OptionsWindowShown = true;
    HideTimer.SetEnabled(true);
    LoadSettings();

    const std::string data = ProgramFolder() + "Data\\";
    if (os.FileExists(data + "links.dat")) LoadLinks();
    if (os.FileExists(data + "folders.dat")) LoadFolders();
    if (os.FileExists(data + "comp.dat")) {
      ComponentTree.Clear();
      LoadComponents();
    }

    if (ReadIniValue("View", "WhatsNew", "Yes") == "Yes") {
      CallCompanion("ShowNewForm");
      WriteIniValue("View", "WhatsNew", "No");
    }
  });
}

void TMainForm::HideTimerTimer() {
  try {
    HideTimer.SetEnabled(false);
    Form.Hide();
    os.MouseEvent(kMouseEventLeftUp, 5000, 5000, 0, 0);
    app.Delay(300);
    RegisterComponentHotKeys();
    ShowPage(ItemsPage);
    if (ChkCheck.Checked()) LinkCheck();
    TrayIcon.ShowBalloon({"Stavlo", "Stavlo запущен", fw::BalloonIcon::Info, 10});
    app.Delay(2300);
    TrayIcon.HideBalloon();
    OptionsWindowShown = false;
    Form.DisableCloseCommand();
  } catch (...) {
    RebuildMenu();
    throw;
  }
  RebuildMenu();
}

void TMainForm::FormShow() {
  OKBtn.SetFocus();
  wndBox.SetItemIndex(0);
  OptionsWindowShown = true;
}

void TMainForm::FormHide() {
  SaveSettingsOnHide();
  LinksTree.FullCollapse();
  ComponentTree.FullExpand();
  OptionsWindowShown = false;
}

void TMainForm::OKBtnClick() {
  // An error in saving is reported by the application; the menu is rebuilt anyway.
  try {
    SaveAll();
    ShowPage(ItemsPage);
    Form.Hide();
  } catch (...) {
    RebuildMenu();
    throw;
  }
  RebuildMenu();
}

void TMainForm::ConfirmExit() {
  fw::Guarded([&] {
    if (dialogs.Confirm("Вы действительно хотите завершить работу Stavlo?", "Stavlo")) Form.Close();
  });
}

void TMainForm::FormClose() {
  fw::Guarded([&] { SetHook(0); });
}

void TMainForm::FormDestroy() {
  fw::Guarded([&] { SetHook(0); });
}

void TMainForm::EnableMenuItemClick() {
  fw::Guarded([&] {
    if (EnableMenuItem->Caption == kOn) {
      EnableMenuItem->Caption = kOff;
      TrayIcon.SetImageIndex(kImageOff);
      TrayIcon.ShowBalloon({"Stavlo", "Stavlo остановлен", fw::BalloonIcon::Warning, 10});
    } else {
      EnableMenuItem->Caption = kOn;
      TrayIcon.SetImageIndex(kImageOn);
      TrayIcon.ShowBalloon({"Stavlo", "Stavlo запущен", fw::BalloonIcon::Info, 10});
    }
    app.Delay(3000);
    TrayIcon.HideBalloon();
  });
}

void TMainForm::ShowOptionsWindow() {
  Form.Show();
  Form.BringToForeground();
}
