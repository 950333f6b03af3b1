// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's behaviour as a user meets it, written once and run on every
// front end through its driver: start-up with and without the list, the
// choice of mode, typing, pasting, both searches, DELETE, the minimised
// title, the ways of closing, EXIT.

#include "driver.h"
#include "frmmain.h"
#include "testing.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
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
const std::u16string codeCaption = u"CODELOOK - BY VERNASCO";
const std::u16string nameCaption = u"NAMELOOK - BY VERNASCO";

// Each mode's panel: its frame, boxes and buttons.
struct Panel
{
    int frame;
    int input;
    int output;
    int search;
    int clear;
    int exit;
    int option;
};
constexpr Panel panels[] = {
    {frmMain::Frame1, frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2, frmMain::Command3,
     frmMain::Option1_0},
    {frmMain::Frame2, frmMain::Text3, frmMain::Text4, frmMain::Command6, frmMain::Command5, frmMain::Command4,
     frmMain::Option1_1},
};

const char *nameOf(int control)
{
    return frmMain::layout().controls[std::size_t(control)].name.data();
}

// The program started on a front end, in a folder holding the list.
struct Started
{
    explicit Started(std::string_view list = sampleList)
        : folder(list)
    {
        shown = d->start();
    }

    Driver &operator*() { return *d; }
    Driver *operator->() { return d.get(); }
    void chooseMode(int mode) { d->click(panels[mode].option); }

    testing::ListFolder folder;
    std::unique_ptr<Driver> d = makeDriver();
    bool shown = false;
};

} // namespace

TEST_CASE("start-up without the list warns and ends unshown")
{
    for (const bool directoryInstead : {false, true}) {
        CAPTURE(directoryInstead);
        const testing::ListFolder folder;
        if (directoryInstead)
            fs::create_directory("codelook.txt");
        const auto d = makeDriver();
        CHECK_FALSE(d->start());

        REQUIRE(d->messages().size() == 1);
        CHECK(d->messages()[0].title == u"FILE NON FOUND");
        CHECK(d->messages()[0].prompt
              == u"PAY ATTENTION!!! THE CODELOOK.TXT FILE ISN'T IN THE SAME FOLDER OF THE MAIN PROGRAM - THE "
                 u"SOFTWARE DON'T WORK - PUT THE CODELOOK.TXT FILE IN THE SAME FOLDER");
        CHECK(d->messages()[0].style == forms::vbExclamation);
        CHECK(d->ended());
        CHECK(d->exitCode() == 1);
        CHECK_FALSE(d->windowShown());
        CHECK_FALSE(d->pinned());
    }
}

TEST_CASE("start-up with the list: centred, pinned, the choice shown and nothing chosen")
{
    Started s;
    REQUIRE(s.shown);
    CHECK(s->messages().empty());
    CHECK(s->windowShown());
    CHECK(s->pinned());
    CHECK(s->caption() == startupCaption);
    const forms::Rect window = s->windowPixels();
    const forms::Rect screen = s->screenPixels();
    CHECK(std::abs(2 * window.left + window.width - screen.width) <= 2);
    CHECK(std::abs(2 * window.top + window.height - screen.height) <= 2);

    for (const int control : {frmMain::Frame3, frmMain::Option1_0, frmMain::Option1_1}) {
        INFO(nameOf(control));
        CHECK(s->shows(control));
    }
    for (const int control : {frmMain::Frame1, frmMain::Text1, frmMain::Frame2, frmMain::Text3}) {
        INFO(nameOf(control));
        CHECK_FALSE(s->shows(control));
    }
    // Being shown must not choose a mode: the form keeps the focus.
    CHECK_FALSE(s->checked(frmMain::Option1_0));
    CHECK_FALSE(s->checked(frmMain::Option1_1));
    CHECK(s->focused() == -1);
}

