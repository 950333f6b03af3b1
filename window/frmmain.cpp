// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"

#include "listfile.h"
#include "lookup.h"
#include "text.h"

#include <array>

namespace {

using forms::ControlDef;
using forms::Kind;

constexpr forms::Colour labelColour = 0x00FFFF80; // light cyan
constexpr forms::Colour choiceCaptionColour = 0x00FF0000; // blue

constexpr auto serif = forms::FontFamily::Serif;
constexpr auto sans = forms::FontFamily::Sans;
constexpr forms::Font serif12{u"Times New Roman", 12, true, serif};
constexpr forms::Font serif14{u"Times New Roman", 14.25, true, serif};
constexpr forms::Font sans975{u"MS Sans Serif", 9.75, true, sans};
constexpr forms::Font sans12{u"MS Sans Serif", 12, true, sans};
constexpr forms::Font sans18{u"MS Sans Serif", 18, true, sans};
constexpr forms::Font none{};

constexpr auto F1 = frmMain::Frame1;
constexpr auto F2 = frmMain::Frame2;
constexpr auto F3 = frmMain::Frame3;
constexpr auto onForm = forms::onForm;
constexpr auto deflt = forms::defaultColour;

// name, kind, container, text, {left, top, width, height} in twips, tab index,
// font, most characters, back colour, fore colour, visible at start.
// clang-format off
constexpr std::array<ControlDef, frmMain::ControlCount> controls{{
    {"Frame1",    Kind::Frame,         onForm, u"",                     {0, 0, 4335, 2295},       0,  none,    0,   deflt,       deflt,               false},
    {"Label1",    Kind::Label,         F1,     u"INSERT  ICAO CODE",    {120, 360, 2415, 255},    1,  serif12, 0,   labelColour, deflt,               true},
    {"Label2",    Kind::Label,         F1,     u"DISPLAY AIRPORT NAME", {120, 720, 4095, 375},    2,  serif14, 0,   labelColour, deflt,               true},
    {"Text1",     Kind::TextBox,       F1,     u"",                     {2640, 240, 1575, 405},   3,  sans12,  4,   deflt,       deflt,               true},
    {"Text2",     Kind::TextBox,       F1,     u"",                     {120, 1080, 4095, 405},   4,  sans975, 250, deflt,       deflt,               true},
    {"Command1",  Kind::CommandButton, F1,     u"SEARCH",               {120, 1680, 1335, 495},   5,  sans975, 0,   deflt,       deflt,               true},
    {"Command2",  Kind::CommandButton, F1,     u"DELETE",               {1560, 1680, 1215, 495},  6,  sans975, 0,   deflt,       deflt,               true},
    {"Command3",  Kind::CommandButton, F1,     u"EXIT",                 {2880, 1680, 1335, 495},  7,  sans975, 0,   deflt,       deflt,               true},
    {"Frame2",    Kind::Frame,         onForm, u"",                     {0, 0, 4335, 2295},       8,  none,    0,   deflt,       deflt,               false},
    {"Command4",  Kind::CommandButton, F2,     u"EXIT",                 {2880, 1680, 1335, 495},  9,  sans975, 0,   deflt,       deflt,               true},
    {"Command5",  Kind::CommandButton, F2,     u"DELETE",               {1560, 1680, 1215, 495},  10, sans975, 0,   deflt,       deflt,               true},
    {"Command6",  Kind::CommandButton, F2,     u"SEARCH",               {120, 1680, 1335, 495},   11, sans975, 0,   deflt,       deflt,               true},
    {"Text3",     Kind::TextBox,       F2,     u"",                     {120, 600, 4095, 405},    12, sans975, 250, deflt,       deflt,               true},
    {"Text4",     Kind::TextBox,       F2,     u"",                     {2640, 1200, 1575, 405},  13, sans12,  4,   deflt,       deflt,               true},
    {"Label3",    Kind::Label,         F2,     u"INSERT AIRPORT NAME",  {120, 240, 4095, 375},    14, serif14, 0,   labelColour, deflt,               true},
    {"Label4",    Kind::Label,         F2,     u"DISPLAY  ICAO CODE",   {120, 1200, 2535, 375},   15, serif12, 0,   labelColour, deflt,               true},
    {"Frame3",    Kind::Frame,         onForm, u"YOUR CHOICE",          {0, 0, 4335, 2295},       16, sans18,  0,   deflt,       choiceCaptionColour, true},
    {"Option1_0", Kind::OptionButton,  F3,     u"CODELOOK",             {720, 480, 3255, 615},    17, sans18,  0,   deflt,       deflt,               true},
    {"Option1_1", Kind::OptionButton,  F3,     u"NAMELOOK",             {720, 1200, 3255, 615},   18, sans18,  0,   deflt,       deflt,               true},
}};
// clang-format on

constexpr forms::FormDef form{.name = "frmMain",
                              .clientWidth = 4335,
                              .clientHeight = 2295,
                              .controls = controls,
                              .highlight = frmMain::highlightColour};

constexpr std::u16string_view missingListPrompt
    = u"PAY ATTENTION!!! THE CODELOOK.TXT FILE ISN'T IN THE SAME FOLDER OF THE MAIN PROGRAM - THE SOFTWARE DON'T "
      u"WORK - PUT THE CODELOOK.TXT FILE IN THE SAME FOLDER";
constexpr std::u16string_view missingListTitle = u"FILE NON FOUND";

} // namespace

