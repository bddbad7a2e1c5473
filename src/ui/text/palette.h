// One palette for both windows, chosen from what the system says about its
// look: high contrast, dark or light app mode, a stored choice that overrides
// the mode, the system colours and the accent.
//
// Every colour here is a resolved 0x00BBGGRR value (the layout of a Win32
// COLORREF), never a kSysColorFlag reference: the system colours arrive as
// values in SystemLook, so the choice is pure and a window paints with what
// the palette holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace jumpnest {

constexpr std::uint32_t RgbColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16;
}

struct Palette {
    // The popup: its own ground around the title, the title label, the
    // rows, the rule under the title and the one-pixel edge.
    std::uint32_t popupBackground;
    std::uint32_t popupTitleBackground;
    std::uint32_t popupTitleText;
    std::uint32_t popupRowBackground;
    std::uint32_t popupRowText;
    std::uint32_t popupRule;
    std::uint32_t popupEdge;
    // A selected row, in the popup and in the configuration window's lists.
    std::uint32_t selectedBackground;
    std::uint32_t selectedText;
    // The configuration window: its ground and labels, the help panel, the
    // lists, the link.
    std::uint32_t windowBackground;
    std::uint32_t windowText;
    std::uint32_t helpBackground;
    std::uint32_t helpText;
    std::uint32_t listBackground;
    std::uint32_t listText;
    std::uint32_t linkText;
    // An entry whose file is away, the popup's "no match" row, disabled text;
    // readable on the popup's rows and on the lists alike.
    std::uint32_t grayText;

    bool highContrast;  // the user's own scheme: draw with the system's colours only
    bool dark;          // dark title bar, dark controls and menus wanted

    bool operator==(const Palette&) const = default;
};

// An optional stored value `Theme`: "light" or "dark" overrides the system's
// app mode; anything else, or nothing, follows it.
enum class ThemeChoice { System, Light, Dark };
ThemeChoice ParseThemeChoice(std::string_view stored);

// The system colours the light and high-contrast palettes are made of, as the
// system reports them (GetSysColor). The defaults are Windows 10's.
struct SystemColors {
    std::uint32_t window = RgbColor(255, 255, 255);
    std::uint32_t windowText = RgbColor(0, 0, 0);
    std::uint32_t buttonFace = RgbColor(240, 240, 240);
    std::uint32_t buttonText = RgbColor(0, 0, 0);
    std::uint32_t highlight = RgbColor(0, 120, 215);
    std::uint32_t highlightText = RgbColor(255, 255, 255);
    std::uint32_t grayText = RgbColor(109, 109, 109);
    std::uint32_t hotLight = RgbColor(0, 102, 204);  // links
    std::uint32_t menu = RgbColor(240, 240, 240);
    std::uint32_t activeBorder = RgbColor(180, 180, 180);
};

struct SystemLook {
    bool highContrast = false;
    std::optional<bool> appsUseLightTheme;  // missing: light
    ThemeChoice choice = ThemeChoice::System;
    SystemColors colors;
    std::optional<std::uint32_t> accent;  // absent where the system has none to give
};

// High contrast wins over every mode and choice and uses only the system
// colours. Light is the windows' design as it always was. Dark keeps every
// text at 4.5:1 or more on its background.
Palette ChoosePalette(const SystemLook& look);

// The WCAG 2 contrast ratio of two colours, from 1 (same) to 21 (black on white).
double ContrastRatio(std::uint32_t first, std::uint32_t second);

// What a Windows build offers, by build number.
// The DWM attribute that darkens a title bar: 20 from build 19041, 19 on the
// earlier builds of Windows 10 that had it under that number, none before.
std::optional<std::uint32_t> DarkTitleBarAttribute(std::uint32_t build);
// uxtheme's SetPreferredAppMode and FlushMenuThemes, by ordinal.
bool HasDarkMenus(std::uint32_t build);
// Windows 11's rounded window corners.
bool HasRoundCorners(std::uint32_t build);
inline constexpr std::uint32_t kDwmWindowCornerPreference = 33;  // DWMWA_WINDOW_CORNER_PREFERENCE
inline constexpr std::uint32_t kDwmCornerRoundSmall = 3;         // DWMWCP_ROUNDSMALL

}  // namespace jumpnest
