// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The program's one window. Three frames of the window's size lie on top of
// one another: Frame3, the choice of mode, is shown at start; picking a mode
// shows its panel (Frame1 code to name, Frame2 name to code) and hides the
// choice for the rest of the run. Each panel's SEARCH asks codelook::Lookup,
// which reads codelook.txt from the current directory, and writes the answer
// into the panel's boxes.
//
// The window is written once for every platform: a forms runtime creates its
// controls from layout() and raises their events here, and the handlers,
// named after their control and event, drive the runtime back.

#include "forms.h"

#include <string>

namespace codelook {
struct SearchResult;
}

class frmMain final : public forms::Events
{
public:
    // The controls, in the order of layout(); the table's names must be
    // these (checked when the table compiles).
    // clang-format off
#define CODELOOK_FRMMAIN_CONTROLS(X) \
    X(Frame1) X(Label1) X(Label2) X(Text1) X(Text2) X(Command1) X(Command2) X(Command3) \
    X(Frame2) X(Command4) X(Command5) X(Command6) X(Text3) X(Text4) X(Label3) X(Label4) \
    X(Frame3) X(Option1_0) X(Option1_1)
    // clang-format on
#define CODELOOK_ENUMERATOR(name) name,
    enum Control : int { CODELOOK_FRMMAIN_CONTROLS(CODELOOK_ENUMERATOR) ControlCount };
#undef CODELOOK_ENUMERATOR

    static constexpr forms::Colour highlightColour = 0x0000FFFF; // yellow
    static constexpr forms::Colour plainColour = 0x00FFFFFF; // white

    static const forms::FormDef &layout();
    static constexpr std::u16string_view startupCaption = u"GET ICAO/AIRPORT NAME - BY MELVO VERNASCO";
    static constexpr std::u16string_view codeNotFound = u"ICAO CODE NOT FOUND";
    static constexpr std::u16string_view nameNotFound = u"AIRPORT NAME NOT FOUND";

    explicit frmMain(forms::Runtime &runtime);

    // Lower-case a to z become A to Z; every other code passes unchanged.
    static int Upper(int &KeyAscii);

    // The events, routed to the handlers below.
    void Load() override;
    void Resize() override;
    bool QueryUnload(int unloadMode) override;
    void Click(int control) override;
    void Change(int control) override;
    void GotFocus(int control) override;
    void KeyDown(int control, int &keyCode, int shift) override;
    void KeyPress(int control, int &keyAscii) override;
    forms::Message failureMessage(std::u16string_view what) const override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_QueryUnload(int &Cancel, int UnloadMode);
    void Option1_GotFocus(int Index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Text1_KeyDown(int &KeyCode, int Shift);
    void Text3_KeyDown(int &KeyCode, int Shift);
    void Text1_KeyPress(int &KeyAscii);
    void Text3_KeyPress(int &KeyAscii);
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();

    struct Dispatch;
    static const Dispatch &dispatch(int control);

    void clearPanel(Control input, Control output);
    void showResult(const codelook::SearchResult &result, Control input, Control output, Control messageBox,
                    std::u16string_view message);

    forms::Runtime &m_runtime;
    // The trimmed input of the latest SEARCH of either panel.
    std::u16string m_searchKey;
};