#define CODELOOK_NAME(name) #name,
constexpr std::string_view controlNames[] = {CODELOOK_FRMMAIN_CONTROLS(CODELOOK_NAME)};
#undef CODELOOK_NAME

constexpr bool tableFollowsEnum()
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].name != controlNames[i])
            return false;
    }
    return true;
}
static_assert(tableFollowsEnum(), "the control table and frmMain::Control must name the same controls in one order");

const forms::FormDef &frmMain::layout()
{
    return form;
}

frmMain::frmMain(forms::Runtime &runtime)
    : m_runtime(runtime)
{ }

void frmMain::Load()
{
    Form_Load();
}

void frmMain::Resize()
{
    Form_Resize();
}

bool frmMain::QueryUnload(int unloadMode)
{
    int Cancel = 0;
    Form_QueryUnload(Cancel, unloadMode);
    return Cancel != 0;
}

// Which handler each control's events go to: one line a control.
struct frmMain::Dispatch
{
    void (frmMain::*click)() = nullptr;
    void (frmMain::*change)() = nullptr;
    void (frmMain::*gotFocus)(int Index) = nullptr;
    int index = 0; // a control array member's Index
    void (frmMain::*keyDown)(int &KeyCode, int Shift) = nullptr;
    void (frmMain::*keyPress)(int &KeyAscii) = nullptr;
};

const frmMain::Dispatch &frmMain::dispatch(int control)
{
    static constexpr auto table = [] {
        std::array<Dispatch, ControlCount> t{};
        t[Text1] = {
            .change = &frmMain::Text1_Change, .keyDown = &frmMain::Text1_KeyDown, .keyPress = &frmMain::Text1_KeyPress};
        t[Text2] = {.change = &frmMain::Text2_Change};
        t[Text3] = {
            .change = &frmMain::Text3_Change, .keyDown = &frmMain::Text3_KeyDown, .keyPress = &frmMain::Text3_KeyPress};
        t[Text4] = {.change = &frmMain::Text4_Change};
        t[Command1] = {.click = &frmMain::Command1_Click};
        t[Command2] = {.click = &frmMain::Command2_Click};
        t[Command3] = {.click = &frmMain::Command3_Click};
        t[Command4] = {.click = &frmMain::Command4_Click};
        t[Command5] = {.click = &frmMain::Command5_Click};
        t[Command6] = {.click = &frmMain::Command6_Click};
        t[Option1_0] = {.gotFocus = &frmMain::Option1_GotFocus, .index = 0};
        t[Option1_1] = {.gotFocus = &frmMain::Option1_GotFocus, .index = 1};
        return t;
    }();
    static constexpr Dispatch none{};
    return control >= 0 && control < ControlCount ? table[std::size_t(control)] : none;
}

void frmMain::Click(int control)
{
    if (const auto handler = dispatch(control).click)
        (this->*handler)();
}

void frmMain::Change(int control)
{
    if (const auto handler = dispatch(control).change)
        (this->*handler)();
}

void frmMain::GotFocus(int control)
{
    if (const auto handler = dispatch(control).gotFocus)
        (this->*handler)(dispatch(control).index);
}

void frmMain::KeyDown(int control, int &keyCode, int shift)
{
    if (const auto handler = dispatch(control).keyDown)
        (this->*handler)(keyCode, shift);
}

void frmMain::KeyPress(int control, int &keyAscii)
{
    if (const auto handler = dispatch(control).keyPress)
        (this->*handler)(keyAscii);
}

forms::Message frmMain::failureMessage(std::u16string_view what) const
{
    std::u16string prompt = u"THE PROGRAM MUST END: ";
    prompt += what.empty() ? std::u16string_view(u"unknown failure") : what;
    return {prompt, forms::vbCritical, u"CODELOOK ERROR"};
}

void frmMain::Form_Load()
{
    // Single precision and unrounded: on a screen smaller than the window
    // the window simply hangs over the edge.
    const float left = (float(m_runtime.screenWidth()) - float(m_runtime.width())) / 2;
    const float top = (float(m_runtime.screenHeight()) - float(m_runtime.height())) / 2;
    m_runtime.move(left, top);

    m_runtime.setValue(Option1_0, false);
    m_runtime.setValue(Option1_1, false);

    if (!codelook::ListFile::isRegularFile(std::u16string(codelook::listFileName))) {
        m_runtime.msgBox(missingListPrompt, forms::vbExclamation, missingListTitle);
        // The program could not do its work: say so to whoever started it.
        m_runtime.end(1);
        return;
    }

    m_runtime.pinOnTop();
}

