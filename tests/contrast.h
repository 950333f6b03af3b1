// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The WCAG 2 contrast ratio, worked out apart from the program's colour rule,
// and what a picture of some text shows: colours are 0x00BBGGRR.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <vector>

namespace wcag {

inline double luminance(std::uint32_t c)
{
    double l = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722}; // red, green, blue
    for (int k = 0; k < 3; ++k) {
        const double s = double((c >> (8 * k)) & 0xFF) / 255;
        l += weights[k] * (s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4));
    }
    return l;
}

inline double contrast(std::uint32_t a, std::uint32_t b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// 4.5 : 1, or 3 : 1 for text of 14 pt bold or 18 pt.
inline double needed(double points, bool bold)
{
    return points >= 18 || (bold && points >= 14) ? 3.0 : 4.5;
}

// The ground is the commonest colour; the text, of the colours seen often
// enough to be strokes, the one farthest from it.
struct Painted
{
    std::uint32_t ground = 0;
    std::uint32_t text = 0;
};

inline Painted painted(const std::vector<std::uint32_t> &pixels)
{
    std::map<std::uint32_t, int> counts;
    for (const std::uint32_t p : pixels)
        ++counts[p & 0xFFFFFF];
    Painted p;
    int most = 0;
    for (const auto &[colour, count] : counts) {
        if (count > most) {
            most = count;
            p.ground = colour;
        }
    }
    p.text = p.ground;
    for (const auto &[colour, count] : counts) {
        if (count >= 4 && contrast(colour, p.ground) > contrast(p.text, p.ground))
            p.text = colour;
    }
    return p;
}

} // namespace wcag
