#include "framework/win32/images.h"

#include <cstring>

namespace win32 {
namespace {

HBITMAP MakeDib(const fw::Image& image, bool premultiply) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = fw::Image::kSize;
  bi.bmiHeader.biHeight = -fw::Image::kSize;  // top row first
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bmp || !bits) return bmp;
  auto* out = static_cast<uint32_t*>(bits);
  for (int i = 0; i < fw::Image::kSize * fw::Image::kSize; ++i) {
    uint32_t p = image.argb[i];
    if (premultiply) {
      uint32_t a = p >> 24;
      uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
      p = (a << 24) | (r << 16) | (g << 8) | b;
    }
    out[i] = p;  // BGRA in memory is 0xAARRGGBB as a little-endian word
  }
  return bmp;
}

}  // namespace

Icon MakeIcon(const fw::Image& image) {
  Bitmap color(MakeDib(image, false));
  Bitmap mask(CreateBitmap(fw::Image::kSize, fw::Image::kSize, 1, 1, nullptr));
  if (!color || !mask) return Icon();
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = color.Get();
  info.hbmMask = mask.Get();
  return Icon(CreateIconIndirect(&info));  // copies both bitmaps
}

Bitmap MakeMenuBitmap(const fw::Image& image) { return Bitmap(MakeDib(image, true)); }

}  // namespace win32
