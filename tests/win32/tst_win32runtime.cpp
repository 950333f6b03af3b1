// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// What is the Win32 runtime's own: the window's pixels at its DPI, the
// colours the form hands its children and what they paint, and which close
// each message means. What a user does and sees is in the scenarios.

#include "../window/quietevents.h"
#include "formmodel.h"
#include "frmmain.h"
#include "testing.h"
#include "win32driver.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char *nameOf(int control)
{
    return frmMain::layout().controls[std::size_t(control)].name.data();
}

// A colour of the table, with the system's in place of the default.
COLORREF shownColour(forms::Colour colour, int system)
{
    return colour == forms::defaultColour ? GetSysColor(system) : COLORREF(colour);
}

// The box as painted on the screen, next to its right edge where no text
// reaches.
COLORREF pixel(HWND hwnd)
{
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r{};
    GetClientRect(hwnd, &r);
    const HDC dc = GetDC(hwnd);
    const COLORREF colour = GetPixel(dc, r.right - 3, r.bottom / 2);
    ReleaseDC(hwnd, dc);
    return colour;
}

forms::Rect onForm(HWND control, HWND form)
{
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT *>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

// The DPI the test's prefix sets the screen to; 0 where it says none.
int screenDpiAsked()
{
    const char *dpi = std::getenv("CODELOOK_TEST_DPI");
    return dpi ? std::atoi(dpi) : 0;
}

void checkLaidOut(const Win32Driver &d, int dpi)
{
    const forms::FormModel &model = d.runtime().model();
    RECT client{};
    GetClientRect(d.runtime().form(), &client);
    CHECK(client.right == model.clientWidthPixels(dpi));
    CHECK(client.bottom == model.clientHeightPixels(dpi));
    for (int i = 0; i < model.count(); ++i) {
        CAPTURE(nameOf(i));
        const forms::Rect shown = onForm(d.control(i), d.runtime().form());
        const forms::Rect table = model.pixelsOnForm(i, dpi);
        CHECK(shown.left == table.left);
        CHECK(shown.top == table.top);
        CHECK(shown.width == table.width);
        CHECK(shown.height == table.height);
        // Nothing hangs over the client area's edge.
        CHECK(shown.left >= 0);
        CHECK(shown.top >= 0);
        CHECK(shown.left + shown.width <= client.right);
        CHECK(shown.top + shown.height <= client.bottom);
    }
}

// Each caption in the font it is drawn in: whole, on one line, in a face of
// the table's family, at the table's size or as little below it as fitting
// needs.
void checkCaptions(const Win32Driver &d, int dpi)
{
    const forms::FormModel &model = d.runtime().model();
    const HDC dc = GetDC(d.runtime().form());
    for (int i = 0; i < model.count(); ++i) {
        if (model[i].kind == forms::Kind::TextBox)
            continue;
        CAPTURE(nameOf(i));
        const auto font = reinterpret_cast<HFONT>(SendMessageW(d.control(i), WM_GETFONT, 0, 0));
        REQUIRE(font);
        LOGFONTW logFont{};
        REQUIRE(GetObjectW(font, sizeof logFont, &logFont) == sizeof logFont);
        const int nominal = forms::FormModel::pixelHeight(model.fontOf(i), dpi);
        const int height = -logFont.lfHeight;
        CHECK(height <= nominal);
        CHECK(height * 10 >= nominal * 9);

        const HGDIOBJ previous = SelectObject(dc, font);
        const std::wstring caption(model[i].text.begin(), model[i].text.end());
        SIZE extent{};
        GetTextExtentPoint32W(dc, caption.c_str(), int(caption.size()), &extent);
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, previous);
        RECT r{};
        GetClientRect(d.control(i), &r);
        CHECK(extent.cx <= r.right);
        const int family = metrics.tmPitchAndFamily & 0xF0;
        CHECK(family == (model.fontOf(i).family == forms::FontFamily::Serif ? FF_ROMAN : FF_SWISS));
        if (model[i].kind == forms::Kind::Label) {
            CHECK((GetWindowLongPtrW(d.control(i), GWL_STYLE) & SS_TYPEMASK) == SS_LEFTNOWORDWRAP);
            CHECK(metrics.tmAscent <= r.bottom);
        }
        MESSAGE(std::string(nameOf(i)), " at ", dpi, " dpi: font ", height, " px (table ", nominal, "), caption ",
                extent.cx, " of ", r.right, " px");
    }
    ReleaseDC(d.runtime().form(), dc);
}

} // namespace

