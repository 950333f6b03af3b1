// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's pixels under a high-contrast colour set (white on black, the
// prefix's own from its start), then with the light set put in while the
// window is open (SetSysColors sends WM_SYSCOLORCHANGE), then with the
// high-contrast set again: every text readable, the table's grounds kept, on
// the light set exactly the table's colours. Wine never reports high
// contrast as on; the rule's own test covers that.

#include "contrast.h"
#include "win32driver.h"

#include <doctest/doctest.h>

#include <string>
#include <vector>

namespace {

// The controls' text as the screen shows it: the ground and the text's
// colour inside each one's edges.
std::vector<wcag::Painted> paintedOnScreen(const Win32Driver &d, const std::vector<int> &controls)
{
    RedrawWindow(d.runtime().form(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::vector<wcag::Painted> painted;
    for (const int i : controls) {
        const HWND hwnd = d.control(i);
        RECT r{};
        GetClientRect(hwnd, &r);
        const HDC dc = GetDC(hwnd);
        if (d.runtime().model()[i].kind == forms::Kind::Frame) {
            // The caption alone, whose ground cuts the frame's line.
            SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
            SIZE extent{};
            GetTextExtentPoint32W(dc, L"YOUR CHOICE", 11, &extent);
            r = {8, 0, 7 + extent.cx - 1, extent.cy - 1};
        } else {
            r.left += d.runtime().model()[i].kind == forms::Kind::OptionButton ? 16 : 3; // the circle, the edges
            InflateRect(&r, 0, -3);
        }
        // Copied in one go: GetPixel on a window asks the X server each time.
        const int width = r.right - r.left - 3, height = r.bottom - r.top;
        BITMAPINFO info{{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HDC memory = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, dc, r.left, r.top, SRCCOPY);
        std::vector<std::uint32_t> pixels;
        for (const DWORD *p = static_cast<const DWORD *>(bits); p != static_cast<const DWORD *>(bits) + width * height;
             ++p)
            pixels.push_back(RGB((*p >> 16) & 0xFF, (*p >> 8) & 0xFF, *p & 0xFF)); // the DIB's are 0x00RRGGBB
        SelectObject(memory, previous);
        DeleteDC(memory);
        DeleteObject(bitmap);
        ReleaseDC(hwnd, dc);
        painted.push_back(wcag::painted(pixels));
    }
    return painted;
}

} // namespace

TEST_CASE("readable on a high-contrast colour set, and after the colours change while the window is open")
{
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT};
    const COLORREF light[] = {RGB(255, 255, 255), 0, RGB(240, 240, 240), 0};
    COLORREF atStart[std::size(elements)];
    for (std::size_t k = 0; k < std::size(elements); ++k)
        atStart[k] = GetSysColor(elements[k]);
    REQUIRE(atStart[0] == 0); // the prefix's own set: white on black
    REQUIRE(atStart[1] == RGB(255, 255, 255));

    for (const int stage : {0, 1, 2}) { // the choice; a code found; then DELETE
        CAPTURE(stage);
        Win32Driver d;
        REQUIRE(d.start());
        std::vector<int> shown{frmMain::Frame3, frmMain::Option1_0, frmMain::Option1_1};
        if (stage > 0) {
            d.click(frmMain::Option1_0);
            d.type(frmMain::Text1, u"EGLL");
            d.click(frmMain::Command1);
            shown = {frmMain::Label1, frmMain::Label2, frmMain::Text1, frmMain::Text2, frmMain::Command1};
        }
        if (stage > 1)
            d.click(frmMain::Command2);
        for (const COLORREF *set : std::vector<const COLORREF *>{atStart, light, atStart}) {
            SetSysColors(int(std::size(elements)), elements, set);
            d.runtime().pump();
            const std::vector<wcag::Painted> painted = paintedOnScreen(d, shown);
            for (std::size_t k = 0; k < shown.size(); ++k) {
                const int i = shown[k];
                const forms::ControlDef &def = d.runtime().model()[i];
                wcag::Painted p = painted[k];
                const bool box = def.kind == forms::Kind::TextBox;
                if (box && d.text(i).empty()) // no text to see: the colour it would be typed in
                    p.text = d.askColours(d.colourMessage(i), d.control(i)).text;
                const double ratio = wcag::contrast(p.text, p.ground);
                CAPTURE(std::string(def.name) + (set == light ? " on the light set" : " on the high-contrast set")
                        + ": text " + std::to_string(p.text) + " on " + std::to_string(p.ground) + ", "
                        + std::to_string(ratio) + " : 1");
                const forms::Font &font = d.runtime().model().fontOf(i);
                CHECK(ratio >= wcag::needed(font.points, font.bold));
                if (box)
                    CHECK(p.ground == (stage == 1 ? frmMain::highlightColour : frmMain::plainColour));
                if (def.kind == forms::Kind::Label)
                    CHECK(p.ground == 0x00FFFF80);
                if (set == light && (box || def.kind == forms::Kind::Label))
                    CHECK(p.text == 0);
                if (i == frmMain::Frame3) // the table's blue, lighter on a dark ground
                    CHECK(((p.text & 0xFF) == ((p.text >> 8) & 0xFF) && p.text >> 16 == 0xFF));
                if (i == frmMain::Frame3 && set == light)
                    CHECK(p.text == 0x00FF0000);
            }
        }
    }
}
