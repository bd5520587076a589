#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "main/menu/menu_images.h"

namespace {

constexpr int kSize = fw::Image::kSize;
constexpr size_t kTrayOn = 5, kTrayOff = 6;

int Alpha(uint32_t p) { return p >> 24; }
int Red(uint32_t p) { return p >> 16 & 0xFF; }
int Green(uint32_t p) { return p >> 8 & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }
int Chroma(uint32_t p) {
  return std::max({Red(p), Green(p), Blue(p)}) - std::min({Red(p), Green(p), Blue(p)});
}

const std::vector<fw::Image>& Images() {
  static const std::vector<fw::Image> images = BuiltinMenuImages();
  return images;
}

TEST(MenuImages, OneForEveryRole) { EXPECT_EQ(Images().size(), 24u); }

TEST(MenuImages, DrawingIsRepeatable) {
  // Leftover or uninitialised pixels would make two drawings disagree.
  const std::vector<fw::Image> again = BuiltinMenuImages();
  ASSERT_EQ(again.size(), Images().size());
  for (size_t i = 0; i < again.size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i));
    EXPECT_EQ(again[i].argb, Images()[i].argb);
  }
}

TEST(MenuImages, EachIsASolidShapeOnATransparentGround) {
  for (size_t i = 0; i < Images().size(); ++i) {
    SCOPED_TRACE("image " + std::to_string(i));
    const fw::Image& image = Images()[i];
    int opaque = 0, left = kSize, right = -1, top = kSize, bottom = -1;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        const uint32_t p = image.At(x, y);
        if (Alpha(p) == 255) ++opaque;
        if (Alpha(p) == 0) {
          // Nothing may hide in fully transparent pixels: some blitters ignore alpha.
          EXPECT_EQ(p, 0u) << "at " << x << "," << y;
          continue;
        }
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
    EXPECT_GE(opaque, 40);
    // Drawn to the scale of the cell, neither shrunk into a corner nor off it.
    EXPECT_GE(right - left + 1, 12);
    EXPECT_GE(bottom - top + 1, 12);
    const int corners[] = {Alpha(image.At(0, 0)), Alpha(image.At(kSize - 1, 0)),
                           Alpha(image.At(0, kSize - 1)), Alpha(image.At(kSize - 1, kSize - 1))};
    EXPECT_TRUE(std::count(std::begin(corners), std::end(corners), 0) > 0)
        << "no transparent corner";
  }
}

TEST(MenuImages, NoTwoLookAlike) {
  for (size_t i = 0; i < Images().size(); ++i)
    for (size_t j = i + 1; j < Images().size(); ++j) {
      SCOPED_TRACE("images " + std::to_string(i) + " and " + std::to_string(j));
      int differing = 0;
      for (int k = 0; k < kSize * kSize; ++k) {
        const uint32_t a = Images()[i].argb[k], b = Images()[j].argb[k];
        if (std::abs(Alpha(a) - Alpha(b)) > 32 || std::abs(Red(a) - Red(b)) > 32 ||
            std::abs(Green(a) - Green(b)) > 32 || std::abs(Blue(a) - Blue(b)) > 32)
          ++differing;
      }
      EXPECT_GE(differing, 16);
    }
}

TEST(MenuImages, TrayIconsDifferOnlyInColour) {
  ASSERT_GT(Images().size(), kTrayOff);
  const fw::Image& on = Images()[kTrayOn];
  const fw::Image& off = Images()[kTrayOff];
  int colourful = 0, opaque = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      SCOPED_TRACE("at " + std::to_string(x) + "," + std::to_string(y));
      // The same silhouette, so toggling the launcher does not make the tray jump.
      EXPECT_EQ(Alpha(on.At(x, y)), Alpha(off.At(x, y)));
      if (Alpha(off.At(x, y)) > 0) {
        EXPECT_LE(Chroma(off.At(x, y)), 8) << "off is not grey";
      }
      if (Alpha(on.At(x, y)) == 255) {
        ++opaque;
        if (Chroma(on.At(x, y)) > 96) ++colourful;
      }
    }
  // Mostly a saturated tile when on; a grey version would read as off.
  EXPECT_GT(colourful, opaque / 2);
}

}  // namespace
