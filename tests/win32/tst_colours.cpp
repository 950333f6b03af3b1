// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's pixels under a high-contrast colour set (white on black, the
// prefix's own from its start), then with the light set put in while the
// window is open (SetSysColors, which sends WM_SYSCOLORCHANGE), then with
// the high-contrast set again: every caption, label, box text and button
// caption readable by the WCAG 2 contrast ratio, the table's grounds kept,
// and on the light set the table's colours exactly. Wine never reports high
// contrast as on; the rule's test covers that case.

#include "formmodel.h"
#include "frmmain.h"
#include "win32driver.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr COLORREF black = RGB(0, 0, 0);
constexpr COLORREF white = RGB(255, 255, 255);

double luminance(COLORREF c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(GetRValue(c)) + 0.7152 * linear(GetGValue(c)) + 0.0722 * linear(GetBValue(c));
}

double contrast(COLORREF a, COLORREF b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

const int elements[] = {COLOR_WINDOW,    COLOR_WINDOWTEXT,    COLOR_BTNFACE,  COLOR_BTNTEXT,
                        COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_3DSHADOW, COLOR_3DHIGHLIGHT};
// Windows' light colours for the same elements.
const COLORREF lightSet[]
    = {white, black, RGB(240, 240, 240), black, RGB(0, 120, 215), white, RGB(160, 160, 160), white};

std::vector<COLORREF> systemColours()
{
    std::vector<COLORREF> colours;
    for (const int element : elements)
        colours.push_back(GetSysColor(element));
    return colours;
}

void setSystemColours(Win32Driver &d, const std::vector<COLORREF> &colours)
{
    SetSysColors(int(std::size(elements)), elements, colours.data());
    d.runtime().pump();
}

// The form's client area as the screen shows it.
class Shot
{
public:
    explicit Shot(HWND form)
        : m_form(form)
    {
        RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT r{};
        GetClientRect(form, &r);
        m_width = r.right;
        m_height = r.bottom;
        const HDC screen = GetDC(form);
        const HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), m_width, -m_height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, m_width, m_height, screen, 0, 0, SRCCOPY);
        const auto *pixels = static_cast<const DWORD *>(bits);
        m_pixels.assign(pixels, pixels + std::size_t(m_width) * std::size_t(m_height));
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(form, screen);
    }

    // The commonest colour in a rectangle of a control's, and of the colours
    // seen often enough to be strokes, the one farthest from it.
    struct Painted
    {
        COLORREF ground = CLR_INVALID;
        COLORREF text = CLR_INVALID;
    };
    Painted painted(HWND control, RECT area) const
    {
        MapWindowPoints(control, m_form, reinterpret_cast<POINT *>(&area), 2);
        std::map<COLORREF, int> counts;
        for (int y = std::max<int>(area.top, 0); y < std::min<int>(area.bottom, m_height); ++y) {
            for (int x = std::max<int>(area.left, 0); x < std::min<int>(area.right, m_width); ++x) {
                const DWORD p = m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)];
                ++counts[RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF)];
            }
        }
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

private:
    HWND m_form;
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_pixels;
};

// Where a control draws its text.
RECT textArea(const Win32Driver &d, int control)
{
    RECT r{};
    GetClientRect(d.control(control), &r);
    switch (d.runtime().model()[control].kind) {
    case forms::Kind::TextBox:
    case forms::Kind::CommandButton:
        InflateRect(&r, -3, -3); // inside the edges
        break;
    case forms::Kind::OptionButton:
        r.left += 16; // after the circle
        break;
    case forms::Kind::Frame: {
        // The caption alone, on the ground filled behind it, which cuts the
        // frame's line there.
        const std::u16string_view caption = d.runtime().model()[control].text;
        const std::wstring text(caption.begin(), caption.end());
        const HDC dc = GetDC(d.control(control));
        const HGDIOBJ previous
            = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(d.control(control), WM_GETFONT, 0, 0)));
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(d.control(control), dc);
        r = {8, 0, 7 + extent.cx - 1, extent.cy - 1};
        break;
    }
    case forms::Kind::Label:
        break;
    }
    return r;
}

struct Stage
{
    const char *name;
    int option; // -1: the choice
    int input, search, clear;
    std::u16string typed;
    bool deleted;
    forms::Colour boxes; // the boxes' ground; defaultColour: the system's
    std::vector<int> controls;
};

