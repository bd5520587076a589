#include "main/menu/menu_images.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

// The pictures are drawn in code rather than shipped as bitmaps, so they stay
// consistent with each other and cost nothing in the resources. Shapes are
// signed distance functions (negative inside, in pixels): that makes outlines
// a matter of offsetting a shape by one pixel, and gives anti-aliasing almost
// for free.

namespace {

constexpr int kSize = fw::Image::kSize;
constexpr float kPi = 3.14159265f;

using Shape = std::function<float(float x, float y)>;

struct Pt {
  float x, y;
};

// --- shapes -----------------------------------------------------------------

Shape Box(float x0, float y0, float x1, float y1, float radius = 0) {
  return [=](float x, float y) {
    const float qx = std::fabs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - radius);
    const float qy = std::fabs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - radius);
    return std::hypot(std::max(qx, 0.f), std::max(qy, 0.f)) + std::min(std::max(qx, qy), 0.f) -
           radius;
  };
}

Shape Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

float SegmentDistance(float x, float y, Pt a, Pt b) {
  const float dx = b.x - a.x, dy = b.y - a.y;
  const float len2 = dx * dx + dy * dy;
  const float t = len2 > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / len2, 0.f, 1.f) : 0.f;
  return std::hypot(x - a.x - t * dx, y - a.y - t * dy);
}

// A stroke of the given width with round ends.
Shape Line(float x0, float y0, float x1, float y1, float width) {
  return [=](float x, float y) { return SegmentDistance(x, y, {x0, y0}, {x1, y1}) - width / 2; };
}

// A connected run of strokes with round joins.
Shape Polyline(std::vector<Pt> pts, float width) {
  return [=](float x, float y) {
    float d = 1e9f;
    for (size_t i = 1; i < pts.size(); ++i) d = std::min(d, SegmentDistance(x, y, pts[i - 1], pts[i]));
    return d - width / 2;
  };
}

Shape Polygon(std::vector<Pt> pts) {
  return [=](float x, float y) {
    float d = 1e9f;
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      const Pt a = pts[j], b = pts[i];
      d = std::min(d, SegmentDistance(x, y, a, b));
      if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y)) inside = !inside;
    }
    return inside ? -d : d;
  };
}

// Angles are in degrees, clockwise from twelve o'clock, as on a dial.
Pt OnDial(float cx, float cy, float r, float degrees) {
  const float a = degrees * kPi / 180;
  return {cx + r * std::sin(a), cy - r * std::cos(a)};
}

// A circular stroke from one dial angle clockwise to another, round ends.
Shape Arc(float cx, float cy, float r, float from, float to, float width) {
  const Pt a = OnDial(cx, cy, r, from), b = OnDial(cx, cy, r, to);
  const float span = std::fmod(to - from + 720, 360.f);
  return [=](float x, float y) {
    const float angle = std::atan2(x - cx, cy - y) * 180 / kPi;
    if (std::fmod(angle - from + 720, 360.f) <= span)
      return std::fabs(std::hypot(x - cx, y - cy) - r) - width / 2;
    return std::min(std::hypot(x - a.x, y - a.y), std::hypot(x - b.x, y - b.y)) - width / 2;
  };
}

Shape Union(std::initializer_list<Shape> shapes) {
  std::vector<Shape> all(shapes);
  return [=](float x, float y) {
    float d = 1e9f;
    for (const Shape& s : all) d = std::min(d, s(x, y));
    return d;
  };
}

Shape Minus(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}

Shape Intersect(Shape a, Shape b) {
  return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}

// Positive amounts shrink the shape.
Shape Inset(Shape s, float amount) {
  return [=](float x, float y) { return s(x, y) + amount; };
}

Shape Rotate(Shape s, float cx, float cy, float degrees) {
  const float a = -degrees * kPi / 180, c = std::cos(a), sn = std::sin(a);
  return [=](float x, float y) {
    const float dx = x - cx, dy = y - cy;
    return s(cx + dx * c - dy * sn, cy + dx * sn + dy * c);
  };
}

// --- canvas -----------------------------------------------------------------