TEST_CASE("at the screen's DPI: the table's pixels, centred, every caption whole")
{
    Win32Driver d;
    REQUIRE(d.start());
    const int dpi = int(d.runtime().dpi());
    CAPTURE(dpi);
    if (const int asked = screenDpiAsked())
        REQUIRE(dpi == asked);
    checkLaidOut(d, dpi);
    checkCaptions(d, dpi);
    if (dpi == USER_DEFAULT_SCREEN_DPI) {
        RECT client{};
        GetClientRect(d.runtime().form(), &client);
        CHECK(client.right == 289);
        CHECK(client.bottom == 153);
    }
    // Centred on the screen, both measured at the one DPI.
    const forms::Rect window = d.windowPixels();
    const forms::Rect screen = d.screenPixels();
    CHECK(std::abs(2 * window.left + window.width - screen.width) <= 2);
    CHECK(std::abs(2 * window.top + window.height - screen.height) <= 2);
}

TEST_CASE("moved to a screen of another DPI, the window takes the suggested place and the table's size there")
{
    Win32Driver d;
    REQUIRE(d.start());
    const HWND form = d.runtime().form();
    const int from = int(d.runtime().dpi());
    for (const int to : {from == 144 ? 96 : 144, 192, from}) {
        CAPTURE(from);
        CAPTURE(to);
        const forms::FormModel &model = d.runtime().model();
        // What Windows suggests: the table's client area at the new DPI in
        // a frame for that DPI, somewhere on the new screen.
        RECT suggested{0, 0, model.clientWidthPixels(to), model.clientHeightPixels(to)};
        AdjustWindowRectEx(&suggested, DWORD(GetWindowLongPtrW(form, GWL_STYLE)), FALSE,
                           DWORD(GetWindowLongPtrW(form, GWL_EXSTYLE)) & ~DWORD(WS_EX_TOPMOST));
        OffsetRect(&suggested, 40 - suggested.left, 30 - suggested.top);
        SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
        d.runtime().pump();

        CHECK(d.runtime().dpi() == UINT(to));
        const forms::Rect window = d.windowPixels();
        CHECK(window.left == 40);
        CHECK(window.top == 30);
        checkLaidOut(d, to);
        checkCaptions(d, to);
    }
}

TEST_CASE("a box paints its colour whether it asks as an edit or, locked, as a static")
{
    const COLORREF system = GetSysColor(COLOR_WINDOW);
    struct Row
    {
        forms::Colour set; // defaultColour: as the box starts
        COLORREF shown;
    };
    const Row rows[] = {{forms::defaultColour, system},
                        {frmMain::highlightColour, frmMain::highlightColour},
                        {frmMain::plainColour, frmMain::plainColour}};
    Win32Driver d;
    REQUIRE(d.start());
    for (const int box : {frmMain::Text1, frmMain::Text2, frmMain::Text3, frmMain::Text4}) {
        for (const Row &row : rows) {
            for (const bool locked : {false, true}) {
                CAPTURE(nameOf(box));
                CAPTURE(row.shown);
                CAPTURE(locked);
                if (row.set != forms::defaultColour)
                    d.runtime().setBackColor(box, row.set);
                d.runtime().setLocked(box, locked);
                REQUIRE(d.locked(box) == locked);
                const Win32Driver::Colours p = d.askColours(d.colourMessage(box), d.control(box));
                CHECK(p.background == row.shown);
                CHECK(p.brush == row.shown);
                CHECK(p.text == GetSysColor(COLOR_WINDOWTEXT));
            }
        }
    }
}

TEST_CASE("a found search paints both boxes yellow; DELETE paints them white")
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
    const auto check = [](const Win32Driver &d, int box, COLORREF colour) {
        CAPTURE(nameOf(box));
        const Win32Driver::Colours p = d.askColours(d.colourMessage(box), d.control(box));
        CHECK(p.background == colour);
        CHECK(p.brush == colour);
        CHECK(pixel(d.control(box)) == colour);
    };
    for (const Row &row : rows) {
        CAPTURE(row.key);
        Win32Driver d;
        REQUIRE(d.start());
        d.click(row.option);
        check(d, row.input, GetSysColor(COLOR_WINDOW));
        check(d, row.output, GetSysColor(COLOR_WINDOW));
        d.type(row.input, row.key);
        check(d, row.input, frmMain::highlightColour);
        d.click(row.search);
        REQUIRE(d.locked(row.output));
        check(d, row.input, frmMain::highlightColour);
        check(d, row.output, frmMain::highlightColour);
        d.click(row.clear);
        check(d, row.input, frmMain::plainColour);
        check(d, row.output, frmMain::plainColour);
    }
}

