#pragma once
// The ten colour themes of the menus: the entry of the theme box, the code
// kept in the settings file and the draw module both menus get.
#include <array>

#include "framework/menu.h"

struct ThemeInfo {
  const char* entry;
  const char* code;
  const fw::DrawModule* module;
};

extern const fw::DrawModule WhiteBlue, OnlyBlack, Night, Woshod, White, Violet, Limon, Longhorn,
    Cherry, BlackWhite;

const std::array<ThemeInfo, 10>& Themes();
