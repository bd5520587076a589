#pragma once
// The options window: the application's main window, owner of every component
// for the whole run. Its members are grouped by subsystem in app/, settings/,
// triggers/, menu/, store/ and external/.
#include <memory>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/form.h"
#include "framework/image_list.h"
#include "framework/menu.h"
#include "framework/platform.h"
#include "framework/timer.h"
#include "framework/tray_icon.h"
#include "framework/tree_view.h"

class TMainForm {
 public:
  explicit TMainForm(fw::Platform& platform);
  ~TMainForm();
  TMainForm(const TMainForm&) = delete;
  TMainForm& operator=(const TMainForm&) = delete;

  fw::Platform& platform;
  fw::Application& app;
  fw::Dialogs& dialogs;
  fw::Os& os;

  // ---- components
  fw::Form Form;
  fw::ImageList MenuImages;
  fw::TrayIcon TrayIcon;
  fw::Timer HideTimer;
  fw::PopupMenu ProgMenu;
  fw::PopupMenu TrayPopupMenu;
  fw::MenuItem* ShowMenuItem = nullptr;
  fw::MenuItem* EnableMenuItem = nullptr;
  fw::MenuItem* HelpTrayItem = nullptr;
  fw::MenuItem* ExtMenuItem = nullptr;
  fw::MenuItem* HideMenuItem = nullptr;
  fw::MenuItem* ExitMenuItem = nullptr;

  // Options window layout (settings/options_window.cpp).
  fw::ListBox OptionsTree;
  fw::Panel ItemsPage, NLinkPage, FilesPage, FoldersPage, ComponentPage, MainPage, ProgPage;
  fw::Button OKBtn;
  fw::ComboBox wndBox;
  fw::TabControl MainTabs;
  fw::Panel GeneralTab, ViewTab, ExtraTab;
  fw::CheckBox AutorunCheck, HKeyCheck, TrayRMCheck, ConfirmCheck, ChkCheck;
  fw::CheckBox ThemeCheck, OrderCheck, ZastCheck, ExplorCheck, MinCheck;
  fw::CheckBox FileCheck, EmptyCheck, FoldCheck, PathCheck;
  fw::ComboBox HotkeyBox, ThemeBox;
  fw::TreeView LinksTree, FoldersTree, ComponentTree;

  // ---- state
  bool OptionsWindowShown = false;
  bool IconFromShortcut = false;

  // ---- app/: start-up, lifecycle, message dispatch, tray
  void FormCreate();
  void HideTimerTimer();
  void FormShow();
  void FormHide();
  void OKBtnClick();
  void ConfirmExit();
  void FormClose();
  void FormDestroy();
  void EnableMenuItemClick();
  void AppEventsMessage(const fw::Message& message);
  void FormWindowMessage(fw::WindowMessage& message, bool& handled);
  void ShowOptionsWindow();
  void TrayIconMouseDown(fw::MouseButton button);
  void TrayIconMouseUp(fw::MouseButton button);
  void TrayIconDblClick();
  void PopupFromTray(fw::PopupMenu& menu);
  bool LauncherOn() const;

  // ---- settings/
  std::string IniPath() const;
  std::string ReadIniValue(const std::string& section, const std::string& key,
                           const std::string& defaultValue);
  void WriteIniValue(const std::string& section, const std::string& key, const std::string& value);
  void LoadSettings();
  void ApplyTheme();
  void SaveSettings();
  void SaveSettingsOnHide();
  void ShowPage(fw::Panel& page);
  void OptionsTreeClick();

  // ---- triggers/
  void HandleGesture(const std::string& messageName);
  void PopupLaunchMenu();
  bool GestureOpensMenu(const std::string& messageName);
  bool LaunchMenuAllowed();
  bool IsExplorerBlocked();
  bool IsProgramExcluded();
  bool IsTitleExcluded();
  void MinimizeForegroundWindow();
  bool WantsGesture(int gestureIndex);

  // ---- menu/
  void RebuildMenu();

  // ---- store/ (the link store: its operations land with the link store)
  void SaveTreeToFile(fw::TreeView& tree, const std::string& path);
  void LoadTreeFromFile(fw::TreeView& tree, const std::string& path);
  void LoadBuiltinComponents();
  void LoadLinks();
  void LoadFolders();
  void LoadComponents();
  void SaveAll();
  void LinkCheck();
  void RegisterComponentHotKeys();

  // ---- external/
  std::string ProgramFolder() const;
  std::optional<uint32_t> CallCompanion(const std::string& exportName,
                                        const fw::LibArg& arg = fw::LibArg::None());
  void SetHook(int value);

 private:
  // Labels, frames and headers of the pages: no code refers to them.
  std::vector<std::unique_ptr<fw::Control>> decoration_;
  template <class C>
  C& Decor(fw::Control* parent, const std::string& caption, fw::Rect bounds);
  void BuildOptionsWindow();
  void LayOutCheckBoxes();
  void BuildMenus();
  void WireEvents();
};

// Program entry on any backend: one instance, create the options window, run the loop.
int StavloMain(fw::Platform& platform);
