// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window as a screen reader reads it through MSAA: each box named by its
// label, which stands just before it in z-order, and every other control by
// its caption.

#include "formmodel.h"
#include "frmmain.h"
#include "testing.h"
#include "win32driver.h"

#include <oleacc.h>

#include <string>

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