class Canvas {
 public:
  // Paints colour (0xAARRGGBB) wherever the shape is, source over.
  void Fill(const Shape& shape, uint32_t color) {
    const float a = (color >> 24) / 255.f;
    const float rgb[3] = {(color >> 16 & 0xFF) / 255.f, (color >> 8 & 0xFF) / 255.f,
                          (color & 0xFF) / 255.f};
    ForCoverage(shape, [&](float* px, float cover) {
      const float k = a * cover;
      for (int i = 0; i < 3; ++i) px[i] = rgb[i] * k + px[i] * (1 - k);
      px[3] = k + px[3] * (1 - k);
    });
  }

  // Punches the shape out, leaving transparency.
  void Erase(const Shape& shape) {
    ForCoverage(shape, [](float* px, float cover) {
      for (int i = 0; i < 4; ++i) px[i] *= 1 - cover;
    });
  }

  // The shape with a one-pixel rim of the line colour.
  void Outlined(const Shape& shape, uint32_t fill, uint32_t line) {
    Fill(shape, line);
    Fill(Inset(shape, 1), fill);
  }

  fw::Image Image() const {
    fw::Image image;
    for (int i = 0; i < kSize * kSize; ++i) {
      const float* px = &px_[i * 4];
      const auto alpha = static_cast<uint32_t>(std::lround(std::clamp(px[3], 0.f, 1.f) * 255));
      if (alpha == 0) continue;
      uint32_t argb = alpha << 24;
      for (int c = 0; c < 3; ++c) {
        const float v = std::clamp(px[c] / px[3], 0.f, 1.f);
        argb |= static_cast<uint32_t>(std::lround(v * 255)) << (16 - 8 * c);
      }
      image.argb[i] = argb;
    }
    return image;
  }

 private:
  // Each pixel is sampled on a 4x4 grid; each sample is itself smoothed over
  // its quarter-pixel footprint, which is plenty for shapes this small.
  template <class Apply>
  void ForCoverage(const Shape& shape, Apply apply) {
    constexpr int kGrid = 4;
    constexpr float kStep = 1.f / kGrid;
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) {
        // Distances change no faster than the position, so a pixel whose
        // centre is this far from the edge is wholly in or out.
        const float centre = shape(x + 0.5f, y + 0.5f);
        if (centre >= 0.7f) continue;
        if (centre <= -0.7f) {
          apply(&px_[(y * kSize + x) * 4], 1.f);
          continue;
        }
        float cover = 0;
        for (int sy = 0; sy < kGrid; ++sy)
          for (int sx = 0; sx < kGrid; ++sx) {
            const float d = shape(x + (sx + 0.5f) * kStep, y + (sy + 0.5f) * kStep);
            cover += std::clamp(0.5f - d / kStep, 0.f, 1.f);
          }
        cover /= kGrid * kGrid;
        if (cover > 0.002f) apply(&px_[(y * kSize + x) * 4], cover);
      }
  }

  std::vector<float> px_ = std::vector<float>(kSize * kSize * 4, 0.f);  // premultiplied RGBA
};

// --- palette ----------------------------------------------------------------

constexpr uint32_t kInk = 0xFF3B4552;  // outline of neutral objects
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kPaper = 0xFFFBFCFD;
constexpr uint32_t kPaperLine = 0xFF6F7A86;
constexpr uint32_t kPaperText = 0xFFB4BEC8;
constexpr uint32_t kSilver = 0xFFD5DCE3;
constexpr uint32_t kGrey = 0xFF9BA6B2;
constexpr uint32_t kSteel = 0xFF6E7D8D;
constexpr uint32_t kBlue = 0xFF2F80ED;
constexpr uint32_t kBlueDark = 0xFF1B4F9C;
constexpr uint32_t kSky = 0xFF5AA9F5;
constexpr uint32_t kSkyLight = 0xFF8CC6FF;
constexpr uint32_t kGlass = 0xFFD8EAFA;
constexpr uint32_t kGreen = 0xFF35A852;
constexpr uint32_t kGreenDark = 0xFF1D6A33;
constexpr uint32_t kRed = 0xFFE2463F;
constexpr uint32_t kRedDark = 0xFF971E1A;
constexpr uint32_t kYellow = 0xFFFFCB4C;
constexpr uint32_t kYellowBack = 0xFFEFA92B;
constexpr uint32_t kYellowDark = 0xFFA2700F;
constexpr uint32_t kOrange = 0xFFFF9A2E;
constexpr uint32_t kWood = 0xFFC98B4E;
constexpr uint32_t kWoodDark = 0xFF75461C;
constexpr uint32_t kCardboard = 0xFFDDAA6C;
constexpr uint32_t kCardboardLight = 0xFFEEC892;
constexpr uint32_t kCardboardDark = 0xFF8C5A25;

