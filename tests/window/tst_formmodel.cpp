// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The form model over the window's own table: the rules every runtime takes
// from it.

#include "formmodel.h"
#include "frmmain.h"
#include "quietevents.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> names(const forms::FormModel &form, const std::vector<int> &controls)
{
    std::vector<std::string> out;
    for (const int c : controls)
        out.emplace_back(form[c].name);
    return out;
}

} // namespace

TEST_CASE("every control that takes the focus once in the keyboard order, panel by panel")
{
    const forms::FormModel form(frmMain::layout());
    CHECK(names(form, form.tabOrder())
          == std::vector<std::string>{"Text1", "Text2", "Command1", "Command2", "Command3", "Command4", "Command5",
                                      "Command6", "Text3", "Text4", "Option1_0", "Option1_1"});
}

TEST_CASE("stacked as siblings: by tab index, each box just after its label, every frame beneath what it holds")
{
    const forms::FormModel form(frmMain::layout());
    CHECK(names(form, form.zOrder())
          == std::vector<std::string>{"Label1", "Text1", "Label2", "Text2", "Command1", "Command2", "Command3",
                                      "Command4", "Command5", "Command6", "Label3", "Text3", "Label4", "Text4",
                                      "Option1_0", "Option1_1", "Frame1", "Frame2", "Frame3"});
}

TEST_CASE("Tab and Shift+Tab go round what shows, and from the form enter the first or the last")
{
    struct Row
    {
        const char *name;
        std::vector<int> shown; // frames shown; the others hidden
        int from;
        bool backwards;
        int to;
    };
    const Row rows[] = {
        {"at start, Tab from the form", {frmMain::Frame3}, -1, false, frmMain::Option1_0},
        {"at start, Shift+Tab from the form", {frmMain::Frame3}, -1, true, frmMain::Option1_1},
        {"code panel, past the last", {frmMain::Frame1}, frmMain::Command3, false, frmMain::Text1},
        {"code panel, before the first", {frmMain::Frame1}, frmMain::Text1, true, frmMain::Command3},
        {"name panel, across its buttons", {frmMain::Frame2}, frmMain::Command6, false, frmMain::Text3},
        {"name panel, from a hidden control", {frmMain::Frame2}, frmMain::Option1_0, false, frmMain::Command4},
        {"nothing shows", {}, -1, false, -1},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        forms::FormModel form(frmMain::layout());
        for (const int frame : {frmMain::Frame1, frmMain::Frame2, frmMain::Frame3})
            form.setVisible(frame, std::find(row.shown.begin(), row.shown.end(), frame) != row.shown.end());
        CHECK(form.nextTabStop(row.from, row.backwards) == row.to);
    }
}

TEST_CASE("a control shows only while it and its frames do")
{
    forms::FormModel form(frmMain::layout());
    CHECK(form.shows(frmMain::Option1_0));
    CHECK_FALSE(form.shows(frmMain::Text1));
    CHECK(form.visible(frmMain::Text1)); // its own flag is set; its frame is hidden
    form.setVisible(frmMain::Frame1, true);
    CHECK(form.shows(frmMain::Text1));
    form.setVisible(frmMain::Text1, false);
    CHECK_FALSE(form.shows(frmMain::Text1));
    CHECK(form.shows(frmMain::Text2));
}

