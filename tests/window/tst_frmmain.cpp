// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's behaviour, driven through a runtime with no display.

#include "fakeruntime.h"
#include "frmmain.h"
#include "testing.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr forms::Colour yellow = frmMain::highlightColour;
constexpr forms::Colour white = frmMain::plainColour;

const char sampleList[] = "EGLL London Heathrow Airport\r\n"
                          "LIRF Roma Fiumicino\r\n"
                          "LIML Milano Linate\r\n"
                          "\"KJFK John F. Kennedy, New York\"\r\n";

const std::u16string startupCaption(frmMain::startupCaption);

// Each mode's panel: its boxes and buttons.
struct Panel
{
    int input;
    int output;
    int search;
    int clear;
    int exit;
};
constexpr Panel panels[] = {
    {frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2, frmMain::Command3},
    {frmMain::Text3, frmMain::Text4, frmMain::Command6, frmMain::Command5, frmMain::Command4},
};

// A scratch folder as the current directory, as the program is started in.
class InScratchFolder
{
public:
    InScratchFolder()
        : m_previous(fs::current_path())
    {
        static int serial = 0;
        m_dir = fs::temp_directory_path() / ("codelook-window-" + std::to_string(serial++));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    ~InScratchFolder()
    {
        fs::current_path(m_previous);
        std::error_code ignored;
        fs::remove_all(m_dir, ignored);
    }
    InScratchFolder(const InScratchFolder &) = delete;
    InScratchFolder &operator=(const InScratchFolder &) = delete;

private:
    fs::path m_previous;
    fs::path m_dir;
};

void writeList(const std::string &content = sampleList)
{
    std::ofstream(fs::path(u"codelook.txt"), std::ios::binary | std::ios::trunc) << content;
}

// The window started over a fake runtime in a folder holding the list.
struct Started
{
    explicit Started(std::optional<std::string> list = std::string(sampleList))
    {
        if (list)
            writeList(*list);
        runtime.start(window);
    }

    void chooseMode(int index) { runtime.setFocus(index == 0 ? frmMain::Option1_0 : frmMain::Option1_1); }

    InScratchFolder folder;
    FakeRuntime runtime{frmMain::layout()};
    frmMain window{runtime};
};

} // namespace

TEST_CASE("start-up without the list warns and ends unshown")
{
    struct Row
    {
        const char *name;
        bool directoryInstead;
    };
    for (const Row row : {Row{"no file", false}, Row{"a directory of that name", true}}) {
        CAPTURE(row.name);
        InScratchFolder folder;
        if (row.directoryInstead)
            fs::create_directory("codelook.txt");
        FakeRuntime runtime(frmMain::layout());
        frmMain window(runtime);
        runtime.start(window);

        REQUIRE(runtime.messages.size() == 1);
        CHECK(runtime.messages[0].title == u"FILE NON FOUND");
        CHECK(runtime.messages[0].prompt
              == u"PAY ATTENTION!!! THE CODELOOK.TXT FILE ISN'T IN THE SAME FOLDER OF THE MAIN PROGRAM - THE "
                 u"SOFTWARE DON'T WORK - PUT THE CODELOOK.TXT FILE IN THE SAME FOLDER");
        CHECK(runtime.messages[0].style == 48);
        CHECK(runtime.ended);
        CHECK(runtime.exitCode == 1);
        CHECK_FALSE(runtime.shown);
        CHECK_FALSE(runtime.pinned);
        CHECK(runtime.captions.empty());
    }
}

TEST_CASE("start-up with the list: centred, pinned, the choice shown and nothing chosen")
{
    InScratchFolder folder;
    writeList();
    FakeRuntime runtime(frmMain::layout());
    // Whatever the buttons held, start-up clears them.
    runtime.controls[frmMain::Option1_0].value = true;
    runtime.controls[frmMain::Option1_1].value = true;
    frmMain window(runtime);
    runtime.start(window);

    CHECK(runtime.messages.empty());
    CHECK(runtime.shown);
    CHECK(runtime.pinned);
    CHECK(runtime.caption() == startupCaption);
    CHECK(runtime.left == doctest::Approx((1920 * 15.0 - 4425) / 2));
    CHECK(runtime.top == doctest::Approx((1080 * 15.0 - 2790) / 2));
    CHECK_FALSE(runtime[frmMain::Option1_0].value);
    CHECK_FALSE(runtime[frmMain::Option1_1].value);
    CHECK(runtime.effectivelyVisible(frmMain::Frame3));
    CHECK(runtime.effectivelyVisible(frmMain::Option1_0));
    CHECK_FALSE(runtime.effectivelyVisible(frmMain::Frame1));
    CHECK_FALSE(runtime.effectivelyVisible(frmMain::Text1));
    CHECK_FALSE(runtime.effectivelyVisible(frmMain::Frame2));
    CHECK(runtime.focus == -1);
}