// --- shared pieces ----------------------------------------------------------

void Monitor(Canvas& c, float x0, float y0, float x1, float y1) {
  const float cx = (x0 + x1) / 2;
  c.Fill(Box(cx - 1, y1 - 0.5f, cx + 1, y1 + 1.5f), kSteel);
  c.Fill(Box(cx - 3, y1 + 1, cx + 3, y1 + 2.5f, 0.7f), kInk);
  c.Fill(Box(x0, y0, x1, y1, 1), kInk);
  const Shape screen = Box(x0 + 1, y0 + 1, x1 - 1, y1 - 1);
  c.Fill(screen, kSky);
  // A glare across the upper left of the screen.
  c.Fill(Intersect(screen, Polygon({{x0, y0}, {x1 - 3, y0}, {x0, y1 - 1}})), kSkyLight);
}

// A circular emblem used for badges and for the power buttons.
void Disc(Canvas& c, float cx, float cy, float r, uint32_t fill, uint32_t line) {
  c.Outlined(Circle(cx, cy, r), fill, line);
}

void Folder(Canvas& c) {
  c.Outlined(Polygon({{1, 2}, {6, 2}, {8, 4}, {15, 4}, {15, 14}, {1, 14}}), kYellowBack,
             kYellowDark);
  c.Outlined(Polygon({{1, 6}, {15, 6}, {15, 14}, {1, 14}}), kYellow, kYellowDark);
}

// A sheet of paper with a folded corner, occupying [x0,x1]x[y0,y1].
void Document(Canvas& c, float x0, float y0, float x1, float y1, bool text = true) {
  const float fold = 4;
  c.Outlined(Polygon({{x0, y0}, {x1 - fold, y0}, {x1, y0 + fold}, {x1, y1}, {x0, y1}}), kPaper,
             kPaperLine);
  c.Outlined(Polygon({{x1 - fold - 0.5f, y0}, {x1 - fold - 0.5f, y0 + fold + 0.5f},
                      {x1, y0 + fold + 0.5f}}),
             kSilver, kPaperLine);
  if (text)
    for (float y = y0 + 6; y < y1 - 2; y += 2) c.Fill(Box(x0 + 2, y, x1 - 2, y + 1), kPaperText);
}

// An application window with a title bar; returns the client area.
Shape Window(Canvas& c, float x0, float y0, float x1, float y1, uint32_t title = kBlue) {
  c.Fill(Box(x0, y0, x1, y1, 1), kInk);
  c.Fill(Box(x0 + 1, y0 + 1, x1 - 1, y0 + 4), title);
  const Shape client = Box(x0 + 1, y0 + 4, x1 - 1, y1 - 1);
  c.Fill(client, kPaper);
  return client;
}

Shape Plus(float cx, float cy, float arm, float width) {
  return Union({Box(cx - arm, cy - width / 2, cx + arm, cy + width / 2),
                Box(cx - width / 2, cy - arm, cx + width / 2, cy + arm)});
}

// Gear with the given number of teeth, hole punched out.
Shape Gear(float cx, float cy, float r, int teeth) {
  std::vector<Shape> parts{Circle(cx, cy, r * 0.72f)};
  for (int i = 0; i < teeth; ++i)
    parts.push_back(Rotate(Box(cx - r * 0.2f, cy - r, cx + r * 0.2f, cy, 0.4f), cx, cy,
                           360.f * i / teeth));
  const Shape body = [parts](float x, float y) {
    float d = 1e9f;
    for (const Shape& s : parts) d = std::min(d, s(x, y));
    return d;
  };
  return Minus(body, Circle(cx, cy, r * 0.3f));
}

