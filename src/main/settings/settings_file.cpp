// The settings file: one value at a time, as the system's profile functions
// would read and write it.
#include "main/settings/settings_file.h"

#include <stdexcept>

#include "base/text.h"
#include "formats/ini_file.h"
#include "framework/guard.h"
#include "main/main_form.h"
#include "main/menu/themes.h"

namespace {

// Larger files are not settings files; they read as missing.
constexpr size_t kMaxIniBytes = 1 << 20;

std::string Cp(const std::string& utf8) {
  auto cp = base::Utf8ToCp1251(utf8);
  if (!cp) throw std::runtime_error("text not representable in Windows-1251");
  return *cp;
}

struct CheckSetting {
  fw::CheckBox TMainForm::*box;
  const char* section;
  const char* key;
  const char* defaultValue;
};

// In the order they are loaded.
const CheckSetting kLoadedChecks[] = {
    {&TMainForm::ThemeCheck, "Theme", "On", "Yes"},
    {&TMainForm::ZastCheck, "View", "Logo", "Yes"},
    {&TMainForm::ConfirmCheck, "DelConfirm", "On", "No"},
    {&TMainForm::TrayRMCheck, "MenuInTray", "On", "No"},
    {&TMainForm::HKeyCheck, "Menu", "HotKeyOn", "Yes"},
    {&TMainForm::PathCheck, "Menu", "FolderPath", "No"},
    {&TMainForm::OrderCheck, "Menu", "ProgSecond", "No"},
    {&TMainForm::ExplorCheck, "Menu", "InExplorer", "No"},
    {&TMainForm::ChkCheck, "View", "CheckLinks", "Yes"},
    {&TMainForm::FoldCheck, "View", "HotFolders", "Yes"},
    {&TMainForm::MinCheck, "Menu", "MaWindow", "No"},
    {&TMainForm::FileCheck, "Menu", "RecentDcs", "No"},
    {&TMainForm::EmptyCheck, "Menu", "EmptyRecentDcs", "No"},
};

// In the order they are saved on OK.
const CheckSetting kSavedChecks[] = {
    {&TMainForm::ThemeCheck, "Theme", "On", ""},
    {&TMainForm::ZastCheck, "View", "Logo", ""},
    {&TMainForm::ConfirmCheck, "DelConfirm", "On", ""},
    {&TMainForm::TrayRMCheck, "MenuInTray", "On", ""},
    {&TMainForm::HKeyCheck, "Menu", "HotKeyOn", ""},
    {&TMainForm::PathCheck, "Menu", "FolderPath", ""},
    {&TMainForm::OrderCheck, "Menu", "ProgSecond", ""},
    {&TMainForm::ExplorCheck, "Menu", "InExplorer", ""},
    {&TMainForm::MinCheck, "Menu", "MaWindow", ""},
    {&TMainForm::FileCheck, "Menu", "RecentDcs", ""},
    {&TMainForm::EmptyCheck, "Menu", "EmptyRecentDcs", ""},
    {&TMainForm::ChkCheck, "View", "CheckLinks", ""},
    {&TMainForm::FoldCheck, "View", "HotFolders", ""},
};

const char* YesNo(bool yes) { return yes ? "Yes" : "No"; }

// A decimal integer, or nullopt: the window position keys must be one.
std::optional<int> ParseDecimal(const std::string& s) {
  if (s.empty() || s.size() > 10) return std::nullopt;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size()) return std::nullopt;
  long long v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  if (s[0] == '-') v = -v;
  if (v < -1000000 || v > 1000000) return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace

std::string TMainForm::IniPath() const { return ProgramFolder() + kIniFileName; }

std::string TMainForm::ReadIniValue(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) {
  std::string result;
  bool ok = fw::Guarded([&] {
    auto bytes = os.ReadFile(IniPath(), kMaxIniBytes);
    std::string value = bytes ? formats::IniRead(*bytes, Cp(section), Cp(key), Cp(defaultValue))
                              : formats::IniReadMissingFile(Cp(defaultValue));
    result = base::Cp1251ToUtf8(value);
  });
  return ok ? result : std::string();
}

void TMainForm::WriteIniValue(const std::string& section, const std::string& key,
                              const std::string& value) {
  fw::Guarded([&] {
    std::string path = IniPath();
    std::string bytes;
    const bool exists = os.FileExists(path);
    if (exists) {
      auto existing = os.ReadFile(path, kMaxIniBytes);
      // Rewriting a file we cannot read would lose what it holds.
      if (!existing) return;
      bytes = *existing;
    }
    auto updated = formats::IniWrite(bytes, Cp(section), Cp(key), Cp(value));
    if (updated && (!exists || *updated != bytes)) os.WriteFileAtomic(path, *updated);
  });
}

void TMainForm::LoadSettings() {
  // 1. Autostart, as the companion library knows it.
  if (auto r = CallCompanion("CheckAutorun")) AutorunCheck.SetChecked((*r & 0xFF) == 1);

  // 2. Gesture: a value other than the six selects nothing.
  HotkeyBox.SetItemIndex(-1);
  for (int index : kGestureReadOrder)
    if (ReadIniValue("Menu", "Run", "CtrlLeft") == kGestureChoices[index].value)
      HotkeyBox.SetItemIndex(index);

  // 3. Check boxes.
  for (const auto& c : kLoadedChecks)
    (this->*c.box).SetChecked(ReadIniValue(c.section, c.key, c.defaultValue) == "Yes");

  // 4. Theme.
  ThemeBox.SetItemIndex(-1);
  for (size_t i = 0; i < Themes().size(); ++i)
    if (ReadIniValue("Theme", "Theme", "WB") == Themes()[i].code)
      ThemeBox.SetItemIndex(static_cast<int>(i));

  // 5. Window position; a value that is no decimal integer gives 20.
  fw::Rect r = Form.Bounds();
  r.top = ParseDecimal(ReadIniValue("View", "WTop", "20")).value_or(20);
  r.left = ParseDecimal(ReadIniValue("View", "WLeft", "20")).value_or(20);
  Form.SetBounds(r);

  // 6, 7.
  ApplyTheme();
  // The two exclusion lists load here once they exist.
}

void TMainForm::ApplyTheme() {
  if (ReadIniValue("Theme", "On", "Yes") != "Yes") {
    ProgMenu.Module = nullptr;
    TrayPopupMenu.Module = nullptr;
    return;
  }
  for (const auto& theme : Themes()) {
    if (ReadIniValue("Theme", "Theme", "WB") == theme.code) {
      ProgMenu.Module = theme.module;
      TrayPopupMenu.Module = theme.module;
    }
  }
}

void TMainForm::SaveSettings() {
  fw::Guarded([&] {
    if (AutorunCheck.Checked())
      CallCompanion("WriteAutor", fw::LibArg::Text(os.ExecutablePath()));
    else
      CallCompanion("DelAutor");
  });
  int gesture = HotkeyBox.ItemIndex();
  if (gesture >= 0) WriteIniValue("Menu", "Run", kGestureChoices[gesture].value);
  for (const auto& c : kSavedChecks) WriteIniValue(c.section, c.key, YesNo((this->*c.box).Checked()));
  int theme = ThemeBox.ItemIndex();
  if (theme >= 0) WriteIniValue("Theme", "Theme", Themes()[theme].code);
  WriteIniValue("View", "WTop", std::to_string(Form.Bounds().top));
  WriteIniValue("View", "WLeft", std::to_string(Form.Bounds().left));
}

void TMainForm::SaveSettingsOnHide() {
  int gesture = HotkeyBox.ItemIndex();
  if (gesture >= 0) WriteIniValue("Menu", "Run", kGestureChoices[gesture].value);
  WriteIniValue("Theme", "On", YesNo(ThemeCheck.Checked()));
}