void checkReadable(const Win32Driver &d, const Stage &stage, bool light)
{
    const Shot shot(d.runtime().form());
    const forms::FormModel &model = d.runtime().model();
    for (const int i : stage.controls) {
        const forms::ControlDef &def = model[i];
        CAPTURE(std::string(def.name));
        Shot::Painted p = shot.painted(d.control(i), textArea(d, i));
        const bool box = def.kind == forms::Kind::TextBox;
        // An empty box shows no text: the colour it would type in.
        if (box && d.text(i).empty())
            p.text = d.askColours(d.colourMessage(i), d.control(i)).text;
        const double ratio = contrast(p.text, p.ground);
        char line[160];
        std::snprintf(line, sizeof line, "%s on the %s set: text #%02X%02X%02X on #%02X%02X%02X, %.2f : 1",
                      std::string(def.name).c_str(), light ? "light" : "high-contrast", GetRValue(p.text),
                      GetGValue(p.text), GetBValue(p.text), GetRValue(p.ground), GetGValue(p.ground),
                      GetBValue(p.ground), ratio);
        MESSAGE(line);
        const forms::Font &font = model.fontOf(i);
        CHECK(ratio >= (font.points >= 18 || (font.bold && font.points >= 14) ? 3.0 : 4.5));

        if (box)
            CHECK(p.ground == (stage.boxes == forms::defaultColour ? GetSysColor(COLOR_WINDOW) : stage.boxes));
        if (def.kind == forms::Kind::Label)
            CHECK(p.ground == RGB(128, 255, 255));
        if (light && (box || def.kind == forms::Kind::Label))
            CHECK(p.text == black);
        if (def.kind == forms::Kind::Frame) {
            // The table's blue, lightened where the ground is dark.
            CHECK(GetBValue(p.text) == 255);
            CHECK(GetRValue(p.text) == GetGValue(p.text));
            if (light)
                CHECK(p.text == RGB(0, 0, 255));
        }
    }
}

} // namespace

TEST_CASE("readable on a high-contrast colour set, and after the colours change while the window is open")
{
    const std::vector<COLORREF> atStart = systemColours();
    // The prefix's own colours: white text on black.
    REQUIRE(GetSysColor(COLOR_WINDOW) == black);
    REQUIRE(GetSysColor(COLOR_BTNTEXT) == white);

    const Stage stages[] = {
        {"the choice",
         -1,
         0,
         0,
         0,
         u"",
         false,
         forms::defaultColour,
         {frmMain::Frame3, frmMain::Option1_0, frmMain::Option1_1}},
        {"code panel, found",
         frmMain::Option1_0,
         frmMain::Text1,
         frmMain::Command1,
         frmMain::Command2,
         u"EGLL",
         false,
         frmMain::highlightColour,
         {frmMain::Label1, frmMain::Label2, frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2,
          frmMain::Command3}},
        {"code panel, deleted",
         frmMain::Option1_0,
         frmMain::Text1,
         frmMain::Command1,
         frmMain::Command2,
         u"EGLL",
         true,
         frmMain::plainColour,
         {frmMain::Text1, frmMain::Text2}},
        {"name panel, found",
         frmMain::Option1_1,
         frmMain::Text3,
         frmMain::Command6,
         frmMain::Command5,
         u"LONDON",
         false,
         frmMain::highlightColour,
         {frmMain::Label3, frmMain::Label4, frmMain::Text3, frmMain::Text4, frmMain::Command4, frmMain::Command5,
          frmMain::Command6}},
    };
    for (const Stage &stage : stages) {
        CAPTURE(std::string(stage.name));
        Win32Driver d;
        REQUIRE(d.start());
        if (stage.option >= 0) {
            d.click(stage.option);
            d.type(stage.input, stage.typed);
            d.click(stage.search);
            if (stage.deleted)
                d.click(stage.clear);
        }
        checkReadable(d, stage, false);
        setSystemColours(d, std::vector<COLORREF>(std::begin(lightSet), std::end(lightSet)));
        checkReadable(d, stage, true);
        setSystemColours(d, atStart);
        checkReadable(d, stage, false);
    }
}
