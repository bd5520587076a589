#include "gesture.h"

namespace clicktap {

std::optional<Gesture> DecideGesture(Button button, const Modifiers& keys) {
  // Alt and Win clicks belong to the window manager and to other tools.
  if (keys.alt || keys.win) return std::nullopt;
  const bool ctrl = keys.ctrl, shift = keys.shift, space = keys.space;
  switch (button) {
    case Button::Middle:
      // Space is a left-button modifier only; with the middle button it means
      // someone is typing, so the click is left alone.
      if (space) return std::nullopt;
      if (ctrl && shift) return std::nullopt;
      if (ctrl) return Gesture::CtrlMMouse;
      if (shift) return Gesture::ShiftMMouse;
      return Gesture::MidMouse;
    case Button::Left:
      if (space) {
        if (ctrl || shift) return std::nullopt;
        return Gesture::SpaceMouse;
      }
      if (ctrl && shift) return Gesture::RunStop;
      if (ctrl) return Gesture::CtrlMouse;
      if (shift) return Gesture::ShiftMouse;
      return std::nullopt;  // a plain left click is everybody's
    case Button::Right:
    case Button::X1:
    case Button::X2:
      break;
  }
  return std::nullopt;
}

bool ClickPairing::OnDown(Button button, const Modifiers& keys, const WantsGesture& wants) {
  Slot& slot = slots_[static_cast<int>(button)];
  // A press while one is pending means its release was lost (the hook was
  // removed for a moment, or the system ate it): the old press is forgotten,
  // never reported late.
  slot = Slot{};
  const std::optional<Gesture> gesture = DecideGesture(button, keys);
  if (!gesture) return false;
  slot.pending = true;
  slot.gesture = *gesture;
  slot.swallowed = wants && wants(*gesture);
  return slot.swallowed;
}

ClickPairing::Release ClickPairing::OnUp(Button button) {
  Slot& slot = slots_[static_cast<int>(button)];
  Release release;
  if (!slot.pending) return release;  // no press of ours: an ordinary release
  release.report = slot.gesture;
  release.swallow = slot.swallowed;
  slot = Slot{};
  return release;
}

void ClickPairing::Reset() { slots_ = {}; }

}  // namespace clicktap
