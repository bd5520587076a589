#include "main/menu/themes.h"

const fw::DrawModule WhiteBlue{"WhiteBlue"}, OnlyBlack{"OnlyBlack"}, Night{"Night"},
    Woshod{"Woshod"}, White{"White"}, Violet{"Violet"}, Limon{"Limon"}, Longhorn{"Longhorn"},
    Cherry{"Cherry"}, BlackWhite{"BlackWhite"};

const std::array<ThemeInfo, 10>& Themes() {
  static const std::array<ThemeInfo, 10> themes = {{
      {"Белое и синее", "WB", &WhiteBlue},
      {"Тропик", "BL", &OnlyBlack},
      {"Ночь", "NG", &Night},
      {"Восход", "WS", &Woshod},
      {"Белая", "WT", &White},
      {"Фиолет", "VL", &Violet},
      {"Лимон", "LM", &Limon},
      {"Longhorn", "LH", &Longhorn},
      {"Вишня", "CH", &Cherry},
      {"Черно-белая", "BW", &BlackWhite},
  }};
  return themes;
}
