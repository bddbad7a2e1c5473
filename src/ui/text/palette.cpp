#include "ui/text/palette.h"

#include <algorithm>
#include <cmath>

#include "core/text.h"
#include "ui/text/designs.h"

namespace jumpnest {

namespace {

constexpr double kTextContrast = 4.5;  // WCAG AA for body text
// WCAG's least contrast for what tells a state apart: a selection darker
// than this against a dark list could not be seen at all.
constexpr double kStateContrast = 3.0;

constexpr std::uint32_t kWhite = RgbColor(255, 255, 255);

// Our dark colours: the grounds of Windows' own dark mode, near-white text,
// the help panel's yellow turned into a dark amber with a pale amber text.
constexpr std::uint32_t kDarkWindow = RgbColor(32, 32, 32);
constexpr std::uint32_t kDarkList = RgbColor(25, 25, 25);
constexpr std::uint32_t kDarkHeader = RgbColor(43, 43, 43);
constexpr std::uint32_t kDarkText = RgbColor(240, 240, 240);
constexpr std::uint32_t kDarkTitle = RgbColor(153, 204, 255);
constexpr std::uint32_t kDarkLine = RgbColor(100, 100, 100);
constexpr std::uint32_t kDarkAmber = RgbColor(72, 56, 8);
constexpr std::uint32_t kDarkAmberText = RgbColor(255, 232, 160);
constexpr std::uint32_t kDarkGray = RgbColor(150, 150, 150);
// Used when the accent is absent or would not do; white text on it.
constexpr std::uint32_t kDarkSelection = RgbColor(0, 110, 200);

Palette LightPalette(const SystemColors& c) {
    // As the windows were designed: the popup's title in navy on the menu
    // colour, rule and edge in the active border colour, the yellow help
    // panel, the navy link; everything else the system's dialog and list
    // colours the controls take by themselves.
    return {
        .popupBackground = c.buttonFace,
        .popupTitleBackground = c.menu,
        .popupTitleText = kNavy,
        .popupRowBackground = c.window,
        .popupRowText = c.windowText,
        .popupRule = c.activeBorder,
        .popupEdge = c.activeBorder,
        .selectedBackground = c.highlight,
        .selectedText = c.highlightText,
        .windowBackground = c.buttonFace,
        .windowText = c.buttonText,
        .helpBackground = kLightYellow,
        .helpText = kBlack,
        .listBackground = c.window,
        .listText = c.windowText,
        .linkText = kNavy,
        .grayText = c.grayText,
        .highContrast = false,
        .dark = false,
    };
}

Palette HighContrastPalette(const SystemColors& c) {
    // Only the scheme's own pairs: the light palette without the design's
    // own colours, text on the ground it was chosen for. Rule and edge take
    // the window text, the one colour a scheme promises stands out on its
    // window colour. `dark` stays off: the system draws frames and controls
    // in the scheme itself.
    Palette palette = LightPalette(c);
    palette.popupTitleBackground = c.buttonFace;
    palette.popupTitleText = c.buttonText;
    palette.popupRule = palette.popupEdge = c.windowText;
    palette.helpBackground = c.window;
    palette.helpText = c.windowText;
    palette.linkText = c.hotLight;
    palette.highContrast = true;
    return palette;
}

Palette DarkPalette(std::optional<std::uint32_t> accent) {
    Palette palette{
        .popupBackground = kDarkHeader,
        .popupTitleBackground = kDarkHeader,
        .popupTitleText = kDarkTitle,
        .popupRowBackground = kDarkWindow,
        .popupRowText = kDarkText,
        .popupRule = kDarkLine,
        .popupEdge = kDarkLine,
        .selectedBackground = kDarkSelection,
        .selectedText = kWhite,
        .windowBackground = kDarkWindow,
        .windowText = kDarkText,
        .helpBackground = kDarkAmber,
        .helpText = kDarkAmberText,
        .listBackground = kDarkList,
        .listText = kDarkText,
        .linkText = kDarkTitle,
        .grayText = kDarkGray,
        .highContrast = false,
        .dark = true,
    };
    if (accent) {
        const std::uint32_t colour = *accent & 0x00FFFFFF;
        const std::uint32_t text =
            ContrastRatio(colour, kBlack) >= ContrastRatio(colour, kWhite) ? kBlack : kWhite;
        if (ContrastRatio(colour, text) >= kTextContrast &&
            ContrastRatio(colour, palette.popupRowBackground) >= kStateContrast &&
            ContrastRatio(colour, palette.listBackground) >= kStateContrast) {
            palette.selectedBackground = colour;
            palette.selectedText = text;
        }
    }
    return palette;
}

double Linear(std::uint32_t channel) {
    const double value = channel / 255.0;
    return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double Luminance(std::uint32_t colour) {
    return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear(colour >> 8 & 0xFF) +
           0.0722 * Linear(colour >> 16 & 0xFF);
}

}  // namespace

ThemeChoice ParseThemeChoice(std::string_view stored) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!stored.empty() && blank(stored.front())) stored.remove_prefix(1);
    while (!stored.empty() && blank(stored.back())) stored.remove_suffix(1);
    if (EqualsIgnoringAsciiCase(stored, "light")) return ThemeChoice::Light;
    if (EqualsIgnoringAsciiCase(stored, "dark")) return ThemeChoice::Dark;
    return ThemeChoice::System;
}

Palette ChoosePalette(const SystemLook& look) {
    if (look.highContrast) return HighContrastPalette(look.colors);
    const bool dark = look.choice == ThemeChoice::Dark ||
                      (look.choice == ThemeChoice::System && look.appsUseLightTheme == false);
    return dark ? DarkPalette(look.accent) : LightPalette(look.colors);
}

double ContrastRatio(std::uint32_t first, std::uint32_t second) {
    const double a = Luminance(first), b = Luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

std::optional<std::uint32_t> DarkTitleBarAttribute(std::uint32_t build) {
    if (build >= 19041) return 20;  // DWMWA_USE_IMMERSIVE_DARK_MODE
    if (build >= 17763) return 19;  // its number before it was documented
    return std::nullopt;
}

bool HasDarkMenus(std::uint32_t build) {
    // Ordinal 135 is SetPreferredAppMode from this build; before it the
    // same ordinal took a different argument.
    return build >= 18362;
}

bool HasRoundCorners(std::uint32_t build) {
    return build >= 22000;
}

}  // namespace jumpnest
