#pragma once
// Which mouse click is which gesture, and how a press pairs with its release.
// Portable: the hook in CLICKTAP.DLL feeds it, the program includes it to know
// the names and indices it answers to, and host tests reach it directly.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace clicktap {

// The order is the wParam of the query message: do not reorder.
enum class Gesture : int {
  MidMouse = 0,     // middle button alone
  CtrlMouse = 1,    // Ctrl + left
  CtrlMMouse = 2,   // Ctrl + middle
  ShiftMouse = 3,   // Shift + left
  ShiftMMouse = 4,  // Shift + middle
  SpaceMouse = 5,   // Space key held + left
  RunStop = 6,      // Shift + Ctrl + left
};
inline constexpr int kGestureCount = 7;

// Registered-message names the hook posts (wParam 0, lParam 0) to the options
// window when a gesture's button is released.
inline constexpr std::array<const char*, kGestureCount> kGestureNames = {
    "MIDMOUSE", "CTRLMOUSE", "CTRLMMOUSE", "SHIFTMOUSE", "SHIFTMMOUSE", "SPACEMOUSE", "RUNSTOP"};
inline constexpr std::array<const wchar_t*, kGestureCount> kGestureNamesW = {
    L"MIDMOUSE", L"CTRLMOUSE", L"CTRLMMOUSE", L"SHIFTMOUSE", L"SHIFTMMOUSE", L"SPACEMOUSE", L"RUNSTOP"};

// Sent (not posted) on a gesture's button press with wParam = GestureIndex and
// lParam 0. The options window answers 1 when it will open its menu for it, so
// the click is kept from the window under the pointer; any other answer, or none
// within kWantsGestureTimeoutMs, lets the click through.
inline constexpr char kWantsGestureMessage[] = "Stavlo.WantsGesture";
inline constexpr wchar_t kWantsGestureMessageW[] = L"Stavlo.WantsGesture";
inline constexpr unsigned kWantsGestureTimeoutMs = 50;

// Window class of the options window; the hook and stavlo.dll look for the
// top-level window of this class on the program's user-interface thread.
inline constexpr char kOptionsWindowClass[] = "TMainForm";
inline constexpr wchar_t kOptionsWindowClassW[] = L"TMainForm";

// Mouse input the program synthesises itself should carry this in
// MOUSEINPUT::dwExtraInfo: the hook then leaves it alone entirely.
inline constexpr std::uintptr_t kSyntheticInputTag = 0x53745631;  // "StV1"

constexpr int GestureIndex(Gesture g) { return static_cast<int>(g); }
constexpr const char* GestureName(Gesture g) { return kGestureNames[GestureIndex(g)]; }
constexpr const wchar_t* GestureNameW(Gesture g) { return kGestureNamesW[GestureIndex(g)]; }

enum class Button : int { Left = 0, Middle, Right, X1, X2 };
inline constexpr int kButtonCount = 5;

// Keys held while the button went down.
struct Modifiers {
  bool ctrl = false;
  bool shift = false;
  bool alt = false;
  bool win = false;
  bool space = false;
};

// A gesture needs exactly its own keys: any other key held (Alt, Win, or a
// modifier the gesture does not use) makes the click an ordinary click.
std::optional<Gesture> DecideGesture(Button button, const Modifiers& keys);

// Pairs presses with releases for the hook, one slot per button. Lives on the
// hook thread only.
class ClickPairing {
 public:
  // Asked once per gesture press: true keeps the click (press and release) from
  // the window under the pointer.
  using WantsGesture = std::function<bool(Gesture)>;

  // Returns true when the press is to be swallowed.
  bool OnDown(Button button, const Modifiers& keys, const WantsGesture& wants);

  struct Release {
    std::optional<Gesture> report;  // post this gesture now
    bool swallow = false;           // keep the release from the window
  };
  // The gesture was fixed at the press: keys let go of before the release do
  // not change it, and a swallowed press always gets its release swallowed.
  Release OnUp(Button button);

  // Forgets every pending press (the hook is going away).
  void Reset();

 private:
  struct Slot {
    bool pending = false;
    Gesture gesture = Gesture::MidMouse;
    bool swallowed = false;
  };
  std::array<Slot, kButtonCount> slots_{};
};

}  // namespace clicktap