TEST_CASE("a screen smaller than the window leaves it hanging over the edge")
{
    InScratchFolder folder;
    writeList();
    FakeRuntime runtime(frmMain::layout());
    runtime.screenW = 3001;
    runtime.screenH = 2000;
    frmMain window(runtime);
    runtime.start(window);
    // Single precision, not rounded to whole twips.
    CHECK(runtime.left == doctest::Approx(-712.0));
    CHECK(runtime.top == doctest::Approx(-395.0));
}

TEST_CASE("the control table")
{
    const forms::FormDef &form = frmMain::layout();
    CHECK(form.clientWidth == 4335);
    CHECK(form.clientHeight == 2295);
    REQUIRE(form.controls.size() == frmMain::ControlCount);

    // Every focusable control once in the keyboard order, panel by panel.
    const char *const order[] = {"Text1",    "Text2",    "Command1", "Command2", "Command3",  "Command4",
                                 "Command5", "Command6", "Text3",    "Text4",    "Option1_0", "Option1_1"};
    std::vector<const forms::ControlDef *> focusable;
    for (const forms::ControlDef &def : form.controls) {
        if (def.kind != forms::Kind::Frame && def.kind != forms::Kind::Label)
            focusable.push_back(&def);
    }
    std::stable_sort(focusable.begin(), focusable.end(), [](auto *a, auto *b) { return a->tabIndex < b->tabIndex; });
    REQUIRE(focusable.size() == std::size(order));
    for (std::size_t i = 0; i < focusable.size(); ++i)
        CHECK(focusable[i]->name == order[i]);

    // Controls lie inside their frame, and the frames fill the window.
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

TEST_CASE("choosing a mode by focus")
{
    struct Row
    {
        const char *name;
        int how; // 0 click or focus on the button, 1 Tab, 2 Shift+Tab
        int index;
        std::u16string_view caption;
        int panel;
        int input;
    };
    const Row rows[] = {
        {"code by its button", 0, 0, u"CODELOOK - BY VERNASCO", frmMain::Frame1, frmMain::Text1},
        {"name by its button", 0, 1, u"NAMELOOK - BY VERNASCO", frmMain::Frame2, frmMain::Text3},
        {"code by Tab", 1, 0, u"CODELOOK - BY VERNASCO", frmMain::Frame1, frmMain::Text1},
        {"name by Shift+Tab", 2, 1, u"NAMELOOK - BY VERNASCO", frmMain::Frame2, frmMain::Text3},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started s;
        if (row.how == 0)
            s.chooseMode(row.index);
        else
            s.runtime.tab(row.how == 2);

        CHECK(s.runtime.caption() == row.caption);
        CHECK(s.runtime.focus == row.input);
        CHECK(s.runtime.effectivelyVisible(row.panel));
        CHECK_FALSE(s.runtime.effectivelyVisible(row.panel == frmMain::Frame1 ? frmMain::Frame2 : frmMain::Frame1));
        CHECK_FALSE(s.runtime.effectivelyVisible(frmMain::Frame3));
        // Choosing raised no value change: the buttons stay cleared.
        CHECK_FALSE(s.runtime[frmMain::Option1_0].value);

        // Tabbing round never brings the choice back nor leaves the panel.
        for (int i = 0; i < 20; ++i) {
            s.runtime.tab();
            CHECK(s.runtime.effectivelyVisible(s.runtime.focus));
        }
        CHECK_FALSE(s.runtime.effectivelyVisible(frmMain::Frame3));
        CHECK(s.runtime.caption() == row.caption);
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

TEST_CASE("typing into the boxes")
{
    struct Row
    {
        const char *name;
        int mode;
        int box;
        std::u16string_view typed;
        std::u16string_view shown;
    };
    const Row rows[] = {
        {"code box upper-cases a-z", 0, frmMain::Text1, u"lab", u"LAB"},
        {"code box stops at four", 0, frmMain::Text1, u"egllx", u"EGLL"},
        {"code box keeps digits and signs", 0, frmMain::Text1, u"k1-z", u"K1-Z"},
        {"name output keeps case", 0, frmMain::Text2, u"lab", u"lab"},
        {"name box upper-cases a-z only", 1, frmMain::Text3, u"roma é", u"ROMA é"},
        {"code output keeps case and stops at four", 1, frmMain::Text4, u"abcde", u"abcd"},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started s;
        s.chooseMode(row.mode);
        s.runtime.type(row.box, row.typed);
        CHECK(s.runtime.text(row.box) == row.shown);
        CHECK(s.runtime.backColor(row.box) == yellow);
    }
}

TEST_CASE("a paste keeps its case and stops at the limit")
{
    Started s;
    s.chooseMode(0);
    s.runtime.paste(frmMain::Text1, u"egllxyz");
    CHECK(s.runtime.text(frmMain::Text1) == u"egll");
    // A lower-case code finds nothing in a list of capitals.
    s.runtime.click(frmMain::Command1);
    CHECK(s.runtime.text(frmMain::Text2) == u"ICAO CODE NOT FOUND");
}

TEST_CASE("searches")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string_view typed;
        int resultBox;
        std::u16string_view result;
        bool locked;
    };
    const Row rows[] = {
        {"code found", 0, u"egll", frmMain::Text2, u"LONDON HEATHROW AIRPORT", true},
        {"code in quotes found", 0, u"KJFK", frmMain::Text2, u"JOHN F. KENNEDY, NEW YORK", true},
        {"code not found", 0, u"ZZZZ", frmMain::Text2, u"ICAO CODE NOT FOUND", false},
        {"empty code", 0, u"", frmMain::Text2, u"ICAO CODE NOT FOUND", false},
        {"name found by its start", 1, u"london heath", frmMain::Text4, u"EGLL", true},
        {"name with spaces round it", 1, u"  roma ", frmMain::Text4, u"LIRF", true},
        {"empty name finds the first record", 1, u"", frmMain::Text4, u"EGLL", true},
        {"name not found replaces the typed name", 1, u"paris", frmMain::Text3, u"AIRPORT NAME NOT FOUND", false},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started s;
        s.chooseMode(row.mode);
        const auto [input, output, search, clear, exitButton] = panels[row.mode];
        s.runtime.type(input, row.typed);
        s.runtime.click(search);

        CHECK(s.runtime.text(row.resultBox) == row.result);
        CHECK(s.runtime.backColor(row.resultBox) == yellow);
        CHECK(s.runtime.locked(input) == row.locked);
        CHECK(s.runtime.locked(output) == row.locked);
        CHECK(s.runtime.messages.empty());
        if (row.mode == 1 && !row.locked)
            CHECK(s.runtime.text(frmMain::Text4).empty());
    }
}

TEST_CASE("a locked box refuses keys but still lights up")
{
    Started s;
    s.chooseMode(0);
    s.runtime.type(frmMain::Text1, u"LIML");
    s.runtime.click(frmMain::Command1);
    REQUIRE(s.runtime.locked(frmMain::Text1));
    s.runtime.setBackColor(frmMain::Text1, white);
    s.runtime.type(frmMain::Text1, u"x");
    CHECK(s.runtime.text(frmMain::Text1) == u"LIML");
    CHECK(s.runtime.backColor(frmMain::Text1) == yellow);
    // A further search repeats the same one.
    s.runtime.click(frmMain::Command1);
    CHECK(s.runtime.text(frmMain::Text2) == u"MILANO LINATE");
}

TEST_CASE("the not-found message searched again is a name of its own")
{
    Started s(std::string(sampleList) + "XXXX Airport name not found here\r\n");
    s.chooseMode(1);
    s.runtime.type(frmMain::Text3, u"paris");
    s.runtime.click(frmMain::Command6);
    REQUIRE(s.runtime.text(frmMain::Text3) == u"AIRPORT NAME NOT FOUND");
    s.runtime.click(frmMain::Command6);
    CHECK(s.runtime.text(frmMain::Text4) == u"XXXX");
}

TEST_CASE("DELETE empties, whitens and unlocks its panel")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string_view typed;
    };
    for (const Row row : {Row{"code panel after a find", 0, u"EGLL"}, Row{"code panel after a miss", 0, u"ZZZZ"},
                          Row{"name panel after a find", 1, u"ROMA"}, Row{"name panel after a miss", 1, u"PARIS"}}) {
        CAPTURE(row.name);
        Started s;
        s.chooseMode(row.mode);
        const auto [input, output, search, clear, exitButton] = panels[row.mode];
        s.runtime.type(input, row.typed);
        s.runtime.click(search);
        s.runtime.setFocus(clear);
        s.runtime.click(clear);

        for (const int box : {input, output}) {
            CAPTURE(box);
            CHECK(s.runtime.text(box).empty());
            CHECK(s.runtime.backColor(box) == white);
            CHECK_FALSE(s.runtime.locked(box));
        }
        CHECK(s.runtime.focus == input);

        // The panel takes a new search at once.
        s.runtime.type(input, row.mode == 0 ? u"lirf" : u"milano");
        s.runtime.click(search);
        CHECK(s.runtime.text(output) == (row.mode == 0 ? u"ROMA FIUMICINO" : u"LIML"));
    }
}