TEST_CASE("rectangles: the table's twips in pixels at every DPI from 100 to 200 %")
{
    struct Row
    {
        int control;
        int dpi;
        forms::Rect pixels;
    };
    const Row rows[] = {
        {frmMain::Text1, 96, {176, 16, 105, 27}},  {frmMain::Label1, 96, {8, 24, 161, 17}},
        {frmMain::Label4, 96, {8, 80, 169, 25}},   {frmMain::Option1_1, 96, {48, 80, 217, 41}},
        {frmMain::Text1, 120, {220, 20, 131, 34}}, {frmMain::Label1, 144, {12, 36, 242, 26}},
        {frmMain::Text2, 192, {16, 144, 546, 54}}, {frmMain::Frame3, 144, {0, 0, 434, 230}},
    };
    const forms::FormModel form(frmMain::layout());
    for (const Row &row : rows) {
        CAPTURE(form[row.control].name);
        CAPTURE(row.dpi);
        const forms::Rect r = form.pixelsOnForm(row.control, row.dpi);
        CHECK(r.left == row.pixels.left);
        CHECK(r.top == row.pixels.top);
        CHECK(r.width == row.pixels.width);
        CHECK(r.height == row.pixels.height);
    }
    CHECK(form.clientWidthPixels(96) == 289);
    CHECK(form.clientHeightPixels(96) == 153);
    CHECK(form.clientWidthPixels(120) == 361);
    CHECK(form.clientHeightPixels(192) == 306);
    // Half a pixel rounds away from zero, as MulDiv does.
    CHECK(forms::toPixels(7, 96) == 0);
    CHECK(forms::toPixels(8, 96) == 1);
    CHECK(forms::toPixels(-8, 96) == -1);
    // A place worked out in fractions of a twip rounds once, at the end.
    CHECK(forms::placeToPixels(7747.5, 96) == 517);
    CHECK(forms::placeToPixels(-712.0, 144) == -71);
}

TEST_CASE("a box takes what the user adds up to its limit in UTF-16 units, never half a surrogate pair")
{
    struct Row
    {
        const char *name;
        int box;
        std::u16string added;
        std::size_t kept;
        std::size_t admitted;
    };
    const std::u16string smile = u"\U0001F600";
    const Row rows[] = {
        {"fits", frmMain::Text1, u"EG", 2, 2},
        {"cut at the limit", frmMain::Text1, u"EGLLX", 0, 4},
        {"full already", frmMain::Text1, u"X", 4, 0},
        {"over the limit already", frmMain::Text1, u"X", 300, 0},
        {"a pair that fits", frmMain::Text1, smile, 2, 2},
        {"a pair with one unit of room", frmMain::Text1, smile, 3, 0},
        {"cut before a pair", frmMain::Text1, u"AB" + smile + smile, 1, 2},
        {"cut after a pair", frmMain::Text1, smile + smile, 0, 4},
        {"the long box", frmMain::Text3, std::u16string(300, u'a'), 10, 240},
        {"no limit in the table", frmMain::Option1_0, std::u16string(300, u'a'), 10, 300},
    };
    const forms::FormModel form(frmMain::layout());
    for (const Row &row : rows) {
        INFO(row.name);
        CHECK(form.admits(row.box, row.added, row.kept) == row.admitted);
    }
}

TEST_CASE("a control's font is its own, else its frame's, else the form's")
{
    const forms::FormModel form(frmMain::layout());
    CHECK(form.fontOf(frmMain::Label2).face == u"Times New Roman");
    CHECK(form.fontOf(frmMain::Label2).points == 14.25);
    CHECK(form.fontOf(frmMain::Option1_0).points == 18);
    // The code panel's frame has no face of its own.
    CHECK(form.fontOf(frmMain::Frame1).face == u"MS Sans Serif");
    CHECK(form.fontOf(frmMain::Frame1).points == 8);
    CHECK_FALSE(form.fontOf(frmMain::Frame1).bold);
    CHECK(forms::FormModel::pixelHeight(form.fontOf(frmMain::Label1), 96) == 16);
    // Every face of the table has a family to fall back on.
    for (int i = 0; i < form.count(); ++i)
        CHECK(form.fontOf(i).family != forms::FontFamily::Any);
    CHECK(forms::FormModel::pixelHeight(form.fontOf(frmMain::Label2), 144) == 29);
}