TEST_CASE("choosing a mode: click, focus, Tab or Shift+Tab shows its panel, and Tab stays there")
{
    enum How { Click, Focus, Tab, ShiftTab };
    struct Row
    {
        const char *name;
        How how;
        int mode;
    };
    const Row rows[] = {
        {"code by click", Click, 0}, {"name by click", Click, 1}, {"code by focus", Focus, 0},
        {"name by focus", Focus, 1}, {"code by Tab", Tab, 0},     {"name by Shift+Tab", ShiftTab, 1},
    };
    // Each panel's stops, from its input box on.
    const std::vector<int> order[] = {
        {frmMain::Text1, frmMain::Text2, frmMain::Command1, frmMain::Command2, frmMain::Command3},
        {frmMain::Text3, frmMain::Text4, frmMain::Command4, frmMain::Command5, frmMain::Command6},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Started s;
        const Panel &panel = panels[row.mode];
        const Panel &other = panels[1 - row.mode];
        switch (row.how) {
        case Click:
            s->click(panel.option);
            break;
        case Focus:
            s->focus(panel.option);
            break;
        case Tab:
        case ShiftTab:
            s->tab(row.how == ShiftTab);
            break;
        }

        CHECK(s->caption() == (row.mode == 0 ? codeCaption : nameCaption));
        CHECK(s->focused() == panel.input);
        CHECK(s->shows(panel.frame));
        CHECK(s->shows(panel.input));
        CHECK(s->shows(panel.output));
        CHECK_FALSE(s->shows(other.frame));
        CHECK_FALSE(s->shows(frmMain::Frame3));
        CHECK_FALSE(s->shows(frmMain::Option1_0));
        CHECK(s->text(panel.input).empty());
        CHECK(s->text(panel.output).empty());
        CHECK_FALSE(s->locked(panel.input));
        CHECK_FALSE(s->locked(panel.output));
        if (row.how != Click) {
            // Entered without a click, no button took a dot.
            CHECK_FALSE(s->checked(frmMain::Option1_0));
            CHECK_FALSE(s->checked(frmMain::Option1_1));
        }

        // Round the panel both ways, twice, never back to the choice.
        const std::vector<int> &stops = order[row.mode];
        const std::size_t n = stops.size();
        for (const bool backwards : {false, true}) {
            for (std::size_t i = 0; i < 2 * n; ++i) {
                const auto at = std::find(stops.begin(), stops.end(), s->focused());
                REQUIRE(at != stops.end());
                const std::size_t k = std::size_t(at - stops.begin());
                s->tab(backwards);
                CHECK(s->focused() == stops[backwards ? (k + n - 1) % n : (k + 1) % n]);
            }
        }
        CHECK_FALSE(s->shows(frmMain::Frame3));
        CHECK(s->caption() == (row.mode == 0 ? codeCaption : nameCaption));
    }
}

TEST_CASE("typing into the boxes: a to z in capitals in the input boxes, each box's limit")
{
    struct Row
    {
        const char *name;
        int mode;
        int box;
        std::u16string typed;
        std::u16string shown;
    };
    const Row rows[] = {
        {"code box upper-cases a-z", 0, frmMain::Text1, u"lab", u"LAB"},
        {"code box stops at four", 0, frmMain::Text1, u"egllx", u"EGLL"},
        {"code box keeps digits and signs", 0, frmMain::Text1, u"k1-z", u"K1-Z"},
        {"name output keeps case", 0, frmMain::Text2, u"lab", u"lab"},
        {"name box upper-cases a-z only", 1, frmMain::Text3, u"roma é", u"ROMA é"},
        {"name box stops at 250", 1, frmMain::Text3, std::u16string(260, u'x'), std::u16string(250, u'X')},
        {"code output keeps case and stops at four", 1, frmMain::Text4, u"abcde", u"abcd"},
        {"a pair that fits goes in whole", 0, frmMain::Text1, u"AB\U0001F600", u"AB\U0001F600"},
        {"a pair past the limit stays out whole", 0, frmMain::Text1, u"ABC\U0001F600", u"ABC"},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Started s;
        s.chooseMode(row.mode);
        s->type(row.box, row.typed);
        CHECK(s->text(row.box) == row.shown);
        CHECK(s->backColor(row.box) == yellow);
    }
}

