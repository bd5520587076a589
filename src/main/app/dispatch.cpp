// Window-message dispatch: the application-wide filter and the options
// window's own messages.
#include <algorithm>
#include <cstring>

#include "clicktap/gesture.h"
#include "framework/guard.h"
#include "main/main_form.h"

namespace {

// Asks a running instance to show its options window (a second start sends it).
constexpr char kShowOptionsMessage[] = "Stavlo.ShowOptions";
// The receiver of WM_COPYDATA reads at most this many bytes.
constexpr size_t kCopyDataLimit = 100;

}  // namespace

void TMainForm::AppEventsMessage(const fw::Message& message) {
  fw::Guarded([&] {
    const uint32_t id = message.msg;
    if (id == fw::kWmQueryEndSession) Form.Close();
    // The dialogs' messages ("openrename", "rename", "openprop", "applyprop",
    // "openhkey", "addhkey") and "addwin" are answered by the link editing,
    // exclusion list and hot key handlers once they exist.
    static const char* const kGestures[] = {"CTRLMOUSE", "CTRLMMOUSE", "SHIFTMOUSE",
                                            "MIDMOUSE",  "SHIFTMMOUSE", "SPACEMOUSE"};
    for (const char* name : kGestures)
      if (id == app.RegisterMessage(name)) HandleGesture(name);
    if (id == app.RegisterMessage("RUNSTOP")) MinimizeForegroundWindow();
  });
}

void TMainForm::FormWindowMessage(fw::WindowMessage& wm, bool& handled) {
  const uint32_t id = wm.message.msg;
  if (id == fw::kWmSysCommand) {
    // The backend has done the usual handling already.
    if ((wm.message.wParam & 0xFFF0) == fw::kScMinimize) Form.Hide();
    return;
  }
  if (id == fw::kWmCopyData) {
    handled = true;
    if (!wm.hasCopyData || wm.copyData.empty()) return;
    std::string text = wm.copyData.substr(0, kCopyDataLimit);
    text = text.substr(0, std::min(text.find('\0'), text.size()));
    // "&1" + window title and "&2" + group name reach their handlers once the
    // exclusion lists and link editing exist.
    return;
  }
  if (id == fw::kWmDropFiles) {
    handled = true;
    return;
  }
  if (id == app.RegisterMessage(clicktap::kWantsGestureMessage)) {
    handled = true;
    wm.result = WantsGesture(static_cast<int>(wm.message.wParam)) ? 1 : 0;
    return;
  }
  if (id == app.RegisterMessage(kShowOptionsMessage)) {
    handled = true;
    fw::Guarded([&] { ShowOptionsWindow(); });
  }
}

void TMainForm::TrayIconMouseDown(fw::MouseButton button) {
  if (button != fw::MouseButton::Left || !TrayRMCheck.Checked()) return;
  if (OptionsWindowShown) {
    dialogs.Inform(
        "Внимание! Меню запуска программ отображается только после закрытия окна настроек "
        "Stavlo.",
        "Stavlo");
    return;
  }
  PopupFromTray(ProgMenu);
}

void TMainForm::TrayIconMouseUp(fw::MouseButton button) {
  if (button == fw::MouseButton::Right) PopupFromTray(TrayPopupMenu);
}

void TMainForm::TrayIconDblClick() { ShowOptionsWindow(); }

void TMainForm::PopupFromTray(fw::PopupMenu& menu) {
  fw::Guarded([&] {
    Form.BringToForeground();
    fw::Point at = os.CursorPos();
    menu.Popup(at);
    app.Post(Form.Handle(), 0, 0, 0);
  });
}