TEST_CASE("yellow marks a key and a change, and only DELETE clears it")
{
    Started s;
    s.chooseMode(0);
    CHECK(s.runtime.backColor(frmMain::Text1) == forms::defaultColour);
    // Any key, even one that types nothing.
    s.runtime.key(frmMain::Text1, 37);
    CHECK(s.runtime.backColor(frmMain::Text1) == yellow);
    CHECK(s.runtime.backColor(frmMain::Text2) == forms::defaultColour);
    // The output box has no key handler: typing changes it, which lights it.
    s.runtime.key(frmMain::Text2, 37);
    CHECK(s.runtime.backColor(frmMain::Text2) == forms::defaultColour);
    s.runtime.type(frmMain::Text2, u"a");
    CHECK(s.runtime.backColor(frmMain::Text2) == yellow);
    s.runtime.click(frmMain::Command2);
    CHECK(s.runtime.backColor(frmMain::Text1) == white);
    CHECK(s.runtime.backColor(frmMain::Text2) == white);
    s.runtime.paste(frmMain::Text1, u"EG");
    CHECK(s.runtime.backColor(frmMain::Text1) == yellow);
}

TEST_CASE("the minimised window is titled with the code panel's answer")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string_view typed;
        std::u16string_view title;
    };
    const Row rows[] = {
        {"code found", 0, u"LIML", u"MILANO LINATE"},
        {"code not found", 0, u"ZZZZ", u"ICAO CODE NOT FOUND"},
        {"name mode never writes it", 1, u"ROMA", u""},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started s;
        s.chooseMode(row.mode);
        s.runtime.type(panels[row.mode].input, row.typed);
        s.runtime.click(panels[row.mode].search);

        s.runtime.setWindowState(forms::vbMinimized);
        CHECK(s.runtime.caption() == row.title);
        const int refreshes = s.runtime.refreshes;
        // Restored, it shows the start-up caption, not the mode's.
        s.runtime.setWindowState(forms::vbNormal);
        CHECK(s.runtime.caption() == startupCaption);
        CHECK(s.runtime.refreshes == refreshes + 1);
    }
}

