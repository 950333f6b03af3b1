// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The colours a control is drawn in, from the table's and the platform's.
// The table was drawn for a light desktop: its grounds (light cyan labels,
// yellow and white boxes) and its blue caption stay, and whatever text is
// drawn on them is chosen so that it can be read, by the WCAG 2 contrast
// ratio: 4.5 : 1, or 3 : 1 for text of 14 pt bold or 18 pt. On a light
// desktop that changes nothing. Where Windows is in high contrast, only the
// system's colours show; a highlighted box takes the system's highlight, so
// it still stands out.

#include "forms.h"

namespace forms {

// What a runtime reads of the platform. In Windows' terms: window is a text
// box's ground, buttonFace the form's and its labels'.
struct PlatformColours
{
    Colour window = 0x00FFFFFF;
    Colour windowText = 0x00000000;
    Colour buttonFace = 0x00F0F0F0;
    Colour buttonText = 0x00000000;
    Colour highlight = 0x00D77800;
    Colour highlightText = 0x00FFFFFF;
    bool highContrast = false; // every colour must be the platform's own
};

struct ColourPair
{
    Colour back = 0;
    Colour text = 0;
    bool operator==(const ColourPair &) const = default;
};

struct ControlLook
{
    Kind kind = Kind::Label;
    Colour back = defaultColour; // as the table or the program set it
    Colour fore = defaultColour; // the table's
    const Font *font = nullptr;
};

// highlight: the back colour that marks a box (FormDef::highlight).
ColourPair colourRule(const PlatformColours &platform, const ControlLook &control, Colour highlight);

} // namespace forms