// --- the pictures -----------------------------------------------------------

void DrawComputer(Canvas& c) { Monitor(c, 1, 1.5f, 15, 11.5f); }

void DrawLinkGroup(Canvas& c) {
  Folder(c);
  // Five-pointed star in the lower right corner.
  std::vector<Pt> star;
  for (int i = 0; i < 10; ++i) star.push_back(OnDial(11.5f, 10.8f, i % 2 ? 2.4f : 5.1f, 36.f * i));
  c.Outlined(Polygon(star), kSky, kBlueDark);
}

void DrawShutDown(Canvas& c) {
  Disc(c, 8, 8, 7.5f, kRed, kRedDark);
  c.Fill(Arc(8, 8.6f, 3.7f, 42, 318, 1.7f), kWhite);
  c.Fill(Line(8, 3.3f, 8, 8, 1.7f), kWhite);
}

void DrawRestart(Canvas& c) {
  Disc(c, 8, 8, 7.5f, kGreen, kGreenDark);
  c.Fill(Arc(8, 8, 3.8f, 95, 355, 1.7f), kWhite);
  c.Fill(Polygon({{7.6f, 1.8f}, {11.4f, 4.2f}, {7.6f, 6.6f}}), kWhite);
}

void DrawLogOff(Canvas& c) {
  c.Outlined(Box(1.5f, 1, 10.5f, 15, 0.5f), kWood, kWoodDark);
  c.Fill(Box(3.5f, 3, 8.5f, 6.5f), 0xFFB5773C);
  c.Fill(Box(3.5f, 9, 8.5f, 13), 0xFFB5773C);
  c.Outlined(Polygon({{6, 6.5f}, {10, 6.5f}, {10, 3.5f}, {15, 8}, {10, 12.5f}, {10, 9.5f}, {6, 9.5f}}),
             kSky, kBlueDark);
}

// The tray picture: a rocket on a rounded tile. Only the colours change with
// the state, so the silhouette stays put when the launcher is toggled.
void DrawProgram(Canvas& c, bool on) {
  const uint32_t tile = on ? kBlue : 0xFF8E8E8E;
  const uint32_t rim = on ? kBlueDark : 0xFF555555;
  const uint32_t glyph = on ? kWhite : 0xFFE2E2E2;
  const uint32_t flame = on ? kOrange : 0xFFBBBBBB;
  c.Outlined(Box(0, 0, 16, 16, 3.5f), tile, rim);
  // Drawn pointing up, then tilted to fly to the upper right.
  auto tilt = [](Shape s) { return Rotate(s, 8, 8, 45); };
  c.Fill(tilt(Polygon({{6.6f, 11.5f}, {9.4f, 11.5f}, {8, 15.5f}})), flame);
  c.Fill(tilt(Union({Polygon({{8, 2.2f}, {10.2f, 5.5f}, {10.2f, 11.5f}, {5.8f, 11.5f},
                               {5.8f, 5.5f}}),
                      Polygon({{5.8f, 8.5f}, {3.8f, 11}, {3.8f, 12.5f}, {5.8f, 11.5f}}),
                      Polygon({{10.2f, 8.5f}, {12.2f, 11}, {12.2f, 12.5f}, {10.2f, 11.5f}})})),
         glyph);
  c.Fill(tilt(Circle(8, 6.8f, 1.2f)), tile);
}

void DrawFolder(Canvas& c) { Folder(c); }

void DrawWindowsGroup(Canvas& c) {
  c.Outlined(Box(1, 1, 15, 15, 1.5f), kGrey, kInk);
  for (float y : {3.f, 8.5f})
    for (float x : {3.f, 8.5f}) {
      c.Fill(Box(x, y, x + 4.5f, y + 4.5f), kGlass);
      c.Fill(Polygon({{x, y}, {x + 2.5f, y}, {x, y + 2.5f}}), kWhite);
    }
}

