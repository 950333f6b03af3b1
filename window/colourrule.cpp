// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "colourrule.h"

#include <cmath>

namespace forms {

namespace {

constexpr Colour black = 0x00000000;
constexpr Colour white = 0x00FFFFFF;

int channel(Colour c, int shift)
{
    return int((c >> shift) & 0xFF);
}

double luminance(Colour c)
{
    const auto linear = [](int value) {
        const double v = value / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(channel(c, 0)) + 0.7152 * linear(channel(c, 8)) + 0.0722 * linear(channel(c, 16));
}

double contrastRatio(Colour a, Colour b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

double contrastNeeded(const Font &font)
{
    const bool large = font.points >= 18 || (font.bold && font.points >= 14);
    return large ? 3.0 : 4.5;
}

Colour blackOrWhite(Colour back)
{
    return contrastRatio(black, back) >= contrastRatio(white, back) ? black : white;
}

// A step of the way from a colour to black or white: the hue stays.
Colour towards(Colour from, Colour to, int step)
{
    Colour mixed = 0;
    for (const int shift : {0, 8, 16}) {
        const int a = channel(from, shift);
        const int b = channel(to, shift);
        mixed |= Colour(a + ((b - a) * step + (b > a ? 127 : -127)) / 255) << shift;
    }
    return mixed;
}

// The table's text colour, lightened or darkened, whichever needs the
// smaller step, until it can be read on the ground.
Colour readableHue(Colour fore, Colour back, double needed)
{
    if (contrastRatio(fore, back) >= needed)
        return fore;
    for (int step = 1; step <= 255; ++step) {
        for (const Colour end : {white, black}) {
            const Colour c = towards(fore, end, step);
            if (contrastRatio(c, back) >= needed)
                return c;
        }
    }
    return blackOrWhite(back);
}

} // namespace

ColourPair colourRule(const PlatformColours &platform, const ControlLook &control, Colour highlight)
{
    const bool box = control.kind == Kind::TextBox;
    Colour ground = box ? platform.window : platform.buttonFace;
    Colour platformText = box ? platform.windowText : platform.buttonText;
    Colour back = control.back;
    Colour fore = control.fore;
    if (platform.highContrast) {
        if (box && back == highlight && highlight != defaultColour) {
            ground = platform.highlight;
            platformText = platform.highlightText;
        }
        back = ground;
        fore = defaultColour;
    } else if (back == defaultColour) {
        back = ground;
    }
    const double needed = control.font ? contrastNeeded(*control.font) : 4.5;
    if (fore != defaultColour)
        return {back, readableHue(fore, back, needed)};
    return {back, contrastRatio(platformText, back) >= needed ? platformText : blackOrWhite(back)};
}

} // namespace forms
