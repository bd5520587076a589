#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "clicktap/gesture.h"

namespace {

using clicktap::Button;
using clicktap::ClickPairing;
using clicktap::Gesture;
using clicktap::Modifiers;

constexpr Modifiers kNone{};
constexpr Modifiers kCtrl{true, false, false, false, false};
constexpr Modifiers kShift{false, true, false, false, false};
constexpr Modifiers kAlt{false, false, true, false, false};
constexpr Modifiers kWin{false, false, false, true, false};
constexpr Modifiers kSpace{false, false, false, false, true};
constexpr Modifiers kCtrlShift{true, true, false, false, false};
constexpr Modifiers kCtrlAlt{true, false, true, false, false};
constexpr Modifiers kShiftWin{false, true, false, true, false};
constexpr Modifiers kCtrlSpace{true, false, false, false, true};
constexpr Modifiers kShiftSpace{false, true, false, false, true};
constexpr Modifiers kCtrlShiftAlt{true, true, true, false, false};

std::string Describe(std::optional<Gesture> g) { return g ? clicktap::GestureName(*g) : "none"; }

TEST(GestureDecision, EveryButtonAndKeyCombination) {
  struct Row {
    const char* what;
    Button button;
    Modifiers keys;
    std::optional<Gesture> expected;
  } const rows[] = {
      {"middle alone", Button::Middle, kNone, Gesture::MidMouse},
      {"ctrl+left", Button::Left, kCtrl, Gesture::CtrlMouse},
      {"ctrl+middle", Button::Middle, kCtrl, Gesture::CtrlMMouse},
      {"shift+left", Button::Left, kShift, Gesture::ShiftMouse},
      {"shift+middle", Button::Middle, kShift, Gesture::ShiftMMouse},
      {"space+left", Button::Left, kSpace, Gesture::SpaceMouse},
      {"shift+ctrl+left", Button::Left, kCtrlShift, Gesture::RunStop},
      // Ordinary clicks.
      {"plain left", Button::Left, kNone, std::nullopt},
      {"right", Button::Right, kNone, std::nullopt},
      {"ctrl+right", Button::Right, kCtrl, std::nullopt},
      {"shift+ctrl+right", Button::Right, kCtrlShift, std::nullopt},
      {"x1", Button::X1, kNone, std::nullopt},
      {"shift+x2", Button::X2, kShift, std::nullopt},
      // Alt and Win spoil any gesture.
      {"alt+middle", Button::Middle, kAlt, std::nullopt},
      {"alt+left", Button::Left, kAlt, std::nullopt},
      {"win+middle", Button::Middle, kWin, std::nullopt},
      {"ctrl+alt+left", Button::Left, kCtrlAlt, std::nullopt},
      {"shift+win+left", Button::Left, kShiftWin, std::nullopt},
      {"ctrl+shift+alt+left", Button::Left, kCtrlShiftAlt, std::nullopt},
      // A key the gesture does not use makes it an ordinary click.
      {"shift+ctrl+middle", Button::Middle, kCtrlShift, std::nullopt},
      {"space+middle", Button::Middle, kSpace, std::nullopt},
      {"space+ctrl+left", Button::Left, kCtrlSpace, std::nullopt},
      {"space+shift+left", Button::Left, kShiftSpace, std::nullopt},
      {"space+right", Button::Right, kSpace, std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(Describe(clicktap::DecideGesture(row.button, row.keys)), Describe(row.expected));
  }
}

TEST(GestureDecision, IndicesAndNamesFollowTheQueryOrder) {
  // The options window answers the query by index, so the order is a contract.
  struct Row {
    Gesture gesture;
    int index;
    const char* name;
    const wchar_t* wideName;
  } const rows[] = {
      {Gesture::MidMouse, 0, "MIDMOUSE", L"MIDMOUSE"},
      {Gesture::CtrlMouse, 1, "CTRLMOUSE", L"CTRLMOUSE"},
      {Gesture::CtrlMMouse, 2, "CTRLMMOUSE", L"CTRLMMOUSE"},
      {Gesture::ShiftMouse, 3, "SHIFTMOUSE", L"SHIFTMOUSE"},
      {Gesture::ShiftMMouse, 4, "SHIFTMMOUSE", L"SHIFTMMOUSE"},
      {Gesture::SpaceMouse, 5, "SPACEMOUSE", L"SPACEMOUSE"},
      {Gesture::RunStop, 6, "RUNSTOP", L"RUNSTOP"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(clicktap::GestureIndex(row.gesture), row.index);
    EXPECT_STREQ(clicktap::GestureName(row.gesture), row.name);
    EXPECT_EQ(std::wstring(clicktap::GestureNameW(row.gesture)), std::wstring(row.wideName));
  }
}

// One hook event and what the pairing must make of it.
struct Step {
  enum Kind { Down, Up } kind;
  Button button;
  Modifiers keys;  // downs only
  bool answer;     // downs only: what the options window answers, if asked
  // expected
  std::optional<Gesture> asked;   // downs: the gesture the window is asked about
  bool swallow;                   // the hook returns nonzero
  std::optional<Gesture> report;  // ups: the gesture posted
};

Step DownStep(Button b, Modifiers keys, bool answer, std::optional<Gesture> asked, bool swallow) {
  return {Step::Down, b, keys, answer, asked, swallow, std::nullopt};
}
Step UpStep(Button b, bool swallow, std::optional<Gesture> report) {
  return {Step::Up, b, kNone, false, std::nullopt, swallow, report};
}

TEST(ClickPairing, PressesPairWithTheirReleases) {
  const auto L = Button::Left, M = Button::Middle, R = Button::Right;
  struct Scenario {
    const char* what;
    std::vector<Step> steps;
  } const scenarios[] = {
      {"window wants the gesture: press and release swallowed, reported at the release",
       {DownStep(M, kNone, true, Gesture::MidMouse, true), UpStep(M, true, Gesture::MidMouse)}},
      {"window declines: click goes through, still reported",
       {DownStep(M, kNone, false, Gesture::MidMouse, false), UpStep(M, false, Gesture::MidMouse)}},
      {"ctrl let go of before the release: still the same gesture, still swallowed",
       {DownStep(L, kCtrl, true, Gesture::CtrlMouse, true), UpStep(L, true, Gesture::CtrlMouse)}},
      {"shift+ctrl press, release after both keys are up",
       {DownStep(L, kCtrlShift, false, Gesture::RunStop, false), UpStep(L, false, Gesture::RunStop)}},
      {"a release without a press (the program's own synthetic release) is nothing",
       {UpStep(L, false, std::nullopt), UpStep(M, false, std::nullopt)}},
      {"plain left press and release: nothing asked, nothing reported",
       {DownStep(L, kNone, true, std::nullopt, false), UpStep(L, false, std::nullopt)}},
      {"right button never asks",
       {DownStep(R, kCtrl, true, std::nullopt, false), UpStep(R, false, std::nullopt)}},
      {"a second release of the same button is nothing",
       {DownStep(M, kNone, true, Gesture::MidMouse, true), UpStep(M, true, Gesture::MidMouse),
        UpStep(M, false, std::nullopt)}},
      {"buttons are paired separately: a left release does not end a middle press",
       {DownStep(M, kNone, true, Gesture::MidMouse, true), DownStep(L, kNone, true, std::nullopt, false),
        UpStep(L, false, std::nullopt), UpStep(M, true, Gesture::MidMouse)}},
      {"two gestures held at once, released in the other order",
       {DownStep(L, kCtrl, false, Gesture::CtrlMouse, false),
        DownStep(M, kCtrl, true, Gesture::CtrlMMouse, true), UpStep(L, false, Gesture::CtrlMouse),
        UpStep(M, true, Gesture::CtrlMMouse)}},
      {"a press whose release was lost is replaced by the next press",
       {DownStep(M, kNone, true, Gesture::MidMouse, true),
        DownStep(M, kShift, false, Gesture::ShiftMMouse, false),
        UpStep(M, false, Gesture::ShiftMMouse)}},
      {"a lost gesture press followed by an ordinary press is not reported",
       {DownStep(L, kCtrl, true, Gesture::CtrlMouse, true), DownStep(L, kNone, true, std::nullopt, false),
        UpStep(L, false, std::nullopt)}},
      {"double middle click: each click is its own gesture",
       {DownStep(M, kNone, true, Gesture::MidMouse, true), UpStep(M, true, Gesture::MidMouse),
        DownStep(M, kNone, false, Gesture::MidMouse, false), UpStep(M, false, Gesture::MidMouse)}},
  };
  for (const Scenario& scenario : scenarios) {
    SCOPED_TRACE(scenario.what);
    ClickPairing pairing;
    int n = 0;
    for (const Step& step : scenario.steps) {
      SCOPED_TRACE("step " + std::to_string(n++));
      if (step.kind == Step::Down) {
        std::optional<Gesture> asked;
        const bool swallow = pairing.OnDown(step.button, step.keys, [&](Gesture g) {
          EXPECT_FALSE(asked.has_value()) << "asked twice for one press";
          asked = g;
          return step.answer;
        });
        EXPECT_EQ(Describe(asked), Describe(step.asked));
        EXPECT_EQ(swallow, step.swallow);
      } else {
        const ClickPairing::Release release = pairing.OnUp(step.button);
        EXPECT_EQ(Describe(release.report), Describe(step.report));
        EXPECT_EQ(release.swallow, step.swallow);
      }
    }
  }
}

TEST(ClickPairing, ResetForgetsPendingPresses) {
  ClickPairing pairing;
  EXPECT_TRUE(pairing.OnDown(Button::Middle, kNone, [](Gesture) { return true; }));
  pairing.Reset();
  const ClickPairing::Release release = pairing.OnUp(Button::Middle);
  EXPECT_FALSE(release.report.has_value());
  EXPECT_FALSE(release.swallow);
}

TEST(ClickPairing, NoAnswerLetsTheClickThrough) {
  // The hook passes an empty function when there is no options window to ask.
  ClickPairing pairing;
  EXPECT_FALSE(pairing.OnDown(Button::Left, kShift, nullptr));
  const ClickPairing::Release release = pairing.OnUp(Button::Left);
  EXPECT_EQ(Describe(release.report), "SHIFTMOUSE");
  EXPECT_FALSE(release.swallow);
}

}  // namespace