TEST_CASE("a paste keeps its case and stops at the limit")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string pasted;
        std::u16string shown;
    };
    const Row rows[] = {
        {"code box", 0, u"egllxyz", u"egll"},
        {"name box", 1, std::u16string(300, u'a'), std::u16string(250, u'a')},
        {"never inside a surrogate pair", 0, u"A\U0001F600\U0001F600", u"A\U0001F600"},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Started s;
        s.chooseMode(row.mode);
        s->paste(panels[row.mode].input, row.pasted);
        CHECK(s->text(panels[row.mode].input) == row.shown);
        CHECK(s->backColor(panels[row.mode].input) == yellow);
    }
    // A lower-case code finds nothing in a list of capitals.
    Started s;
    s.chooseMode(0);
    s->paste(frmMain::Text1, u"egll");
    s->click(frmMain::Command1);
    CHECK(s->text(frmMain::Text2) == u"ICAO CODE NOT FOUND");
}

TEST_CASE("searches")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string typed;
        int resultBox;
        std::u16string result;
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
        INFO(row.name);
        Started s;
        s.chooseMode(row.mode);
        const Panel &panel = panels[row.mode];
        s->type(panel.input, row.typed);
        s->click(panel.search);

        CHECK(s->text(row.resultBox) == row.result);
        CHECK(s->backColor(row.resultBox) == yellow);
        CHECK(s->locked(panel.input) == row.locked);
        CHECK(s->locked(panel.output) == row.locked);
        CHECK(s->messages().empty());
        if (row.mode == 1 && !row.locked)
            CHECK(s->text(frmMain::Text4).empty());
    }
}

TEST_CASE("a locked box refuses keys but still lights up; SEARCH again repeats the search")
{
    Started s;
    s.chooseMode(0);
    s->type(frmMain::Text1, u"LIML");
    s->click(frmMain::Command1);
    REQUIRE(s->locked(frmMain::Text1));
    s->type(frmMain::Text1, u"x");
    CHECK(s->text(frmMain::Text1) == u"LIML");
    CHECK(s->backColor(frmMain::Text1) == yellow);
    s->click(frmMain::Command1);
    CHECK(s->text(frmMain::Text2) == u"MILANO LINATE");
}

TEST_CASE("the not-found message searched again is a name of its own")
{
    Started s(std::string(sampleList) + "XXXX Airport name not found here\r\n");
    s.chooseMode(1);
    s->type(frmMain::Text3, u"paris");
    s->click(frmMain::Command6);
    REQUIRE(s->text(frmMain::Text3) == u"AIRPORT NAME NOT FOUND");
    s->click(frmMain::Command6);
    CHECK(s->text(frmMain::Text4) == u"XXXX");
}

TEST_CASE("Enter and Esc press no button")
{
    Started s;
    s.chooseMode(0);
    s->type(frmMain::Text1, u"EGLL");
    s->pressKey(frmMain::Text1, Key::Return);
    s->pressKey(frmMain::Text1, Key::Escape);
    CHECK(s->text(frmMain::Text1) == u"EGLL");
    CHECK(s->text(frmMain::Text2).empty());
    CHECK(s->windowShown());
}

TEST_CASE("DELETE empties, whitens and unlocks its panel, by click or by Space")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string typed;
        bool space;
    };
    const Row rows[] = {
        {"code panel after a find", 0, u"EGLL", false},
        {"code panel after a miss", 0, u"ZZZZ", true},
        {"name panel after a find", 1, u"ROMA", true},
        {"name panel after a miss", 1, u"PARIS", false},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Started s;
        s.chooseMode(row.mode);
        const Panel &panel = panels[row.mode];
        s->type(panel.input, row.typed);
        s->click(panel.search);
        if (row.space) {
            s->focus(panel.clear);
            s->pressKey(panel.clear, Key::Space);
        } else {
            s->click(panel.clear);
        }

        for (const int box : {panel.input, panel.output}) {
            INFO(nameOf(box));
            CHECK(s->text(box).empty());
            CHECK(s->backColor(box) == white);
            CHECK_FALSE(s->locked(box));
        }
        CHECK(s->focused() == panel.input);

        // The panel takes a new search at once.
        s->type(panel.input, row.mode == 0 ? u"lirf" : u"milano");
        s->click(panel.search);
        CHECK(s->text(panel.output) == (row.mode == 0 ? u"ROMA FIUMICINO" : u"LIML"));
    }
}