TEST_CASE("closing")
{
    struct Row
    {
        const char *name;
        int unloadMode;
        bool closes;
    };
    const Row rows[] = {
        {"close box, Alt+F4 or the system menu", forms::vbFormControlMenu, false},
        {"by the program", forms::vbFormCode, true},
        {"the session ends", forms::vbAppWindows, true},
        {"another program", forms::vbAppTaskManager, true},
    };
    for (const Row &row : rows) {
        CAPTURE(row.name);
        Started s;
        s.chooseMode(0);
        s.runtime.type(frmMain::Text1, u"EG");
        CHECK(s.runtime.close(row.unloadMode) == row.closes);
        // A refused close changes nothing.
        CHECK(s.runtime.text(frmMain::Text1) == u"EG");
        CHECK_FALSE(s.runtime.ended);
    }
}

TEST_CASE("EXIT ends the program with status 0")
{
    for (const int mode : {0, 1}) {
        CAPTURE(mode);
        Started s;
        s.chooseMode(mode);
        s.runtime.click(panels[mode].exit);
        CHECK(s.runtime.ended);
        CHECK(s.runtime.exitCode == 0);
    }
}

TEST_CASE("a list gone after start-up is reported, and the window goes on")
{
    for (const int mode : {0, 1}) {
        CAPTURE(mode);
        Started s;
        s.chooseMode(mode);
        const auto [input, output, search, clear, exitButton] = panels[mode];
        s.runtime.type(input, mode == 0 ? u"EGLL" : u"LONDON");
        fs::remove("codelook.txt");
        s.runtime.click(search);

        REQUIRE(s.runtime.messages.size() == 1);
        const auto &message = s.runtime.messages[0];
        CHECK(message.title == u"FILE NOT READABLE");
        CHECK(message.style == 48);
        const std::u16string where = fs::absolute("codelook.txt").make_preferred().u16string();
        CHECK(message.prompt.find(u"THE CODELOOK.TXT FILE CAN'T BE READ:\n" + where + u"\n\n") == 0);
        CHECK(message.prompt.size() > where.size() + 40); // the system's reason follows
        CHECK_FALSE(s.runtime.ended);
        CHECK(s.runtime.text(input) == (mode == 0 ? u"EGLL" : u"LONDON"));
        CHECK(s.runtime.text(output).empty());
        CHECK_FALSE(s.runtime.locked(input));

        // The next search finds the list back.
        writeList();
        s.runtime.click(search);
        CHECK(s.runtime.text(output) == (mode == 0 ? u"LONDON HEATHROW AIRPORT" : u"EGLL"));
    }
}