TEST_CASE("each box is named by its label, every other control by its caption")
{
    struct Row
    {
        int control;
        std::u16string_view name;
    };
    const Row rows[] = {
        {frmMain::Text1, u"INSERT  ICAO CODE"},   {frmMain::Text2, u"DISPLAY AIRPORT NAME"},
        {frmMain::Text3, u"INSERT AIRPORT NAME"}, {frmMain::Text4, u"DISPLAY  ICAO CODE"},
        {frmMain::Command6, u"SEARCH"},           {frmMain::Option1_1, u"NAMELOOK"},
        {frmMain::Frame3, u"YOUR CHOICE"},
    };
    const forms::FormModel form(frmMain::layout());
    for (const Row &row : rows) {
        CAPTURE(form[row.control].name);
        CHECK(form.accessibleName(row.control) == row.name);
    }
    CHECK(form.labelOf(frmMain::Command1) == -1);
}

TEST_CASE("a write is announced when it is text in a shown box away from the focus")
{
    struct Row
    {
        const char *name;
        int box;
        std::u16string_view text;
        int focus;
        bool announced;
    };
    const Row rows[] = {
        {"an answer, the focus on SEARCH", frmMain::Text4, u"EGLL", frmMain::Command6, true},
        {"a message over the typed name", frmMain::Text3, u"AIRPORT NAME NOT FOUND", frmMain::Command6, true},
        {"nothing focused", frmMain::Text4, u"EGLL", -1, true},
        {"into the focused box", frmMain::Text3, u"LONDON", frmMain::Text3, false},
        {"a box emptied", frmMain::Text4, u"", frmMain::Command5, false},
        {"a box that does not show", frmMain::Text2, u"LONDON HEATHROW AIRPORT", frmMain::Command6, false},
    };
    forms::FormModel form(frmMain::layout());
    form.setVisible(frmMain::Frame2, true);
    for (const Row &row : rows) {
        INFO(row.name);
        CHECK(form.announces(row.box, row.text, row.focus) == row.announced);
    }
}

TEST_CASE("start order: Load, then the show and one Resize, unless Load ended the program")
{
    struct Recorder final : QuietEvents
    {
        std::string log;
        bool endAtLoad = false;
        void Load() override { log += endAtLoad ? "Load(end) " : "Load "; }
        void Resize() override { log += "Resize "; }
    };
    for (const bool endAtLoad : {false, true}) {
        CAPTURE(endAtLoad);
        Recorder events;
        events.endAtLoad = endAtLoad;
        const bool shown = forms::start([&](auto raise) { raise(events); }, [&] { events.log += "show "; },
                                        [&] { return events.endAtLoad; });
        CHECK(shown == !endAtLoad);
        CHECK(events.log == (endAtLoad ? "Load(end) " : "Load show Resize "));
    }
}

TEST_CASE("option buttons clear one another in runs of one container, as the dialog manager groups them")
{
    using forms::Kind;
    // Two buttons on the form, a box, two more: the box splits the run.
    const auto control = [](const char *name, Kind kind, int tabIndex) {
        forms::ControlDef c;
        c.name = name;
        c.kind = kind;
        c.tabIndex = tabIndex;
        return c;
    };
    const forms::ControlDef controls[] = {
        control("A", Kind::OptionButton, 0), control("B", Kind::OptionButton, 1), control("Box", Kind::TextBox, 2),
        control("C", Kind::OptionButton, 3), control("D", Kind::OptionButton, 4),
    };
    const forms::FormDef def{"f", 100, 100, controls};
    struct Row
    {
        const forms::FormDef &def;
        const char *name;
        const char *group; // its first member, or "" for none
        bool starts;
    };
    const Row rows[] = {
        {frmMain::layout(), "Option1_0", "Option1_0", true},
        {frmMain::layout(), "Option1_1", "Option1_0", false},
        {frmMain::layout(), "Text1", "", true},
        {frmMain::layout(), "Frame3", "", true},
        {def, "B", "A", false},
        {def, "Box", "", true},
        {def, "C", "C", true},
        {def, "D", "C", false},
    };
    for (const Row &row : rows) {
        INFO(row.name);
        const forms::FormModel form(row.def);
        const int control = form.indexOf(row.name);
        REQUIRE(control >= 0);
        CHECK(form.optionGroup(control) == (*row.group ? form.indexOf(row.group) : -1));
        CHECK(form.startsGroup(control) == row.starts);
    }
}
