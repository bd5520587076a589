#pragma once
// The gesture choices of the options window and the file's check-box keys.
#include <array>

struct GestureChoice {
  const char* entry;    // text in the gesture box
  const char* value;    // "Menu"/"Run"
  const char* message;  // the hook's message that opens the menu for it
};

// In the order of the gesture box.
inline constexpr std::array<GestureChoice, 6> kGestureChoices = {{
    {"Средняя кнопка мыши", "Middle", "MIDMOUSE"},
    {"CTRL + Левая кнопка мыши", "CtrlLeft", "CTRLMOUSE"},
    {"CTRL + Средняя кнопка мыши", "CtrlMid", "CTRLMMOUSE"},
    {"SHIFT + Левая кнопка мыши", "ShiftLeft", "SHIFTMOUSE"},
    {"SHIFT + Средняя кнопка мыши", "ShiftMid", "SHIFTMMOUSE"},
    {"Пробел + Левая кнопка мыши", "SpaceLeft", "SPACEMOUSE"},
}};

// The order in which the settings are read and matched: CtrlLeft, Middle,
// ShiftLeft, CtrlMid, ShiftMid, SpaceLeft (indices into kGestureChoices).
inline constexpr std::array<int, 6> kGestureReadOrder = {1, 0, 3, 2, 4, 5};

inline constexpr char kIniFileName[] = "stavlo.ini";
inline constexpr char kCompanionFileName[] = "stavlo.dll";
