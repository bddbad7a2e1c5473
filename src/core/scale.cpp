#include "core/scale.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace jumpnest {

int ScaleForDpi(int pixelsAt96, int dpi) {
    return static_cast<int>(std::lround(static_cast<double>(pixelsAt96) * dpi / kDesignDpi));
}

int EntryPicturePixels(bool large, int dpi) {
    return ScaleForDpi(large ? 32 : 16, dpi);
}

int PickSourceSize(const std::vector<int>& offered, int wanted) {
    int best = 0;
    for (int size : offered) {
        if (size <= 0) continue;
        const bool fits = size >= wanted;
        const bool bestFits = best >= wanted;
        // A fitting size beats any that does not; among fitting sizes the
        // smallest shrinks least; among the rest the largest grows least.
        if (best == 0 || (fits && !bestFits) || (fits && size < best) ||
            (!fits && !bestFits && size > best)) {
            best = size;
        }
    }
    return best;
}

ArgbPicture ResamplePicture(const ArgbPicture& source, int size) {
    ArgbPicture target{size, std::vector<std::uint32_t>(static_cast<size_t>(size) * size)};
    const int from = source.size;
    if (from <= 0 || size <= 0 ||
        source.pixels.size() < static_cast<size_t>(from) * static_cast<size_t>(from)) {
        return target;
    }
    const double scale = static_cast<double>(from) / size;
    // The share of source pixel `s` in the span [start, end) of one axis.
    auto cover = [](int s, double start, double end) {
        return std::max(0.0, std::min<double>(s + 1, end) - std::max<double>(s, start));
    };
    for (int y = 0; y < size; ++y) {
        const double top = y * scale, bottom = (y + 1) * scale;
        for (int x = 0; x < size; ++x) {
            const double left = x * scale, right = (x + 1) * scale;
            double sum[4] = {0, 0, 0, 0};
            double weight = 0;
            for (int sy = static_cast<int>(top);
                 sy < std::min(from, static_cast<int>(std::ceil(bottom))); ++sy) {
                const double wy = cover(sy, top, bottom);
                for (int sx = static_cast<int>(left);
                     sx < std::min(from, static_cast<int>(std::ceil(right))); ++sx) {
                    const double w = wy * cover(sx, left, right);
                    const std::uint32_t p = source.pixels[static_cast<size_t>(sy) * from + sx];
                    for (int c = 0; c < 4; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                    weight += w;
                }
            }
            std::uint32_t pixel = 0;
            // Premultiplied channels average correctly: a transparent
            // neighbour darkens nothing, it only thins the alpha.
            for (int c = 0; c < 4 && weight > 0; ++c) {
                const auto value = static_cast<std::uint32_t>(std::lround(sum[c] / weight));
                pixel |= std::min<std::uint32_t>(value, 255) << (8 * c);
            }
            target.pixels[static_cast<size_t>(y) * size + x] = pixel;
        }
    }
    return target;
}

int OpaqueCentredEdge(const ArgbPicture& picture) {
    // The distance of the farthest visible pixel from the centre line, on
    // either axis, doubled: the edge of the centred square that holds them.
    const int size = picture.size;
    int edge = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if ((picture.pixels[static_cast<size_t>(y) * size + x] >> 24) == 0) continue;
            const int dx = std::max(size - 2 * x, 2 * x + 2 - size);
            const int dy = std::max(size - 2 * y, 2 * y + 2 - size);
            edge = std::max({edge, dx, dy});
        }
    }
    return edge;
}

}  // namespace jumpnest