void frmMain::Form_Resize()
{
    if (m_runtime.windowState() == forms::vbMinimized) {
        m_runtime.setCaption(m_runtime.text(Text2));
    } else {
        m_runtime.setCaption(startupCaption);
        m_runtime.refresh();
    }
}

void frmMain::Form_QueryUnload(int &Cancel, int UnloadMode)
{
    // The close box, Alt+F4 and the system menu's Close are refused: the
    // user leaves through EXIT. The program's own close and the end of the
    // session go through.
    if (UnloadMode == forms::vbFormControlMenu)
        Cancel = 1;
}

void frmMain::Option1_GotFocus(int Index)
{
    // The focus moves into the panel before the choice is hidden, so it
    // never rests on a hidden control.
    if (Index == 0) {
        m_runtime.setVisible(Frame1, true);
        m_runtime.setCaption(u"CODELOOK - BY VERNASCO");
        m_runtime.setFocus(Text1);
    } else {
        m_runtime.setVisible(Frame2, true);
        m_runtime.setCaption(u"NAMELOOK - BY VERNASCO");
        m_runtime.setFocus(Text3);
    }
    m_runtime.setVisible(Frame3, false);
}

void frmMain::Command1_Click()
{
    m_searchKey = codelook::trimSpaces(m_runtime.text(Text1));
    showResult(codelook::Lookup().searchCode(m_searchKey), Text1, Text2, Text2, codeNotFound);
}

// Not found, the typed name itself is replaced by the message.
void frmMain::Command6_Click()
{
    m_searchKey = codelook::trimSpaces(m_runtime.text(Text3));
    showResult(codelook::Lookup().searchName(m_searchKey), Text3, Text4, Text3, nameNotFound);
}

void frmMain::Command2_Click()
{
    clearPanel(Text1, Text2);
}

void frmMain::Command5_Click()
{
    clearPanel(Text3, Text4);
}

void frmMain::Command3_Click()
{
    m_runtime.end(0);
}

void frmMain::Command4_Click()
{
    m_runtime.end(0);
}

void frmMain::clearPanel(Control input, Control output)
{
    // Texts first: emptying a box raises its change and turns it yellow, so
    // the colours must come after for both boxes to end up white. The locks
    // a found search set go too, so the panel is ready for the next search.
    m_runtime.setText(input, {});
    m_runtime.setText(output, {});
    m_runtime.setBackColor(input, plainColour);
    m_runtime.setBackColor(output, plainColour);
    m_runtime.setLocked(input, false);
    m_runtime.setLocked(output, false);
    m_runtime.setFocus(input);
}

// Found: the answer goes to the output box, then the input box locks, then
// the output box. Not found: the message goes to its box and the locks stay
// as they were. A list that vanished or became unreadable after start-up:
// the user is told which file and why, and the window goes on as it was.
void frmMain::showResult(const codelook::SearchResult &result, Control input, Control output, Control messageBox,
                         std::u16string_view message)
{
    using Status = codelook::SearchResult::Status;
    if (result.status == Status::Found) {
        m_runtime.setText(output, result.answer);
        m_runtime.setLocked(input, true);
        m_runtime.setLocked(output, true);
    } else if (result.status == Status::NotFound) {
        m_runtime.setText(messageBox, message);
    } else {
        std::u16string prompt = u"THE CODELOOK.TXT FILE CAN'T BE READ:\n";
        prompt += result.path;
        prompt += u"\n\n";
        prompt += result.reason;
        m_runtime.msgBox(prompt, forms::vbExclamation, u"FILE NOT READABLE");
    }
}

int frmMain::Upper(int &KeyAscii)
{
    if (KeyAscii >= 'a' && KeyAscii <= 'z')
        KeyAscii -= 'a' - 'A';
    return KeyAscii;
}

void frmMain::Text1_KeyPress(int &KeyAscii)
{
    KeyAscii = Upper(KeyAscii);
}

void frmMain::Text3_KeyPress(int &KeyAscii)
{
    KeyAscii = Upper(KeyAscii);
}

// Yellow at the key, whatever the key, and before any character shows.
void frmMain::Text1_KeyDown(int & /*KeyCode*/, int /*Shift*/)
{
    m_runtime.setBackColor(Text1, highlightColour);
}

void frmMain::Text3_KeyDown(int & /*KeyCode*/, int /*Shift*/)
{
    m_runtime.setBackColor(Text3, highlightColour);
}

void frmMain::Text1_Change()
{
    m_runtime.setBackColor(Text1, highlightColour);
}

void frmMain::Text2_Change()
{
    m_runtime.setBackColor(Text2, highlightColour);
}

void frmMain::Text3_Change()
{
    m_runtime.setBackColor(Text3, highlightColour);
}

void frmMain::Text4_Change()
{
    m_runtime.setBackColor(Text4, highlightColour);
}
