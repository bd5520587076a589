// Mouse gestures: which one opens the launch menu, and the window-minimising one.
#include "clicktap/gesture.h"
#include "framework/guard.h"
#include "main/main_form.h"
#include "main/settings/settings_file.h"

bool TMainForm::GestureOpensMenu(const std::string& messageName) {
  if (!LauncherOn()) return false;
  // Read once: the hook waits for this answer, and every read gives the same value.
  const std::string chosen = ReadIniValue("Menu", "Run", "CtrlLeft");
  for (int index : kGestureReadOrder) {
    const GestureChoice& g = kGestureChoices[index];
    if (chosen == g.value && messageName == g.message) return true;
  }
  return false;
}

bool TMainForm::LaunchMenuAllowed() {
  if (OptionsWindowShown) return false;
  if (!HKeyCheck.Checked()) return false;
  bool blocked = false;
  fw::Guarded([&] { blocked = IsExplorerBlocked(); });
  if (blocked) return false;
  bool program = IsProgramExcluded();
  bool title = IsTitleExcluded();
  return !program && !title;
}

void TMainForm::HandleGesture(const std::string& messageName) {
  if (GestureOpensMenu(messageName)) PopupLaunchMenu();
}

void TMainForm::PopupLaunchMenu() {
  fw::Guarded([&] {
    if (!LaunchMenuAllowed()) return;
    Form.BringToForeground();
    fw::Point p = os.CursorPos();
    ProgMenu.Popup({p.x - 55, p.y - 12});
    app.Post(Form.Handle(), 0, 0, 0);
  });
}

// The foreground-window checks come with the exclusion lists.
bool TMainForm::IsExplorerBlocked() { return false; }
bool TMainForm::IsProgramExcluded() { return false; }
bool TMainForm::IsTitleExcluded() { return false; }
void TMainForm::MinimizeForegroundWindow() {}

// The hook asks this on a gesture's press: true keeps the click from the
// window under the pointer, so it must agree with what the release will do.
bool TMainForm::WantsGesture(int gestureIndex) {
  bool wants = false;
  fw::Guarded([&] {
    if (gestureIndex < 0 || gestureIndex >= clicktap::kGestureCount) return;
    auto gesture = static_cast<clicktap::Gesture>(gestureIndex);
    if (gesture == clicktap::Gesture::RunStop) return;  // minimising lands with the triggers
    wants = GestureOpensMenu(clicktap::GestureName(gesture)) && LaunchMenuAllowed();
  });
  return wants;
}
