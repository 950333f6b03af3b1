// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// What only a runtime with no display can set up: a screen smaller than the
// window, buttons that hold a value before start-up, boxes locked or holding
// any text before a SEARCH, the repaint on restore, and the window's own
// helpers. The behaviour a user meets is in
// tests/scenarios, run on every front end.

#include "fakeruntime.h"
#include "frmmain.h"
#include "testing.h"

#include <doctest/doctest.h>

#include <filesystem>

namespace {

constexpr std::string_view heathrow = "EGLL London Heathrow Airport\r\n";

} // namespace

TEST_CASE("start-up centres in single precision, clears both buttons and pins the window")
{
    struct Row
    {
        const char *name;
        double screenWidth, screenHeight;
        double left, top;
    };
    const Row rows[] = {
        {"a full HD screen", 1920 * 15.0, 1080 * 15.0, (1920 * 15.0 - 4425) / 2, (1080 * 15.0 - 2790) / 2},
        // Not rounded to whole twips, and left hanging over the edge.
        {"a screen smaller than the window", 3001, 2000, -712.0, -395.0},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        const testing::ListFolder folder(heathrow);
        FakeRuntime runtime(frmMain::layout());
        runtime.screenW = row.screenWidth;
        runtime.screenH = row.screenHeight;
        // Whatever the buttons held, start-up clears them.
        runtime.at(frmMain::Option1_0).value = true;
        runtime.at(frmMain::Option1_1).value = true;
        frmMain window(runtime);
        CHECK(runtime.start(window));
        CHECK(runtime.left == doctest::Approx(row.left));
        CHECK(runtime.top == doctest::Approx(row.top));
        CHECK_FALSE(runtime.at(frmMain::Option1_0).value);
        CHECK_FALSE(runtime.at(frmMain::Option1_1).value);
        CHECK(runtime.pinned);
        CHECK(runtime.captions == std::vector<std::u16string>{std::u16string(frmMain::startupCaption)});
    }
}

TEST_CASE("restored, the window is repainted at once; minimised, it is not")
{
    const testing::ListFolder folder(heathrow);
    FakeRuntime runtime(frmMain::layout());
    frmMain window(runtime);
    REQUIRE(runtime.start(window));
    const int refreshes = runtime.refreshes;
    runtime.setWindowState(forms::vbMinimized);
    CHECK(runtime.refreshes == refreshes);
    runtime.setWindowState(forms::vbNormal);
    CHECK(runtime.refreshes == refreshes + 1);
}

TEST_CASE("SEARCH writes its panel's boxes from the trimmed key; only a find locks them")
{
    enum class List { Kept, Gone };
    struct Row
    {
        const char *name;
        int mode;
        std::u16string typed;
        bool lockedBefore;
        List list;
        std::u16string input, output; // afterwards
        bool locked;
    };
    const std::u16string previous = u"previous";
    const Row rows[] = {
        {"code found by its trimmed key", 0, u" EGLL ", false, List::Kept, u" EGLL ", u"LONDON HEATHROW AIRPORT", true},
        {"name of spaces finds the first record", 1, u"   ", false, List::Kept, u"   ", u"EGLL", true},
        {"code not found, unlocked", 0, u"ZZZZ", false, List::Kept, u"ZZZZ", u"ICAO CODE NOT FOUND", false},
        {"code not found, locked", 0, u"ZZZZ", true, List::Kept, u"ZZZZ", u"ICAO CODE NOT FOUND", true},
        {"name not found, unlocked", 1, u"PARIS", false, List::Kept, u"AIRPORT NAME NOT FOUND", previous, false},
        {"name not found, locked", 1, u"PARIS", true, List::Kept, u"AIRPORT NAME NOT FOUND", previous, true},
        {"code, list gone, locked", 0, u"EGLL", true, List::Gone, u"EGLL", previous, true},
        {"name, list gone, unlocked", 1, u"LONDON", false, List::Gone, u"LONDON", previous, false},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        const testing::ListFolder folder(heathrow);
        FakeRuntime runtime(frmMain::layout());
        frmMain window(runtime);
        REQUIRE(runtime.start(window));
        runtime.click(row.mode == 0 ? frmMain::Option1_0 : frmMain::Option1_1);
        const int input = row.mode == 0 ? frmMain::Text1 : frmMain::Text3;
        const int output = row.mode == 0 ? frmMain::Text2 : frmMain::Text4;
        runtime.at(input) = {row.typed, row.lockedBefore};
        runtime.at(output) = {previous, row.lockedBefore};
        if (row.list == List::Gone)
            std::filesystem::remove(folder.list());

        runtime.click(row.mode == 0 ? frmMain::Command1 : frmMain::Command6);
        CHECK(runtime.at(input).text == row.input);
        CHECK(runtime.at(output).text == row.output);
        CHECK(runtime.at(input).locked == row.locked);
        CHECK(runtime.at(output).locked == row.locked);
        CHECK(runtime.messages.size() == (row.list == List::Gone ? 1U : 0U));
    }
}

TEST_CASE("the control table")
{
    const forms::FormDef &form = frmMain::layout();
    CHECK(form.clientWidth == 4335);
    CHECK(form.clientHeight == 2295);
    REQUIRE(form.controls.size() == frmMain::ControlCount);

    for (const forms::ControlDef &def : form.controls) {
        CAPTURE(def.name);
        if (def.container == forms::onForm) {
            CHECK(def.twips.width == form.clientWidth);
            CHECK(def.twips.height == form.clientHeight);
            continue;
        }
        CHECK(form.controls[std::size_t(def.container)].kind == forms::Kind::Frame);
        CHECK(def.twips.left + def.twips.width <= form.clientWidth);
        CHECK(def.twips.top + def.twips.height <= form.clientHeight);
        // Whole pixels at 96 dpi.
        CHECK(def.twips.left % 15 == 0);
        CHECK(def.twips.width % 15 == 0);
        CHECK(def.font.bold);
    }
}

TEST_CASE("Upper turns a to z into capitals and nothing else")
{
    struct Row
    {
        int in;
        int out;
    };
    const Row rows[] = {{'a', 'A'}, {'m', 'M'},   {'z', 'Z'},   {'A', 'A'}, {'`', '`'}, {'{', '{'},
                        {'0', '0'}, {0xE9, 0xE9}, {0xDF, 0xDF}, {8, 8},     {13, 13},   {0x3B1, 0x3B1}};
    for (const Row row : rows) {
        CAPTURE(row.in);
        int KeyAscii = row.in;
        CHECK(frmMain::Upper(KeyAscii) == row.out);
        CHECK(KeyAscii == row.out);
    }
}
