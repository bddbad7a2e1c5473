// Pictures between GDI's handles and plain pixels, so that the scaling can
// be done by the portable resampler and not by GDI's stretching.
#pragma once

#include <windows.h>

#include <optional>

#include "core/handle_win.h"
#include "core/scale.h"

namespace jumpnest {

// The icon's pixels at its own size, alpha premultiplied. Works alike for
// icons with an alpha channel, with a mask only, and monochrome ones.
std::optional<ArgbPicture> PictureOfIcon(HICON icon);
// A 32-bit icon of the picture, with a mask for whoever ignores alpha.
UniqueIcon IconOfPicture(const ArgbPicture& picture);
// A square bitmap's pixels, `transparent` becoming fully transparent.
std::optional<ArgbPicture> PictureOfBitmap(HBITMAP bitmap, COLORREF transparent);
// The icon drawn on a plain `background`, as a bitmap for places that know
// no transparency, such as a menu item's check-mark picture.
UniqueBitmap BitmapOnBackground(HICON icon, int size, COLORREF background);

}  // namespace jumpnest