TEST_CASE("yellow marks a key and a change, and only DELETE clears it")
{
    Started s;
    s.chooseMode(0);
    CHECK(s->backColor(frmMain::Text1) != yellow);
    // Tab moves the focus on; it is no key of the box's.
    s->tab(false);
    CHECK(s->focused() == frmMain::Text2);
    CHECK(s->backColor(frmMain::Text1) != yellow);
    // Any key, even one that types nothing.
    s->pressKey(frmMain::Text1, Key::Left);
    CHECK(s->backColor(frmMain::Text1) == yellow);
    CHECK(s->backColor(frmMain::Text2) != yellow);
    // The output box has no key handler: typing changes it, which lights it.
    s->pressKey(frmMain::Text2, Key::Left);
    CHECK(s->backColor(frmMain::Text2) != yellow);
    s->type(frmMain::Text2, u"a");
    CHECK(s->backColor(frmMain::Text2) == yellow);
    s->click(frmMain::Command2);
    CHECK(s->backColor(frmMain::Text1) == white);
    CHECK(s->backColor(frmMain::Text2) == white);
    s->paste(frmMain::Text1, u"EG");
    CHECK(s->backColor(frmMain::Text1) == yellow);
}

TEST_CASE("the minimised window is titled with the code panel's answer; restored, the start-up caption")
{
    struct Row
    {
        const char *name;
        int mode;
        std::u16string typed;
        std::u16string title;
    };
    const Row rows[] = {
        {"code found", 0, u"LIML", u"MILANO LINATE"},
        {"code not found", 0, u"ZZZZ", u"ICAO CODE NOT FOUND"},
        {"name mode never writes it", 1, u"ROMA", u""},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        Started s;
        s.chooseMode(row.mode);
        s->type(panels[row.mode].input, row.typed);
        s->click(panels[row.mode].search);

        s->minimise();
        CHECK(s->caption() == row.title);
        s->restore();
        CHECK(s->caption() == startupCaption);
    }
}

TEST_CASE("the program's answers show whole, past the box's limit and outside the BMP; minimised, the whole name")
{
    // 150 sharp s upper-cased: 300 letters in a box that takes 250 typed.
    const std::string list = std::string(sampleList) + "LONG " + testing::repeated("ß", 160) + "\r\n"
        + "\U0001F600X\U0001F600Y smile airfield\r\n";
    {
        Started s(list);
        s.chooseMode(0);
        s->type(frmMain::Text1, u"LONG");
        s->click(frmMain::Command1);
        const std::u16string name(300, u'S');
        CHECK(s->text(frmMain::Text2) == name);
        CHECK(s->backColor(frmMain::Text2) == yellow);
        s->minimise();
        CHECK(s->caption() == name);
    }
    Started s(list);
    s.chooseMode(1);
    s->type(frmMain::Text3, u"smile");
    s->click(frmMain::Command6);
    CHECK(s->text(frmMain::Text4) == u"\U0001F600X\U0001F600Y");
    CHECK(s->backColor(frmMain::Text4) == yellow);
}

TEST_CASE("closing: the control menu's close is refused, every other goes through")
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
        INFO(row.name);
        Started s;
        s.chooseMode(0);
        s->type(frmMain::Text1, u"EG");
        if (!s->askClose(row.unloadMode))
            continue;
        CHECK(s->windowShown() == !row.closes);
        if (!row.closes) {
            // A refused close changes nothing.
            CHECK(s->text(frmMain::Text1) == u"EG");
            CHECK_FALSE(s->ended());
        }
    }
}

TEST_CASE("EXIT ends the program with status 0")
{
    for (const int mode : {0, 1}) {
        CAPTURE(mode);
        Started s;
        s.chooseMode(mode);
        s->click(panels[mode].exit);
        CHECK(s->ended());
        CHECK(s->exitCode() == 0);
        CHECK_FALSE(s->windowShown());
    }
}

