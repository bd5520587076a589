// Which gesture opens the launch menu, and what the hook is told on a press.
#include <gtest/gtest.h>

#include "app_fixture.h"
#include "clicktap/gesture.h"

namespace {

class Triggers : public ::testing::Test, public AppFixture {};

struct GestureCase {
  const char* setting;  // nullptr: no such key
  const char* message;
  bool opens;
};

TEST_F(Triggers, OnlyTheChosenGestureOpensTheMenuAtThePointer) {
  const GestureCase cases[] = {
      {"Middle", "MIDMOUSE", true},     {"Middle", "CTRLMOUSE", false},
      {nullptr, "CTRLMOUSE", true},     {nullptr, "MIDMOUSE", false},
      {"CtrlMid", "CTRLMMOUSE", true},  {"ShiftLeft", "SHIFTMOUSE", true},
      {"ShiftMid", "SHIFTMMOUSE", true}, {"SpaceLeft", "SPACEMOUSE", true},
      {"SpaceLeft", "SHIFTMOUSE", false}, {"ctrlleft", "CTRLMOUSE", false},
      {"Nothing", "MIDMOUSE", false},   {"Middle", "RUNSTOP", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.setting ? c.setting : "<missing>") + " / " + c.message);
    Ini(std::string("[View]\r\nWhatsNew=No\r\n") + (c.setting ? std::string("[Menu]\r\nRun=") + c.setting + "\r\n" : ""));
    StartAndSettle();
    app.popups.clear();
    os.cursor = {10, 5};
    Post(c.message);
    app.ProcessMessages();
    ASSERT_EQ(app.popups.size(), c.opens ? 1u : 0u);
    if (c.opens) {
      EXPECT_EQ(app.popups[0].at.x, 10 - 55);  // not clamped: the system places it
      EXPECT_EQ(app.popups[0].at.y, 5 - 12);
    }
    form.reset();
  }
}

TEST_F(Triggers, NoMenuWhileSwitchedOffOptionsShownOrGesturesUnticked) {
  Ini("[Menu]\r\nRun=Middle\r\n[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  auto opens = [&] {
    app.popups.clear();
    Post("MIDMOUSE");
    app.ProcessMessages();
    return !app.popups.empty();
  };
  EXPECT_TRUE(opens());
  f.EnableMenuItem->Click();
  EXPECT_FALSE(opens());
  f.EnableMenuItem->Click();
  f.ShowOptionsWindow();
  EXPECT_FALSE(opens());
  f.Form.Hide();
  f.HKeyCheck.SetChecked(false);
  EXPECT_FALSE(opens());
  f.HKeyCheck.SetChecked(true);
  EXPECT_TRUE(opens());
}

TEST_F(Triggers, HookIsToldToKeepTheClickExactlyWhenTheMenuWillOpen) {
  Ini("[Menu]\r\nRun=Middle\r\n[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = Start();
  auto ask = [&](clicktap::Gesture g) {
    fw::WindowMessage wm;
    wm.message = {f.Form.Handle(), app.RegisterMessage(clicktap::kWantsGestureMessage),
                  static_cast<uintptr_t>(clicktap::GestureIndex(g)), 0};
    return app.SendToForm(f.Form, wm);
  };
  EXPECT_EQ(ask(clicktap::Gesture::MidMouse), 0) << "still starting up";
  app.Advance(5000);
  EXPECT_EQ(ask(clicktap::Gesture::MidMouse), 1);
  EXPECT_EQ(ask(clicktap::Gesture::CtrlMouse), 0);
  EXPECT_EQ(ask(clicktap::Gesture::RunStop), 0);
  fw::WindowMessage bogus;
  bogus.message = {f.Form.Handle(), app.RegisterMessage(clicktap::kWantsGestureMessage), 99, 0};
  EXPECT_EQ(app.SendToForm(f.Form, bogus), 0);
  f.EnableMenuItem->Click();
  EXPECT_EQ(ask(clicktap::Gesture::MidMouse), 0);
}

TEST_F(Triggers, ChoosingAnItemRunsItAfterTheMenuClosed) {
  Ini("[Menu]\r\nRun=Middle\r\n[View]\r\nWhatsNew=No\r\n");
  TMainForm& f = StartAndSettle();
  int rebuiltItems = -1;
  app.onPopup = [&](fw::PopupMenu& menu) -> fw::MenuItem* {
    return menu.Items.Find("CancelItem");
  };
  f.ProgMenu.Items.Find("CancelItem")->OnClick = [&] {
    // A rebuild from inside the handler must be safe.
    f.RebuildMenu();
    rebuiltItems = f.ProgMenu.Items.Count();
  };
  Post("MIDMOUSE");
  app.ProcessMessages();
  EXPECT_EQ(rebuiltItems, 2);
}

}  // namespace
