// The display's scale: lengths designed at 96 dots per inch grown to the
// monitor's, the sizes of the entries' pictures, and resampling pictures to
// those sizes. Pure arithmetic on pixels and dots per inch.
#pragma once

#include <cstdint>
#include <vector>

namespace jumpnest {

inline constexpr int kDesignDpi = 96;

// A length of `pixelsAt96` grown to `dpi`, rounded to the nearest pixel.
int ScaleForDpi(int pixelsAt96, int dpi);

// The edge of an entry's picture in the popup and the configuration window:
// large 32, small 16 at 96 dots per inch, grown with the scale.
int EntryPicturePixels(bool large, int dpi);

// Of the picture sizes the shell offers, the one to scale to `wanted`: the
// smallest at least as large, so a picture only ever shrinks; the largest
// when none is. 0 when nothing is offered.
int PickSourceSize(const std::vector<int>& offered, int wanted);

// A square picture as 32-bit pixels, alpha premultiplied (0xAARRGGBB), rows
// top down.
struct ArgbPicture {
    int size = 0;
    std::vector<std::uint32_t> pixels;
};

// Resamples `source` to `size` x `size`: every target pixel is the average of
// the source area it covers, weighted by how much of each source pixel lies
// in it. Shrinking blends neighbours smoothly; growing keeps hard edges with
// one blended pixel between, which suits the small drawn pictures.
ArgbPicture ResamplePicture(const ArgbPicture& source, int size);

// The edge of the smallest square, centred in the picture, outside which
// every pixel is fully transparent. The shell pads a picture that has no
// large version into its largest size; this tells such a one apart.
int OpaqueCentredEdge(const ArgbPicture& picture);

}  // namespace jumpnest
