// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The runtime's colours: each control's pair from the form model's colour
// rule over the system's colours and its high-contrast setting, read again
// when either changes while the window is open.

#include "win32runtime.h"

void Win32Runtime::readPlatformColours()
{
    m_platform.window = GetSysColor(COLOR_WINDOW);
    m_platform.windowText = GetSysColor(COLOR_WINDOWTEXT);
    m_platform.buttonFace = GetSysColor(COLOR_BTNFACE);
    m_platform.buttonText = GetSysColor(COLOR_BTNTEXT);
    m_platform.highlight = GetSysColor(COLOR_HIGHLIGHT);
    m_platform.highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    m_platform.highContrast = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0)
        && (highContrast.dwFlags & HCF_HIGHCONTRASTON);
}

HBRUSH Win32Runtime::brush(forms::Colour colour)
{
    HBRUSH &brush = m_brushes[colour];
    if (!brush)
        brush = CreateSolidBrush(colour);
    return brush;
}

void Win32Runtime::deleteBrushes()
{
    for (const auto &[colour, brush] : m_brushes)
        DeleteObject(brush);
    m_brushes.clear();
}

LRESULT Win32Runtime::onCtlColor(UINT message, HDC dc, HWND child)
{
    const int i = indexOf(child);
    // A child not of the table gets the system's colours for what it asked.
    if (i < 0)
        return DefWindowProcW(m_form, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
    // A locked box asks as a static does, and keeps the box's colours.
    const forms::ColourPair pair = m_model.colours(i, m_platform);
    SetBkColor(dc, pair.back);
    SetTextColor(dc, pair.text);
    return reinterpret_cast<LRESULT>(brush(pair.back));
}

LRESULT Win32Runtime::onSysColorChange()
{
    // The brushes go with the colours they were made for. The controls are
    // user32's own, which read the system's colours as they paint.
    readPlatformColours();
    deleteBrushes();
    if (m_form)
        refresh();
    return 0;
}

LRESULT Win32Runtime::onSettingChange(WPARAM action, LPARAM)
{
    if (action == SPI_SETHIGHCONTRAST)
        return onSysColorChange();
    return 0;
}