TEST_CASE("a list gone after start-up is reported, and the window goes on")
{
    for (const int mode : {0, 1}) {
        CAPTURE(mode);
        Started s;
        s.chooseMode(mode);
        const Panel &panel = panels[mode];
        s->type(panel.input, mode == 0 ? u"EGLL" : u"LONDON");
        fs::remove("codelook.txt");
        s->click(panel.search);

        REQUIRE(s->messages().size() == 1);
        const forms::Message &message = s->messages()[0];
        CHECK(message.title == u"FILE NOT READABLE");
        CHECK(message.style == forms::vbExclamation);
        const std::u16string where = fs::absolute("codelook.txt").make_preferred().u16string();
        CHECK(message.prompt.find(u"THE CODELOOK.TXT FILE CAN'T BE READ:\n" + where + u"\n\n") == 0);
        CHECK(message.prompt.size() > where.size() + 40); // the system's reason follows
        CHECK_FALSE(s->ended());
        CHECK(s->windowShown());
        CHECK(s->text(panel.input) == (mode == 0 ? u"EGLL" : u"LONDON"));
        CHECK(s->text(panel.output).empty());
        CHECK_FALSE(s->locked(panel.input));

        // The next search finds the list back.
        s.folder.writeList(sampleList);
        s->click(panel.search);
        CHECK(s->text(panel.output) == (mode == 0 ? u"LONDON HEATHROW AIRPORT" : u"EGLL"));
    }
}

TEST_CASE("each control raises the events of its kind: a button takes the focus as a box does")
{
    Started s;
    s.chooseMode(0);
    s->type(frmMain::Text1, u"egll");
    s->click(frmMain::Command1);
    s->click(frmMain::Command2);

    const forms::FormModel model(frmMain::layout());
    const std::vector<EventLog::Raised> &raised = s->events().raised;
    for (const EventLog::Raised &r : raised) {
        INFO(nameOf(r.control));
        CHECK(model.raises(r.control, r.event));
    }
    const EventLog::Raised expected[] = {
        {forms::Event::GotFocus, frmMain::Option1_0}, {forms::Event::GotFocus, frmMain::Text1},
        {forms::Event::KeyDown, frmMain::Text1},      {forms::Event::KeyPress, frmMain::Text1},
        {forms::Event::Change, frmMain::Text1},       {forms::Event::GotFocus, frmMain::Command1},
        {forms::Event::Click, frmMain::Command1},     {forms::Event::Change, frmMain::Text2},
        {forms::Event::GotFocus, frmMain::Command2},  {forms::Event::Click, frmMain::Command2},
    };
    for (const EventLog::Raised &e : expected) {
        INFO(nameOf(e.control), " ", int(e.event));
        CHECK(std::any_of(raised.begin(), raised.end(),
                          [&](const EventLog::Raised &r) { return r.event == e.event && r.control == e.control; }));
    }
}

TEST_CASE("a failure in a handler shows the failure box and ends the program with a failure status")
{
    struct Row
    {
        const char *name;
        EventLog::Failing at;
        const char *what;
        std::u16string_view prompt;
    };
    const Row rows[] = {
        {"in Load", EventLog::Failing::Load, "out of memory", u"THE PROGRAM MUST END: out of memory"},
        {"in the first Resize", EventLog::Failing::Resize, "", u"THE PROGRAM MUST END: unknown failure"},
        {"in SEARCH", EventLog::Failing::Click, "disk error", u"THE PROGRAM MUST END: disk error"},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        const testing::ListFolder folder(sampleList);
        const auto d = makeDriver();
        const bool atStart = row.at != EventLog::Failing::Click;
        if (atStart) {
            d->events().failAt(row.at, row.what);
            CHECK_FALSE(d->start());
        } else {
            REQUIRE(d->start());
            d->click(frmMain::Option1_0);
            d->events().failAt(row.at, row.what);
            d->click(frmMain::Command1);
        }
        REQUIRE(d->messages().size() == 1);
        CHECK(d->messages()[0].title == u"CODELOOK ERROR");
        CHECK(d->messages()[0].prompt == row.prompt);
        CHECK(d->messages()[0].style == forms::vbCritical);
        CHECK(d->ended());
        CHECK(d->exitCode() == EXIT_FAILURE);
        CHECK_FALSE(d->windowShown());
    }
}
