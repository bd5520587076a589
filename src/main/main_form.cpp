#include "main/main_form.h"

#include "clicktap/gesture.h"
#include "framework/guard.h"
#include "main/menu/menu_images.h"
#include "main/menu/themes.h"

TMainForm::TMainForm(fw::Platform& p)
    : platform(p),
      app(p.app),
      dialogs(p.dialogs),
      os(p.os),
      Form(p.app, clicktap::kOptionsWindowClass),
      TrayIcon(p.app),
      HideTimer(p.app),
      ProgMenu(p.app),
      TrayPopupMenu(p.app),
      OptionsTree(&Form, "OptionsTree"),
      ItemsPage(&Form, "ItemsPage"),
      NLinkPage(&Form, "NLinkPage"),
      FilesPage(&Form, "FilesPage"),
      FoldersPage(&Form, "FoldersPage"),
      ComponentPage(&Form, "ComponentPage"),
      MainPage(&Form, "MainPage"),
      ProgPage(&Form, "ProgPage"),
      OKBtn(&Form, "OKBtn"),
      wndBox(&NLinkPage, "wndBox"),
      MainTabs(&MainPage, "MainTabs"),
      GeneralTab(&MainTabs, "GeneralTab"),
      ViewTab(&MainTabs, "ViewTab"),
      ExtraTab(&MainTabs, "ExtraTab"),
      AutorunCheck(&GeneralTab, "AutorunCheck"),
      HKeyCheck(&GeneralTab, "HKeyCheck"),
      TrayRMCheck(&GeneralTab, "TrayRMCheck"),
      ConfirmCheck(&GeneralTab, "ConfirmCheck"),
      ChkCheck(&GeneralTab, "ChkCheck"),
      ThemeCheck(&ViewTab, "ThemeCheck"),
      OrderCheck(&ViewTab, "OrderCheck"),
      ZastCheck(&ViewTab, "ZastCheck"),
      ExplorCheck(&ExtraTab, "ExplorCheck"),
      MinCheck(&ExtraTab, "MinCheck"),
      FileCheck(&FilesPage, "FileCheck"),
      EmptyCheck(&FilesPage, "EmptyCheck"),
      FoldCheck(&FoldersPage, "FoldCheck"),
      PathCheck(&FoldersPage, "PathCheck"),
      HotkeyBox(&GeneralTab, "HotkeyBox"),
      ThemeBox(&ViewTab, "ThemeBox"),
      LinksTree(&ItemsPage, "LinksTree"),
      FoldersTree(&FoldersPage, "FoldersTree"),
      ComponentTree(&ComponentPage, "ComponentTree") {
  app.Title = "Stavlo";
  for (const fw::Image& image : BuiltinMenuImages()) MenuImages.Add(image);
  TrayIcon.Images = &MenuImages;
  ProgMenu.Images = &MenuImages;
  TrayPopupMenu.Images = &MenuImages;
  ProgMenu.Module = &WhiteBlue;
  TrayPopupMenu.Module = &WhiteBlue;
  HideTimer.SetInterval(1800);

  BuildMenus();
  BuildOptionsWindow();
  LoadBuiltinComponents();
  WireEvents();

  Form.Icon = *MenuImages.Get(5);
  if (!app.MainForm) app.MainForm = &Form;
  Form.Realize();
  TrayIcon.SetHint("Stavlo");
  TrayIcon.SetVisible(true);
  FormCreate();
}

TMainForm::~TMainForm() {
  FormDestroy();
  TrayIcon.SetVisible(false);
  if (app.MainForm == &Form) app.MainForm = nullptr;
}

void TMainForm::BuildMenus() {
  ShowMenuItem = &TrayPopupMenu.Items.Add(" Stavlo           ", [this] {
    ShowOptionsWindow();
  });
  ShowMenuItem->Name = "ShowMenuItem";
  ShowMenuItem->ImageIndex = 5;
  EnableMenuItem = &TrayPopupMenu.Items.Add(" Выключить", [this] { EnableMenuItemClick(); });
  EnableMenuItem->Name = "EnableMenuItem";
  TrayPopupMenu.Items.AddSeparator();
  HelpTrayItem = &TrayPopupMenu.Items.Add(" Справка");
  HelpTrayItem->Name = "HelpTrayItem";
  TrayPopupMenu.Items.AddSeparator();
  ExtMenuItem = &TrayPopupMenu.Items.Add(" Выход", [this] { ConfirmExit(); });
  ExtMenuItem->Name = "ExtMenuItem";

  fw::MenuItem& file = Form.MainMenu.Add("Файл");
  HideMenuItem = &file.Add(" Свернуть", [this] { OKBtn.Click(); });
  HideMenuItem->Name = "HideMenuItem";
  file.AddSeparator();
  ExitMenuItem = &file.Add(" Выход            ", [this] { ConfirmExit(); });
  ExitMenuItem->Name = "ExitMenuItem";
  fw::MenuItem& help = Form.MainMenu.Add("Справка");
  fw::MenuItem& hlp = help.Add(" Помощь             ");
  hlp.Name = "HlpMenuItem";
  hlp.ShortCut = "F1";
  help.Add(" История версий программы     ").Name = "VersionMenuItem";
  help.AddSeparator();
  help.Add(" О программе").Name = "AbtMenuItem";
}

void TMainForm::WireEvents() {
  Form.OnShow = [this] { FormShow(); };
  Form.OnHide = [this] { FormHide(); };
  Form.OnClose = [this] { FormClose(); };
  Form.OnWindowMessage = [this](fw::WindowMessage& m, bool& handled) { FormWindowMessage(m, handled); };
  app.OnMessage = [this](const fw::Message& m, bool&) { AppEventsMessage(m); };
  app.OnException = [this](const std::string& text) { dialogs.Error(text, "Stavlo"); };
  HideTimer.OnTimer = [this] { HideTimerTimer(); };
  OKBtn.OnClick = [this] { OKBtnClick(); };
  OptionsTree.OnClick = [this] { OptionsTreeClick(); };
  TrayIcon.OnMouseDown = [this](fw::MouseButton b) { TrayIconMouseDown(b); };
  TrayIcon.OnMouseUp = [this](fw::MouseButton b) { TrayIconMouseUp(b); };
  TrayIcon.OnDblClick = [this] { TrayIconDblClick(); };
}

int StavloMain(fw::Platform& platform) {
  if (!platform.os.ClaimSingleInstance()) {
    platform.os.ShowRunningInstance();
    return 0;
  }
  TMainForm mainForm(platform);
  platform.app.Run();
  return 0;
}
