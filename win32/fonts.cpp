// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "fonts.h"

#include <string>

namespace {

// Where Windows has them: Windows 10 1607 and later.
struct DpiFunctions
{
    UINT(WINAPI *getDpiForWindow)(HWND) = nullptr;
    BOOL(WINAPI *adjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
};

template <typename Function>
void load(HMODULE module, const char *name, Function &function)
{
    // Through a plain function pointer type, which GCC accepts from FARPROC.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const DpiFunctions &dpiFunctions()
{
    static const DpiFunctions functions = [] {
        DpiFunctions f;
        if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
            load(user32, "GetDpiForWindow", f.getDpiForWindow);
            load(user32, "AdjustWindowRectExForDpi", f.adjustWindowRectExForDpi);
        }
        return f;
    }();
    return functions;
}

UINT screenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// The room a control gives its caption, within its edges.
SIZE captionRoom(const forms::FormModel &model, int control, UINT dpi)
{
    const forms::Rect r = model.pixelsOnForm(control, int(dpi));
    const auto scaled = [dpi](int pixelsAt96) { return MulDiv(pixelsAt96, int(dpi), USER_DEFAULT_SCREEN_DPI); };
    switch (model[control].kind) {
    case forms::Kind::Label:
        return {r.width, r.height};
    case forms::Kind::CommandButton:
        return {r.width - scaled(8), r.height - scaled(4)}; // the raised edges
    case forms::Kind::OptionButton:
        return {r.width - scaled(13 + 6), r.height}; // the circle and the gap after it
    case forms::Kind::Frame:
        return {r.width - scaled(16), r.height}; // the line before and after the caption
    case forms::Kind::TextBox:
        break;
    }
    return {0, 0};
}

// Whether a text in this font fits the room whole on one line: its width,
// and the height of everything above the baseline (the captions are
// capitals).
bool fits(HDC dc, HFONT font, const std::wstring &text, SIZE room)
{
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent{};
    TEXTMETRICW metrics{};
    const bool measured
        = GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent) && GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    return !measured || (extent.cx <= room.cx && metrics.tmAscent <= room.cy);
}

} // namespace

UINT windowDpi(HWND hwnd)
{
    if (const auto getDpiForWindow = dpiFunctions().getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(hwnd))
            return dpi;
    }
    return screenDpi();
}

SIZE outerSize(int width, int height, DWORD style, DWORD exStyle, UINT dpi)
{
    RECT frame{0, 0, width, height};
    if (const auto adjust = dpiFunctions().adjustWindowRectExForDpi)
        adjust(&frame, style, FALSE, exStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT Fonts::get(const forms::Font &f, int pixelHeight)
{
    HFONT &font = m_fonts[std::make_tuple(f.face, pixelHeight, f.bold)];
    if (!font) {
        // Where the face is missing, the font mapper takes one of the family
        // asked for.
        BYTE family = FF_DONTCARE;
        switch (f.family) {
        case forms::FontFamily::Serif:
            family = FF_ROMAN;
            break;
        case forms::FontFamily::Sans:
            family = FF_SWISS;
            break;
        case forms::FontFamily::Any:
            break;
        }
        const std::wstring face(f.face.begin(), f.face.end());
        font = CreateFontW(-pixelHeight, 0, 0, 0, f.bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | family,
                           face.c_str());
    }
    return font;
}

HFONT Fonts::forControl(HDC dc, const forms::FormModel &model, int control, UINT dpi)
{
    const forms::Font &f = model.fontOf(control);
    int height = forms::FormModel::pixelHeight(f, int(dpi));
    HFONT chosen = get(f, height);
    const std::wstring caption(model[control].text.begin(), model[control].text.end());
    if (model[control].kind == forms::Kind::TextBox || caption.empty())
        return chosen;
    const SIZE room = captionRoom(model, control, dpi);
    while (height > 1 && !fits(dc, chosen, caption, room))
        chosen = get(f, --height);
    return chosen;
}

Fonts::~Fonts()
{
    for (const auto &[key, font] : m_fonts)
        DeleteObject(font);
}
