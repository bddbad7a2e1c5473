#include "core/pictures_win.h"

#include <algorithm>
#include <cstring>

namespace jumpnest {

namespace {

// A 32-bit picture of `size` x `size`, its rows top down, as DIBs describe it.
BITMAPINFO TopDown32(int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// A top-down 32-bit DIB section of `size` x `size` selected into its own
// memory DC.
class PixelCanvas {
public:
    explicit PixelCanvas(int size) : size_(size), dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = TopDown32(size);
        void* bits = nullptr;
        bitmap_.reset(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint32_t*>(bits);
        if (dc_ && bitmap_) old_ = ::SelectObject(dc_, bitmap_.get());
    }
    ~PixelCanvas() {
        if (old_) ::SelectObject(dc_, old_);
        if (dc_) ::DeleteDC(dc_);
    }
    PixelCanvas(const PixelCanvas&) = delete;
    PixelCanvas& operator=(const PixelCanvas&) = delete;

    bool ok() const { return old_ != nullptr && bits_ != nullptr; }
    HDC dc() const { return dc_; }
    std::uint32_t* bits() const { return bits_; }
    size_t count() const { return static_cast<size_t>(size_) * size_; }
    void Fill(std::uint32_t value) {
        ::GdiFlush();
        std::fill(bits_, bits_ + count(), value);
    }
    // Hands the bitmap over, deselected: the canvas is done with.
    UniqueBitmap Take() {
        ::SelectObject(dc_, old_);
        old_ = nullptr;
        return std::move(bitmap_);
    }

private:
    int size_;
    HDC dc_;
    UniqueBitmap bitmap_;
    std::uint32_t* bits_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

int IconEdge(HICON icon) {
    ICONINFO info{};
    if (!::GetIconInfo(icon, &info)) return 0;
    UniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap{};
    if (color && ::GetObjectW(color.get(), sizeof(bitmap), &bitmap)) return bitmap.bmWidth;
    // A monochrome icon keeps its picture and its mask in one bitmap.
    if (mask && ::GetObjectW(mask.get(), sizeof(bitmap), &bitmap)) return bitmap.bmWidth;
    return 0;
}

}  // namespace

std::optional<ArgbPicture> PictureOfIcon(HICON icon) {
    const int size = icon ? IconEdge(icon) : 0;
    if (size <= 0 || size > 1024) return std::nullopt;
    // Drawn once on black and once on white: on black every channel comes
    // out premultiplied by the alpha, and white shows through by exactly
    // what the alpha leaves. That holds for every kind of icon GDI can draw.
    PixelCanvas black(size), white(size);
    if (!black.ok() || !white.ok()) return std::nullopt;
    black.Fill(0xFF000000);
    white.Fill(0xFFFFFFFF);
    if (!::DrawIconEx(black.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) ||
        !::DrawIconEx(white.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL)) {
        return std::nullopt;
    }
    ::GdiFlush();
    ArgbPicture picture{size, std::vector<std::uint32_t>(black.count())};
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        const std::uint32_t onBlack = black.bits()[i], onWhite = white.bits()[i];
        // The green channel tells the alpha as well as any: 255 less what
        // of the white shows through.
        const int shown =
            static_cast<int>((onWhite >> 8) & 0xFF) - static_cast<int>((onBlack >> 8) & 0xFF);
        const std::uint32_t alpha = static_cast<std::uint32_t>(255 - std::clamp(shown, 0, 255));
        std::uint32_t pixel = alpha << 24;
        for (int c = 0; c < 3; ++c) {
            pixel |= std::min((onBlack >> (8 * c)) & 0xFF, alpha) << (8 * c);
        }
        picture.pixels[i] = pixel;
    }
    return picture;
}

UniqueIcon IconOfPicture(const ArgbPicture& picture) {
    const int size = picture.size;
    if (size <= 0 || picture.pixels.size() != static_cast<size_t>(size) * size) return {};
    PixelCanvas color(size);
    if (!color.ok()) return {};
    // Icons keep their colours straight, not premultiplied.
    const int maskStride = ((size + 15) / 16) * 2;  // rows of a monochrome bitmap are words
    std::vector<unsigned char> maskBits(static_cast<size_t>(maskStride) * size, 0);
    ::GdiFlush();
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const std::uint32_t p = picture.pixels[static_cast<size_t>(y) * size + x];
            const std::uint32_t alpha = p >> 24;
            std::uint32_t straight = alpha << 24;
            for (int c = 0; c < 3 && alpha; ++c) {
                const std::uint32_t value = ((p >> (8 * c)) & 0xFF) * 255 / alpha;
                straight |= std::min<std::uint32_t>(value, 255) << (8 * c);
            }
            color.bits()[static_cast<size_t>(y) * size + x] = straight;
            if (alpha == 0)
                maskBits[static_cast<size_t>(y) * maskStride + x / 8] |= 0x80 >> (x % 8);
        }
    }
    UniqueBitmap colorBitmap = color.Take();
    UniqueBitmap mask(::CreateBitmap(size, size, 1, 1, maskBits.data()));
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colorBitmap.get();
    info.hbmMask = mask.get();
    return UniqueIcon(::CreateIconIndirect(&info));  // copies both bitmaps
}

std::optional<ArgbPicture> PictureOfBitmap(HBITMAP bitmap, COLORREF transparent) {
    BITMAP header{};
    if (!bitmap || !::GetObjectW(bitmap, sizeof(header), &header) || header.bmWidth <= 0 ||
        header.bmWidth != std::abs(header.bmHeight) || header.bmWidth > 1024) {
        return std::nullopt;
    }
    const int size = header.bmWidth;
    ArgbPicture picture{size, std::vector<std::uint32_t>(static_cast<size_t>(size) * size)};
    BITMAPINFO info = TopDown32(size);
    HDC screen = ::GetDC(nullptr);
    const int rows = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(size), picture.pixels.data(),
                                 &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != size) return std::nullopt;
    // DIB pixels are 0x00RRGGBB; a COLORREF is 0x00BBGGRR.
    const std::uint32_t key =
        (GetRValue(transparent) << 16) | (GetGValue(transparent) << 8) | GetBValue(transparent);
    for (std::uint32_t& pixel : picture.pixels) {
        pixel = (pixel & 0xFFFFFF) == key ? 0 : (pixel | 0xFF000000);
    }
    return picture;
}

UniqueBitmap BitmapOnBackground(HICON icon, int size, COLORREF background) {
    PixelCanvas canvas(size);
    if (!canvas.ok()) return {};
    canvas.Fill((GetRValue(background) << 16) | (GetGValue(background) << 8) |
                GetBValue(background));
    ::DrawIconEx(canvas.dc(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
    return canvas.Take();
}

}  // namespace jumpnest
