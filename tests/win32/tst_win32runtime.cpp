// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The real Win32 window, driven through the messages a user's clicks, keys
// and pastes send, and read back as a user sees it. Runs in a folder that
// holds the shipped list.

#include "frmmain.h"
#include "testing.h"
#include "win32runtime.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Window
{
    Win32Runtime runtime{frmMain::layout()};
    frmMain form{runtime};

    Window()
    {
        REQUIRE(runtime.start(form, SW_SHOWNORMAL));
        runtime.pump();
    }

    HWND control(int index) const { return runtime.control(index); }
    void click(int index)
    {
        SendMessageW(control(index), BM_CLICK, 0, 0);
        runtime.pump();
    }
    void type(int index, std::u16string_view text)
    {
        SetFocus(control(index));
        for (const char16_t c : text)
            SendMessageW(control(index), WM_CHAR, WPARAM(c), 0);
        runtime.pump();
    }
    void paste(int index, std::u16string_view text)
    {
        SetFocus(control(index));
        SendMessageW(control(index), EM_REPLACESEL, TRUE, LPARAM(std::wstring(text.begin(), text.end()).c_str()));
        runtime.pump();
    }
    std::u16string text(int index) const { return runtime.text(index); }
    bool readOnly(int index) const { return GetWindowLongPtrW(control(index), GWL_STYLE) & ES_READONLY; }
    bool shown(int index) const { return IsWindowVisible(control(index)) != FALSE; }
    int focused() const
    {
        for (int i = 0; i < frmMain::ControlCount; ++i) {
            if (control(i) == GetFocus())
                return i;
        }
        return -1;
    }
    // A key down and up, posted as the keyboard would queue it, and handled
    // by the runtime's own loop. Shift is held in the thread's keyboard
    // state, which is what GetKeyState reads.
    void key(HWND to, UINT virtualKey, bool shift = false)
    {
        holdShift(shift);
        const LPARAM scan = LPARAM(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        PostMessageW(to, WM_KEYDOWN, virtualKey, scan | 1);
        runtime.pump();
        PostMessageW(to, WM_KEYUP, virtualKey, scan | 1 | LPARAM(0xC0000000));
        runtime.pump();
        holdShift(false);
    }
    // The box as painted on the screen, next to its right edge where no
    // text reaches.
    COLORREF pixel(int index) const
    {
        const HWND hwnd = control(index);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        GetClientRect(hwnd, &r);
        const HDC dc = GetDC(hwnd);
        const COLORREF colour = GetPixel(dc, r.right - 3, r.bottom / 2);
        ReleaseDC(hwnd, dc);
        return colour;
    }
    static void holdShift(bool down)
    {
        BYTE keys[256]{};
        GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
};

// What the form hands a child that asks for its colours: the DC's background
// and text colours and the brush's colour, read from a DC of its own.
struct Painted
{
    COLORREF background = CLR_INVALID, brush = CLR_INVALID, text = CLR_INVALID;
};

Painted painted(const Window &w, UINT message, int index)
{
    const HDC dc = CreateCompatibleDC(nullptr);
    REQUIRE(dc);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(w.runtime.form(), message, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(w.control(index))));
    Painted p;
    LOGBRUSH logBrush{};
    if (brush && GetObjectW(brush, sizeof logBrush, &logBrush) == sizeof logBrush && logBrush.lbStyle == BS_SOLID)
        p.brush = logBrush.lbColor;
    p.background = GetBkColor(dc);
    p.text = GetTextColor(dc);
    DeleteDC(dc);
    return p;
}

// A colour of the table, with the system's in place of the default.
COLORREF shownColour(forms::Colour colour, int system)
{
    return colour == forms::defaultColour ? GetSysColor(system) : COLORREF(colour);
}

} // namespace

