// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// What only a runtime with no display can set up: a screen smaller than the
// window, buttons that hold a value before start-up, the repaint on restore,
// and the window's own helpers. The behaviour a user meets is in
// tests/scenarios, run on every front end.

#include "fakeruntime.h"
#include "frmmain.h"
#include "testing.h"

#include <doctest/doctest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct InFolderWithList
{
    InFolderWithList()
        : previous(fs::current_path())
    {
        fs::current_path(dir.path());
        testing::writeFile("codelook.txt", "EGLL London Heathrow Airport\r\n");
    }
    ~InFolderWithList() { fs::current_path(previous); }

    fs::path previous;
    testing::TempDir dir;
};

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
        InFolderWithList folder;
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
    InFolderWithList folder;
    FakeRuntime runtime(frmMain::layout());
    frmMain window(runtime);
    REQUIRE(runtime.start(window));
    const int refreshes = runtime.refreshes;
    runtime.setWindowState(forms::vbMinimized);
    CHECK(runtime.refreshes == refreshes);
    runtime.setWindowState(forms::vbNormal);
    CHECK(runtime.refreshes == refreshes + 1);
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