void DrawControlPanel(Canvas& c) {
  c.Outlined(Box(1, 1, 15, 15, 2), kSilver, kInk);
  const struct {
    float x, knob;
    uint32_t color;
  } sliders[] = {{4.5f, 9, kBlue}, {8, 5, kGreen}, {11.5f, 10, kOrange}};
  for (const auto& s : sliders) {
    c.Fill(Box(s.x - 0.5f, 3, s.x + 0.5f, 13), kSteel);
    c.Fill(Box(s.x - 1.7f, s.knob - 1.5f, s.x + 1.7f, s.knob + 1.5f, 0.6f), kInk);
    c.Fill(Box(s.x - 0.7f, s.knob - 0.5f, s.x + 0.7f, s.knob + 0.5f), s.color);
  }
}

void DrawSystem(Canvas& c) {
  Monitor(c, 0, 1, 13, 10.5f);
  Disc(c, 11.5f, 11.5f, 4.5f, kGreen, kGreenDark);
  c.Fill(Polyline({{9.4f, 11.6f}, {11, 13.1f}, {13.6f, 10}}, 1.5f), kWhite);
}

void DrawPrinter(Canvas& c) {
  c.Outlined(Box(4, 1, 12, 7), kPaper, kPaperLine);
  c.Outlined(Box(1, 5, 15, 12, 1.5f), kSilver, kInk);
  c.Fill(Box(2, 6, 14, 7.5f), kWhite);
  c.Fill(Circle(12.5f, 9, 0.9f), kGreen);
  c.Fill(Box(3, 10, 13, 11), kInk);
  c.Outlined(Box(4, 10, 12, 15.5f), kPaper, kPaperLine);
  c.Fill(Box(5.5f, 12, 10.5f, 13), kPaperText);
}

void DrawAddRemove(Canvas& c) {
  c.Outlined(Box(1, 4, 12, 15), kCardboard, kCardboardDark);
  c.Outlined(Box(0.5f, 2, 12.5f, 6), kCardboardLight, kCardboardDark);
  c.Fill(Box(5.5f, 3, 7, 10), 0xFFC48F4F);
  Disc(c, 11.5f, 11.5f, 4.5f, kGreen, kGreenDark);
  c.Fill(Plus(11.5f, 11.5f, 2.6f, 1.6f), kWhite);
  Disc(c, 12.5f, 3.5f, 3.5f, kRed, kRedDark);
  c.Fill(Box(10.7f, 2.8f, 14.3f, 4.2f), kWhite);
}

void DrawNetwork(Canvas& c) {
  c.Fill(Polyline({{13.5f, 9}, {13.5f, 14}, {8, 14}}, 1.2f), kSteel);
  Monitor(c, 6, 0, 16, 7);
  Monitor(c, 0, 5, 10, 12);
}

void DrawRecycleBin(Canvas& c) {
  c.Outlined(Polygon({{2.5f, 4.5f}, {13.5f, 4.5f}, {12, 15}, {4, 15}}), kSilver, kInk);
  for (float x : {5.8f, 8.f, 10.2f}) c.Fill(Line(x, 7, x, 12.8f, 1.2f), kGrey);
  c.Fill(Minus(Box(5.5f, 0.5f, 10.5f, 3, 1), Box(7, 2, 9, 3)), kInk);
  c.Outlined(Box(1, 2.5f, 15, 5.5f, 1), kGrey, kInk);
}

void DrawNewLink(Canvas& c) {
  Document(c, 1.5f, 0.5f, 12.5f, 15.5f);
  Disc(c, 11.5f, 11.5f, 4.5f, kGreen, kGreenDark);
  c.Fill(Plus(11.5f, 11.5f, 2.6f, 1.6f), kWhite);
}

void DrawRun(Canvas& c) {
  Window(c, 0.5f, 1.5f, 15.5f, 14.5f);
  c.Outlined(Polygon({{5.5f, 6.5f}, {11.5f, 10}, {5.5f, 13.5f}}), kGreen, kGreenDark);
}

void DrawMinimiseAll(Canvas& c) {
  Window(c, 4.5f, 0.5f, 15.5f, 7.5f, kSteel);
  Window(c, 0.5f, 2.5f, 12.5f, 10.5f);
  c.Fill(Box(0.5f, 13.5f, 15.5f, 15.5f, 0.5f), kInk);
  c.Outlined(Polygon({{7, 5}, {10, 5}, {10, 8.5f}, {12, 8.5f}, {8.5f, 12.5f}, {5, 8.5f}, {7, 8.5f}}),
             kGreen, kGreenDark);
}

