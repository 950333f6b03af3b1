// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The colour rule over the window's own table, on the desktops its users
// have: every text readable, the table's colours unchanged where the desktop
// is light, and a highlighted box never drawn as a plain one.

#include "contrast.h"
#include "formmodel.h"
#include "frmmain.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

TEST_CASE("every control's text can be read in every state, on light, dark and high-contrast desktops")
{
    constexpr forms::Colour white = 0x00FFFFFF, black = 0, yellow = 0x0000FFFF;
    struct Desktop
    {
        const char *name;
        forms::PlatformColours colours; // window, its text, button face, its text, highlight, its text, high contrast
        bool light;
    };
    const Desktop desktops[] = {
        {"Windows, light", {white, black, 0x00F0F0F0, black, 0x00D77800, white, false}, true},
        {"Qt's Fusion, light", {white, black, 0x00EFEFEF, black, 0x00DAA030, white, false}, true},
        {"GNOME, Adwaita dark", {0x002D2D2D, white, 0x00353535, 0x00ECEEEE, 0x00A15B1F, white, false}, false},
        {"high contrast black", {black, white, black, white, 0x00FFEB1A, black, true}, false},
        {"high contrast black, the flag unread (Wine)", {black, white, black, white, 0x00FFEB1A, black, false}, false},
        {"high contrast white", {white, black, white, black, 0x006E0037, white, true}, true},
        {"a mid grey", {0x00808080, 0x00A0A0A0, 0x00707070, 0x00909090, 0x00606060, 0x00707070, false}, false},
    };
    forms::FormModel form(frmMain::layout());
    for (const Desktop &desktop : desktops) {
        const forms::PlatformColours &p = desktop.colours;
        for (int i = 0; i < form.count(); ++i) {
            const forms::ControlDef &def = form[i];
            const bool box = def.kind == forms::Kind::TextBox;
            // A box as it starts, highlighted, and plain after DELETE.
            const std::vector<forms::Colour> states
                = box ? std::vector<forms::Colour>{def.backColor, yellow, white} : std::vector{def.backColor};
            std::vector<forms::ColourPair> pairs;
            for (const forms::Colour state : states) {
                CAPTURE(std::string(desktop.name) + ", " + std::string(def.name) + ", back " + std::to_string(state));
                form.setBackColor(i, state);
                const forms::ColourPair pair = form.colours(i, p);
                pairs.push_back(pair);
                const forms::Font &font = form.fontOf(i);
                CHECK(wcag::contrast(pair.text, pair.back) >= wcag::needed(font.points, font.bold));

                const forms::Colour ground = box ? p.window : p.buttonFace;
                if (p.highContrast) {
                    const bool marked = box && state == yellow;
                    CHECK(pair.back == (marked ? p.highlight : ground));
                    CHECK(pair.text == (marked ? p.highlightText : box ? p.windowText : p.buttonText));
                } else {
                    CHECK(pair.back == (state == forms::defaultColour ? ground : state));
                }
                if (desktop.light && !p.highContrast) // as the table always had it
                    CHECK(pair.text == (def.foreColor != forms::defaultColour ? def.foreColor : black));
                if (def.foreColor != forms::defaultColour && !p.highContrast) // the table's blue, lighter or darker
                    CHECK(((pair.text & 0xFF) == ((pair.text >> 8) & 0xFF) && pair.text >> 16 > (pair.text & 0xFF)));
            }
            if (box)
                CHECK(pairs[1] != pairs[2]);
            form.setBackColor(i, def.backColor);
        }
    }
}
