// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window as a screen reader reads it through MSAA: each box named by its
// label, which stands just before it in z-order, and every other control by
// its caption; and the focus and live-region events a screen reader hears.

#include "formmodel.h"
#include "frmmain.h"
#include "testing.h"
#include "win32driver.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

// mingw's import library holds only a stub for this IID, with which
// AccessibleObjectFromWindow answers E_NOINTERFACE.
constexpr IID accessibleIid{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

struct Read
{
    std::u16string name;
    long role = 0;
};

Read readAccessible(HWND hwnd)
{
    Read read;
    IAccessible *accessible = nullptr;
    REQUIRE(AccessibleObjectFromWindow(hwnd, DWORD(OBJID_CLIENT), accessibleIid, reinterpret_cast<void **>(&accessible))
            == S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (accessible->get_accName(self, &name) == S_OK && name) {
        read.name.assign(name, name + SysStringLen(name));
        SysFreeString(name);
    }
    VARIANT role{};
    if (accessible->get_accRole(self, &role) == S_OK && role.vt == VT_I4)
        read.role = role.lVal;
    accessible->Release();
    return read;
}

// The focus and live-region events, as a screen reader's out-of-context
// WinEvent hook gets them, each with the name MSAA gives its object.
struct Heard
{
    DWORD event;
    HWND hwnd;
    std::u16string name;
};
std::vector<Heard> heard;

void CALLBACK hear(HWINEVENTHOOK, DWORD event, HWND hwnd, LONG object, LONG child, DWORD, DWORD)
{
    if (event != EVENT_OBJECT_FOCUS && event != EVENT_OBJECT_LIVEREGIONCHANGED)
        return;
    Heard h{event, hwnd, {}};
    IAccessible *accessible = nullptr;
    VARIANT self{};
    if (AccessibleObjectFromEvent(hwnd, DWORD(object), DWORD(child), &accessible, &self) == S_OK) {
        BSTR name = nullptr;
        if (accessible->get_accName(self, &name) == S_OK && name) {
            h.name.assign(name, name + SysStringLen(name));
            SysFreeString(name);
        }
        accessible->Release();
    }
    heard.push_back(h);
}

} // namespace

TEST_CASE("MSAA names each box by its label and every other control by its caption")
{
    REQUIRE(SUCCEEDED(CoInitialize(nullptr)));
    {
        Win32Driver d;
        REQUIRE(d.start());
        const forms::FormModel &model = d.runtime().model();
        for (int i = 0; i < model.count(); ++i) {
            if (model[i].kind == forms::Kind::Label)
                continue;
            CAPTURE(model[i].name);
            const Read read = readAccessible(d.control(i));
            CHECK(read.name == model.accessibleName(i));
            if (model[i].kind == forms::Kind::TextBox)
                CHECK(read.role == ROLE_SYSTEM_TEXT);
            MESSAGE(std::string(model[i].name), ": \"", codelook::toUtf8(read.name), "\", role ", read.role);
        }
    }
    CoUninitialize();
}

TEST_CASE("each box's label stands just before it in z-order, with no tab stop between")
{
    Win32Driver d;
    const forms::FormModel &model = d.runtime().model();
    for (const int box : {frmMain::Text1, frmMain::Text2, frmMain::Text3, frmMain::Text4}) {
        CAPTURE(model[box].name);
        const int label = model.labelOf(box);
        REQUIRE(label >= 0);
        const HWND before = GetWindow(d.control(box), GW_HWNDPREV);
        CHECK(before == d.control(label));
        CHECK((GetWindowLongPtrW(before, GWL_STYLE) & (WS_TABSTOP | WS_GROUP)) != (WS_TABSTOP | WS_GROUP));
    }
}

TEST_CASE("a screen reader hears the box after a mode choice, and each answer from a live region")
{
    struct Row
    {
        const char *name;
        bool backwards;
        int box;
        std::u16string_view typed;
        int toSearch; // Tabs (Shift+Tabs when backwards) from the box to SEARCH
        int search;
        std::u16string_view answer;
    };
    const Row rows[] = {
        {"code by Tab", false, frmMain::Text1, u"EGLL", 2, frmMain::Command1, u"LONDON HEATHROW AIRPORT"},
        {"code not found", false, frmMain::Text1, u"ZZZZ", 2, frmMain::Command1, u"ICAO CODE NOT FOUND"},
        {"name by Shift+Tab", true, frmMain::Text3, u"LONDON HEATHROW", 1, frmMain::Command6, u"EGLL"},
        {"name not found", true, frmMain::Text3, u"QQQ", 1, frmMain::Command6, u"AIRPORT NAME NOT FOUND"},
    };
    // The shipped list, beside the test.
    REQUIRE(SUCCEEDED(CoInitialize(nullptr)));
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, hear,
                                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    REQUIRE(hook);
    for (const Row &row : rows) {
        INFO(row.name);
        Win32Driver d;
        REQUIRE(d.start());
        const forms::FormModel &model = d.runtime().model();
        heard.clear();
        d.tab(row.backwards);
        REQUIRE(!heard.empty());
        CHECK(heard.back().event == EVENT_OBJECT_FOCUS);
        CHECK(heard.back().hwnd == d.control(row.box));
        CHECK(heard.back().name == model.accessibleName(row.box));

        d.type(row.box, row.typed);
        for (int i = 0; i < row.toSearch; ++i)
            d.tab(row.backwards);
        REQUIRE(GetFocus() == d.control(row.search));
        for (int again = 0; again < 2; ++again) {
            heard.clear();
            d.pressKey(row.search, Key::Space);
            REQUIRE(heard.size() == 1);
            CHECK(heard[0].event == EVENT_OBJECT_LIVEREGIONCHANGED);
            CHECK(heard[0].name == row.answer);
            CHECK(GetFocus() == d.control(row.search));
        }

        // DELETE empties the boxes: no news, only the focus's move.
        heard.clear();
        d.click(row.box == frmMain::Text1 ? frmMain::Command2 : frmMain::Command5);
        for (const Heard &h : heard)
            CHECK(h.event == EVENT_OBJECT_FOCUS);
    }
    UnhookWinEvent(hook);
    CoUninitialize();
}