void DrawDosProgram(Canvas& c) {
  c.Fill(Box(0.5f, 1.5f, 15.5f, 14.5f, 1), kInk);
  c.Fill(Box(1.5f, 2.5f, 14.5f, 4.5f), kGrey);
  c.Fill(Box(1.5f, 4.5f, 14.5f, 13.5f), 0xFF10141A);
  c.Fill(Polyline({{3.5f, 6.8f}, {6, 8.8f}, {3.5f, 10.8f}}, 1.3f), kWhite);
  c.Fill(Box(7, 10.5f, 11, 11.8f), kWhite);
}

void DrawPrograms(Canvas& c) {
  Window(c, 0.5f, 1.5f, 15.5f, 14.5f);
  c.Fill(Box(12, 2.8f, 14, 4.2f), kWhite);
  c.Fill(Box(1.5f, 5.5f, 5, 13.5f), kGlass);
  for (float y : {7.f, 9.f, 11.f}) c.Fill(Box(6.5f, y, 13, y + 1), kPaperText);
}

void DrawLinks(Canvas& c) {
  Document(c, 3.5f, 0.5f, 14.5f, 15.5f);
  c.Outlined(Box(0.5f, 7.5f, 9.5f, 15.5f, 1), kWhite, kInk);
  c.Fill(Polyline({{3, 13.5f}, {3, 11.5f}, {4, 10.5f}, {7, 10.5f}}, 1.4f), kBlue);
  c.Fill(Polygon({{6, 8.3f}, {8.4f, 10.5f}, {6, 12.7f}}), kBlue);
}

void DrawSettings(Canvas& c) { c.Outlined(Gear(8, 8, 7.5f, 8), 0xFFB3BECA, kInk); }

void DrawFileSearch(Canvas& c) {
  c.Fill(Line(10.5f, 10.5f, 14, 14, 4), kInk);
  c.Fill(Line(10.8f, 10.8f, 13.8f, 13.8f, 2), kSteel);
  c.Fill(Circle(6.5f, 6.5f, 6), kInk);
  c.Fill(Circle(6.5f, 6.5f, 5), kSky);
  c.Fill(Circle(6.5f, 6.5f, 3.8f), kGlass);
  c.Fill(Arc(6.5f, 6.5f, 2.4f, 280, 350, 1.1f), kWhite);
}

void DrawRecentDocuments(Canvas& c) {
  Document(c, 1.5f, 0.5f, 12.5f, 15.5f);
  Disc(c, 11.5f, 11.5f, 4.5f, kWhite, kBlueDark);
  c.Fill(Arc(11.5f, 11.5f, 3.3f, 0, 360, 0.8f), kSky);
  c.Fill(Polyline({{11.5f, 9}, {11.5f, 11.5f}, {13.3f, 12.5f}}, 1.1f), kInk);
}

}  // namespace

std::vector<fw::Image> BuiltinMenuImages() {
  using Draw = void (*)(Canvas&);
  static const Draw kDraw[] = {
      DrawComputer,       DrawLinkGroup,
      DrawShutDown,       DrawRestart,
      DrawLogOff,         [](Canvas& c) { DrawProgram(c, true); },
      [](Canvas& c) { DrawProgram(c, false); },
      DrawFolder,         DrawWindowsGroup,
      DrawControlPanel,   DrawSystem,
      DrawPrinter,        DrawAddRemove,
      DrawNetwork,        DrawRecycleBin,
      DrawNewLink,        DrawRun,
      DrawMinimiseAll,    DrawDosProgram,
      DrawPrograms,       DrawLinks,
      DrawSettings,       DrawFileSearch,
      DrawRecentDocuments,
  };
  std::vector<fw::Image> images;
  images.reserve(std::size(kDraw));
  for (Draw draw : kDraw) {
    Canvas canvas;
    draw(canvas);
    images.push_back(canvas.Image());
  }
  return images;
}
