// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The window's DPI and the fonts its controls are drawn in. Sizes are the
// form model's at the window's DPI; where Windows has no per-monitor calls
// (before Windows 10 1607, or Wine without them) the system DPI stands in.

#include "formmodel.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <map>
#include <string_view>
#include <tuple>

// The DPI a window is drawn at.
UINT windowDpi(HWND hwnd);
// The outer size of a window of this style whose client area is width by
// height pixels at a DPI.
SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

// Fonts by face, pixel height and weight, made once and kept while the set
// lives.
class Fonts
{
public:
    Fonts() = default;
    ~Fonts();
    Fonts(const Fonts &) = delete;
    Fonts &operator=(const Fonts &) = delete;

    HFONT get(const forms::Font &font, int pixelHeight);
    // The font a control's caption is drawn in: the model's at the DPI,
    // unless GDI's rounding of each letter's advance to whole pixels makes
    // the caption a few pixels wider than its control, where it steps down
    // a pixel at a time until the caption shows whole on one line.
    HFONT forControl(HDC dc, const forms::FormModel &model, int control, UINT dpi);
    void swap(Fonts &other) noexcept { m_fonts.swap(other.m_fonts); }

private:
    std::map<std::tuple<std::u16string_view, int, bool>, HFONT> m_fonts; // face, pixel height, bold
};
