// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The colour rule over the window's own table, on the desktops its users
// have: every text readable by the WCAG 2 formula (worked out here again,
// not taken from the rule), the table's colours unchanged where the desktop
// is light, and a highlighted box never drawn as a plain one.

#include "formmodel.h"
#include "frmmain.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

using forms::Colour;

constexpr Colour yellow = 0x0000FFFF;
constexpr Colour white = 0x00FFFFFF;
constexpr Colour black = 0x00000000;
constexpr Colour cyan = 0x00FFFF80;
constexpr Colour blue = 0x00FF0000;

double rgb(Colour c, int shift)
{
    return double((c >> shift) & 0xFF) / 255.0;
}

double wcagLuminance(Colour c)
{
    double l = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722}; // red, green, blue
    for (int k = 0; k < 3; ++k) {
        const double s = rgb(c, 8 * k);
        l += weights[k] * (s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
    }
    return l;
}

double wcagContrast(Colour a, Colour b)
{
    const double la = wcagLuminance(a);
    const double lb = wcagLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The hue in degrees, -1 for a grey.
double hue(Colour c)
{
    const double r = rgb(c, 0), g = rgb(c, 8), b = rgb(c, 16);
    const double max = std::max({r, g, b}), min = std::min({r, g, b});
    if (max - min < 1e-9)
        return -1;
    double h = max == r ? (g - b) / (max - min) : max == g ? 2 + (b - r) / (max - min) : 4 + (r - g) / (max - min);
    return std::fmod(h * 60 + 360, 360);
}

struct Desktop
{
    const char *name;
    forms::PlatformColours colours;
    bool light;
};

// window, window text, button face, button text, highlight, highlight text,
// high contrast.
const Desktop desktops[] = {
    {"Windows 10, light", {white, black, 0x00F0F0F0, black, 0x00D77800, white, false}, true},
    {"Wine's own colours", {white, black, 0x00F0F0F0, black, 0x00A0600A, white, false}, true},
    {"Qt's Fusion, light", {white, black, 0x00EFEFEF, black, 0x00DAA030, white, false}, true},
    {"GNOME, Adwaita dark through Qt's GTK theme",
     {0x002D2D2D, white, 0x00353535, 0x00ECEEEE, 0x00A15B1F, white, false},
     false},
    {"KDE, Breeze dark", {0x00231F1B, 0x00F2EFFC, 0x00312A2A, 0x00F2EFFC, 0x00E8AE3D, white, false}, false},
    {"high contrast black", {black, white, black, white, 0x00FFEB1A, black, true}, false},
    {"high contrast black, its flag unread (Wine)", {black, white, black, white, 0x00FFEB1A, black, false}, false},
    {"high contrast white", {white, black, white, black, 0x006E0037, white, true}, true},
    {"a mid-grey theme", {0x00808080, 0x00A0A0A0, 0x00707070, 0x00909090, 0x00606060, 0x00707070, false}, false},
};

} // namespace

TEST_CASE("every control's text can be read in every state, on light, dark and high-contrast desktops")
{
    forms::FormModel form(frmMain::layout());
    for (const Desktop &desktop : desktops) {
        const forms::PlatformColours &p = desktop.colours;
        for (int i = 0; i < form.count(); ++i) {
            const forms::ControlDef &def = form[i];
            const bool box = def.kind == forms::Kind::TextBox;
            // A box as it starts, highlighted, and plain after DELETE.
            std::vector<Colour> states{def.backColor};
            if (box)
                states.insert(states.end(), {yellow, white});
            std::vector<forms::ColourPair> pairs;
            for (const Colour state : states) {
                CAPTURE(std::string(desktop.name));
                CAPTURE(std::string(def.name));
                CAPTURE(state);
                form.setBackColor(i, state);
                const forms::ColourPair pair = form.colours(i, p);
                pairs.push_back(pair);

                const forms::Font &font = form.fontOf(i);
                const bool large = font.points >= 18 || (font.bold && font.points >= 14);
                CHECK(wcagContrast(pair.text, pair.back) >= (large ? 3.0 : 4.5));

                const Colour ground = state != forms::defaultColour ? state : box ? p.window : p.buttonFace;
                const Colour platformText = box ? p.windowText : p.buttonText;
                if (p.highContrast) {
                    const bool marked = box && state == yellow;
                    CHECK(pair.back == (marked ? p.highlight : box ? p.window : p.buttonFace));
                    CHECK(pair.text == (marked ? p.highlightText : box ? p.windowText : p.buttonText));
                } else {
                    CHECK(pair.back == ground);
                    if (def.foreColor != forms::defaultColour && hue(def.foreColor) >= 0)
                        CHECK(std::abs(hue(pair.text) - hue(def.foreColor)) < 2);
                }
                if (desktop.light && !p.highContrast)
                    CHECK(pair.text == (def.foreColor != forms::defaultColour ? def.foreColor : platformText));
            }
            if (box) {
                CAPTURE(std::string(desktop.name));
                CAPTURE(std::string(def.name));
                CHECK(pairs[1] != pairs[2]);
            }
            form.setBackColor(i, def.backColor);
        }
    }
}

TEST_CASE("on a light desktop the table's own colours, as they always were")
{
    const forms::FormModel form(frmMain::layout());
    const forms::PlatformColours light = desktops[0].colours;
    CHECK(form.colours(frmMain::Label1, light) == forms::ColourPair{cyan, black});
    CHECK(form.colours(frmMain::Label3, light) == forms::ColourPair{cyan, black});
    CHECK(form.colours(frmMain::Frame3, light) == forms::ColourPair{0x00F0F0F0, blue});
    CHECK(form.colours(frmMain::Option1_0, light) == forms::ColourPair{0x00F0F0F0, black});
    CHECK(form.colours(frmMain::Text1, light) == forms::ColourPair{white, black});
}
