#pragma once
#include "framework/image_list.h"
#include "framework/win32/handles.h"

namespace win32 {

Icon MakeIcon(const fw::Image& image);
// A 32-bit premultiplied bitmap, as menus draw alpha images.
Bitmap MakeMenuBitmap(const fw::Image& image);

}  // namespace win32