TEST_CASE("the window as it starts: its size at 96 dpi, pinned on top, nothing chosen")
{
    Window w;
    RECT client{};
    GetClientRect(w.runtime.form(), &client);
    if (w.runtime.dpi() == USER_DEFAULT_SCREEN_DPI) {
        CHECK(client.right == 289);
        CHECK(client.bottom == 153);
    }
    CHECK((GetWindowLongPtrW(w.runtime.form(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    CHECK(w.runtime.caption() == frmMain::startupCaption);
    CHECK_FALSE(w.runtime.value(frmMain::Option1_0));
    CHECK_FALSE(w.runtime.value(frmMain::Option1_1));
    CHECK(IsWindowVisible(w.control(frmMain::Option1_0)));
    CHECK_FALSE(IsWindowVisible(w.control(frmMain::Text1)));
    // The form keeps the focus: taking it would have chosen a mode.
    CHECK(GetFocus() == w.runtime.form());
}

TEST_CASE("Tab from the form enters the first mode, Shift+Tab the last; Tab then stays in that panel")
{
    struct Row
    {
        std::string name;
        bool shift;
        int panel, otherPanel, input;
        std::u16string caption;
        std::vector<int> order; // the panel's stops, from its box
    };
    const Row rows[] = {
        {"Tab",
         false,
         frmMain::Frame1,
         frmMain::Frame2,
         frmMain::Text1,
         u"CODELOOK - BY VERNASCO",
         {frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2, frmMain::Command3}},
        {"Shift+Tab",
         true,
         frmMain::Frame2,
         frmMain::Frame1,
         frmMain::Text3,
         u"NAMELOOK - BY VERNASCO",
         {frmMain::Text3, frmMain::Text4, frmMain::Command4, frmMain::Command5, frmMain::Command6}},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Window w;
        REQUIRE(GetFocus() == w.runtime.form());
        w.key(w.runtime.form(), VK_TAB, row.shift);

        CHECK(w.focused() == row.input);
        CHECK(w.runtime.caption() == row.caption);
        CHECK(w.shown(row.panel));
        CHECK(w.shown(row.input));
        CHECK_FALSE(w.shown(row.otherPanel));
        CHECK_FALSE(w.shown(frmMain::Frame3));
        CHECK_FALSE(w.shown(frmMain::Option1_0));
        CHECK_FALSE(w.shown(frmMain::Option1_1));
        // Entering by the keyboard chose the mode without setting a value.
        CHECK_FALSE(w.runtime.value(frmMain::Option1_0));
        CHECK_FALSE(w.runtime.value(frmMain::Option1_1));

        // Round the panel both ways, twice, never back to the choice.
        for (const bool backwards : {false, true}) {
            for (int i = 0; i < 2 * int(row.order.size()); ++i) {
                const int at = w.focused();
                const auto from = std::find(row.order.begin(), row.order.end(), at);
                REQUIRE(from != row.order.end());
                w.key(GetFocus(), VK_TAB, backwards);
                const std::size_t n = row.order.size();
                const std::size_t k = std::size_t(from - row.order.begin());
                const int expected = row.order[backwards ? (k + n - 1) % n : (k + 1) % n];
                CHECK(w.focused() == expected);
            }
        }
        CHECK(w.runtime.caption() == row.caption);
        CHECK_FALSE(w.shown(frmMain::Frame3));
    }
}

TEST_CASE("the focus on a mode button shows its panel, whether set or taken by a press")
{
    struct Row
    {
        std::string name;
        int option;
        bool press; // the mouse's button down on it, which takes the focus
        int panel, otherPanel, input, output;
        std::u16string caption;
    };
    const Row rows[] = {
        {"code, focus set", frmMain::Option1_0, false, frmMain::Frame1, frmMain::Frame2, frmMain::Text1, frmMain::Text2,
         u"CODELOOK - BY VERNASCO"},
        {"name, focus set", frmMain::Option1_1, false, frmMain::Frame2, frmMain::Frame1, frmMain::Text3, frmMain::Text4,
         u"NAMELOOK - BY VERNASCO"},
        {"code, pressed", frmMain::Option1_0, true, frmMain::Frame1, frmMain::Frame2, frmMain::Text1, frmMain::Text2,
         u"CODELOOK - BY VERNASCO"},
        {"name, pressed", frmMain::Option1_1, true, frmMain::Frame2, frmMain::Frame1, frmMain::Text3, frmMain::Text4,
         u"NAMELOOK - BY VERNASCO"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Window w;
        const HWND option = w.control(row.option);
        if (row.press) {
            SendMessageW(option, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
            SendMessageW(option, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        } else {
            SetFocus(option);
        }
        w.runtime.pump();

        CHECK(w.runtime.caption() == row.caption);
        CHECK(GetFocus() == w.control(row.input));
        CHECK(w.shown(row.panel));
        CHECK(w.shown(row.input));
        CHECK(w.shown(row.output));
        CHECK_FALSE(w.shown(row.otherPanel));
        CHECK_FALSE(w.shown(frmMain::Frame3));
        CHECK(w.text(row.input).empty());
        CHECK(w.text(row.output).empty());
        CHECK_FALSE(w.readOnly(row.input));
        CHECK_FALSE(w.readOnly(row.output));
    }
}

TEST_CASE("both searches through clicks, typed keys and pastes")
{
    struct Row
    {
        int option;
        int input, output, search;
        bool typed;
        std::u16string key, shown, caption;
    };
    const Row rows[] = {
        {frmMain::Option1_0, frmMain::Text1, frmMain::Text2, frmMain::Command1, true, u"egll",
         u"LONDON HEATHROW AIRPORT", u"CODELOOK - BY VERNASCO"},
        {frmMain::Option1_0, frmMain::Text1, frmMain::Text2, frmMain::Command1, false, u"EGLLX",
         u"LONDON HEATHROW AIRPORT", u"CODELOOK - BY VERNASCO"},
        {frmMain::Option1_1, frmMain::Text3, frmMain::Text4, frmMain::Command6, true, u"london heathrow", u"EGLL",
         u"NAMELOOK - BY VERNASCO"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.key);
        Window w;
        w.click(row.option);
        CHECK(w.runtime.caption() == row.caption);
        CHECK(IsWindowVisible(w.control(row.input)));
        if (row.typed)
            w.type(row.input, row.key);
        else
            w.paste(row.input, row.key); // the code box takes four characters, pasted too
        w.click(row.search);
        CHECK(w.text(row.output) == row.shown);
        CHECK(w.readOnly(row.input));
        CHECK(w.readOnly(row.output));
        CHECK(w.runtime.backColor(row.output) == frmMain::highlightColour);
    }
}

TEST_CASE("the close box, Alt+F4 and the system menu are refused; the session's end goes through")
{
    Window w;
    SendMessageW(w.runtime.form(), WM_SYSCOMMAND, SC_CLOSE, 0);
    CHECK(w.runtime.pump());
    CHECK(IsWindow(w.runtime.form()));
    SendMessageW(w.runtime.form(), WM_QUERYENDSESSION, 0, 0);
    SendMessageW(w.runtime.form(), WM_ENDSESSION, TRUE, 0);
    CHECK(w.runtime.ended());
}

TEST_CASE("minimised and restored: the title follows the window's state")
{
    Window w;
    w.click(frmMain::Option1_0);
    ShowWindow(w.runtime.form(), SW_MINIMIZE);
    w.runtime.pump();
    CHECK(w.runtime.windowState() == forms::vbMinimized);
    ShowWindow(w.runtime.form(), SW_RESTORE);
    w.runtime.pump();
    CHECK(w.runtime.windowState() == forms::vbNormal);
    CHECK(w.runtime.caption() == frmMain::startupCaption);
}

TEST_CASE("EXIT ends the program with status 0")
{
    Window w;
    w.click(frmMain::Option1_1);
    w.click(frmMain::Command4);
    CHECK(w.runtime.ended());
    CHECK(w.runtime.exitCode() == 0);
}

TEST_CASE("a box paints its colour whether it asks as an edit or, locked, as a static")
{
    const COLORREF yellow = frmMain::highlightColour;
    const COLORREF white = frmMain::plainColour;
    const COLORREF system = GetSysColor(COLOR_WINDOW);
    const int boxes[] = {frmMain::Text1, frmMain::Text2, frmMain::Text3, frmMain::Text4};
    struct Row
    {
        forms::Colour set; // defaultColour: as the box starts
        COLORREF shown;
    };
    const Row rows[]
        = {{forms::defaultColour, system}, {frmMain::highlightColour, yellow}, {frmMain::plainColour, white}};
    Window w;
    for (const int box : boxes) {
        for (const Row &row : rows) {
            for (const bool locked : {false, true}) {
                CAPTURE(frmMain::layout().controls[std::size_t(box)].name);
                CAPTURE(row.shown);
                CAPTURE(locked);
                if (row.set != forms::defaultColour)
                    w.runtime.setBackColor(box, row.set);
                w.runtime.setLocked(box, locked);
                REQUIRE(w.readOnly(box) == locked);
                // An edit asks as a static while it is read-only.
                const Painted p = painted(w, locked ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, box);
                CHECK(p.background == row.shown);
                CHECK(p.brush == row.shown);
                CHECK(p.text == GetSysColor(COLOR_WINDOWTEXT));
            }
        }
    }
}

TEST_CASE("a found search locks both boxes yellow; DELETE unlocks them white")
{
    struct Row
    {
        int option, input, output, search, clear;
        std::u16string key;
    };
    const Row rows[] = {
        {frmMain::Option1_0, frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2, u"EGLL"},
        {frmMain::Option1_1, frmMain::Text3, frmMain::Text4, frmMain::Command6, frmMain::Command5, u"LONDON HEATHROW"},
    };
    const auto check = [](const Window &w, int box, COLORREF colour, bool locked) {
        CAPTURE(frmMain::layout().controls[std::size_t(box)].name);
        CHECK(w.readOnly(box) == locked);
        const Painted p = painted(w, locked ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, box);
        CHECK(p.background == colour);
        CHECK(p.brush == colour);
        CHECK(w.pixel(box) == colour);
    };
    for (const Row &row : rows) {
        CAPTURE(row.key);
        Window w;
        w.click(row.option);
        check(w, row.input, GetSysColor(COLOR_WINDOW), false);
        check(w, row.output, GetSysColor(COLOR_WINDOW), false);
        w.type(row.input, row.key);
        check(w, row.input, frmMain::highlightColour, false);
        w.click(row.search);
        REQUIRE_FALSE(w.text(row.output).empty());
        check(w, row.input, frmMain::highlightColour, true);
        check(w, row.output, frmMain::highlightColour, true);
        w.click(row.clear);
        check(w, row.input, frmMain::plainColour, false);
        check(w, row.output, frmMain::plainColour, false);
    }
}

TEST_CASE("labels, frames and mode buttons paint the table's colours through WM_CTLCOLORSTATIC")
{
    Window w;
    const forms::FormDef &form = frmMain::layout();
    for (int i = 0; i < frmMain::ControlCount; ++i) {
        const forms::ControlDef &def = form.controls[std::size_t(i)];
        if (def.kind != forms::Kind::Label && def.kind != forms::Kind::Frame && def.kind != forms::Kind::OptionButton)
            continue;
        CAPTURE(def.name);
        const Painted p = painted(w, WM_CTLCOLORSTATIC, i);
        CHECK(p.background == shownColour(def.backColor, COLOR_BTNFACE));
        CHECK(p.brush == shownColour(def.backColor, COLOR_BTNFACE));
        CHECK(p.text == shownColour(def.foreColor, COLOR_BTNTEXT));
    }
    // The table's own: light cyan labels, the choice's caption in blue.
    CHECK(painted(w, WM_CTLCOLORSTATIC, frmMain::Label1).background == 0x00FFFF80);
    CHECK(painted(w, WM_CTLCOLORSTATIC, frmMain::Frame3).text == 0x00FF0000);
}

TEST_CASE("a child the table does not hold gets the system's colours for the message it sent")
{
    struct Row
    {
        UINT message;
        int system;
    };
    const Row rows[] = {{WM_CTLCOLOREDIT, COLOR_WINDOW}, {WM_CTLCOLORSTATIC, COLOR_BTNFACE}};
    Window w;
    const HWND stranger = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, w.runtime.form(), nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
    REQUIRE(stranger);
    for (const Row &row : rows) {
        CAPTURE(row.message);
        const HDC dc = CreateCompatibleDC(nullptr);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
            w.runtime.form(), row.message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(stranger)));
        LOGBRUSH logBrush{};
        CHECK(GetObjectW(brush, sizeof logBrush, &logBrush) == sizeof logBrush);
        CHECK(logBrush.lbColor == GetSysColor(row.system));
        CHECK(GetBkColor(dc) == GetSysColor(row.system));
        DeleteDC(dc);
    }
    DestroyWindow(stranger);
}