TEST_CASE("labels, frames and mode buttons paint the table's colours through WM_CTLCOLORSTATIC")
{
    Win32Driver d;
    REQUIRE(d.start());
    const forms::FormDef &form = frmMain::layout();
    for (int i = 0; i < frmMain::ControlCount; ++i) {
        const forms::ControlDef &def = form.controls[std::size_t(i)];
        if (def.kind != forms::Kind::Label && def.kind != forms::Kind::Frame && def.kind != forms::Kind::OptionButton)
            continue;
        CAPTURE(def.name);
        const Win32Driver::Colours p = d.askColours(WM_CTLCOLORSTATIC, d.control(i));
        CHECK(p.background == shownColour(def.backColor, COLOR_BTNFACE));
        CHECK(p.brush == shownColour(def.backColor, COLOR_BTNFACE));
        CHECK(p.text == shownColour(def.foreColor, COLOR_BTNTEXT));
    }
    // The table's own: light cyan labels, the choice's caption in blue.
    CHECK(d.askColours(WM_CTLCOLORSTATIC, d.control(frmMain::Label1)).background == 0x00FFFF80);
    CHECK(d.askColours(WM_CTLCOLORSTATIC, d.control(frmMain::Frame3)).text == 0x00FF0000);
}

TEST_CASE("a child the table does not hold gets the system's colours for the message it sent")
{
    struct Row
    {
        UINT message;
        int system;
    };
    const Row rows[] = {{WM_CTLCOLOREDIT, COLOR_WINDOW}, {WM_CTLCOLORSTATIC, COLOR_BTNFACE}};
    Win32Driver d;
    REQUIRE(d.start());
    const HWND stranger = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 10, 10, d.runtime().form(), nullptr,
                                          GetModuleHandleW(nullptr), nullptr);
    REQUIRE(stranger);
    for (const Row &row : rows) {
        CAPTURE(row.message);
        const Win32Driver::Colours p = d.askColours(row.message, stranger);
        CHECK(p.brush == GetSysColor(row.system));
        CHECK(p.background == GetSysColor(row.system));
    }
    DestroyWindow(stranger);
}

TEST_CASE("Tab into a box selects its text, as the dialog manager does; Tab is no key of the box")
{
    Win32Driver d;
    REQUIRE(d.start());
    d.click(frmMain::Option1_0);
    d.type(frmMain::Text1, u"EG");
    d.events().raised.clear();
    d.tab(false);
    d.tab(true);
    REQUIRE(d.focused() == frmMain::Text1);
    DWORD start = 1;
    DWORD end = 0;
    SendMessageW(d.control(frmMain::Text1), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    CHECK(start == 0);
    CHECK(end == 2);
    for (const EventLog::Raised &r : d.events().raised)
        CHECK(r.event == forms::Event::GotFocus);
}

TEST_CASE("which close each message asks for, and what the session's end answers")
{
    // Every close asked is recorded; the control menu's is refused, as the
    // window refuses it.
    struct Closes final : QuietEvents
    {
        std::vector<int> asked;
        bool QueryUnload(int unloadMode) override
        {
            asked.push_back(unloadMode);
            return unloadMode == forms::vbFormControlMenu;
        }
    };
    struct Sent
    {
        UINT message; // 0: the program's own close
        WPARAM wParam;
    };
    struct Row
    {
        const char *name;
        std::vector<Sent> sent;
        std::vector<int> asked;
        bool ends;
    };
    const Row rows[] = {
        {"the close box refused, then another program's close",
         {{WM_SYSCOMMAND, SC_CLOSE}, {WM_CLOSE, 0}},
         {forms::vbFormControlMenu, forms::vbAppTaskManager},
         true},
        {"the system menu's Close, as SC_CLOSE with the mouse's bits",
         {{WM_SYSCOMMAND, SC_CLOSE | 2}},
         {forms::vbFormControlMenu},
         false},
        {"the session's end asked, then called off", {{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, FALSE}}, {}, false},
        {"the session ends", {{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, TRUE}}, {forms::vbAppWindows}, true},
        {"the program's own close", {{0, 0}}, {forms::vbFormCode}, true},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Win32Runtime runtime(frmMain::layout());
        Closes closes;
        REQUIRE(runtime.start(closes));
        for (const Sent &sent : row.sent) {
            if (sent.message == 0) {
                runtime.unload();
            } else {
                const LRESULT result = SendMessageW(runtime.form(), sent.message, sent.wParam, 0);
                // The session may always end: the state to keep is kept as it goes.
                if (sent.message == WM_QUERYENDSESSION)
                    CHECK(result == TRUE);
            }
            runtime.pump();
        }
        CHECK(closes.asked == row.asked);
        CHECK(runtime.ended() == row.ends);
        CHECK((runtime.form() != nullptr) == !row.ends);
    }
}
