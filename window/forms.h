// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// What the window needs of a forms runtime, and nothing more.
//
// A window is described by a table of controls (FormDef). Controls are
// addressed by their index in the table. Texts are UTF-16; positions and
// sizes are twips (1440 an inch, so 15 a pixel at 96 dpi); colours are
// 0x00BBGGRR values.
//
// Every rule that follows from the table is the form model's (formmodel.h,
// where they are listed). A runtime (Qt on Linux, Win32 on Windows, a fake in
// the tests) must itself:
// - create one native control per row, named after it, where the model puts
//   it, in the font and the colours the model gives, with the table's limit;
// - start the form in the model's order (forms::start);
// - raise the Events the model says a control raises, one at a time on the
//   window's thread: a click, a text's change (typed, pasted or written),
//   the focus taken, a key down before the character it types, which
//   KeyPress may replace or drop;
// - move the focus with Tab and Shift+Tab as the model's nextTabStop says,
//   and let Enter and Esc press no button;
// - tell assistive technology of each focus change in the order it happens,
//   so that its last word is where the keyboard focus ends, even when a
//   GotFocus handler moves the focus on; and announce a write the model
//   says is news (FormModel::announces);
// - tell a close's reason (UnloadMode) and let QueryUnload refuse it;
// - when a handler fails, show the box the program words and end with a
//   failure status (failure.h);
// - carry out the calls of Runtime.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace forms {

using Colour = std::uint32_t;
// The platform's own colour for that part of the control.
inline constexpr Colour defaultColour = 0xFF000000u;

enum class Kind { Frame, Label, TextBox, CommandButton, OptionButton };

// Where a face is missing, a platform takes a stand-in of its family.
enum class FontFamily { Any, Serif, Sans };

struct Font
{
    std::u16string_view face; // empty: the container's font
    double points = 0;
    bool bold = false;
    FontFamily family = FontFamily::Any;
};

struct Rect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int onForm = -1;

struct ControlDef
{
    std::string_view name; // "Text1"; a control array's members are "Option1_0", "Option1_1"
    Kind kind = Kind::Label;
    int container = onForm; // index of the frame it lies in
    std::u16string_view text; // caption, or a text box's first text
    Rect twips; // within its container
    int tabIndex = 0; // keyboard order; labels and frames take no focus
    Font font;
    int maxLength = 0; // text boxes: UTF-16 units typed or pasted (FormModel::admits); 0 is no limit
    Colour backColor = defaultColour;
    Colour foreColor = defaultColour;
    bool visible = true;
};

struct FormDef
{
    std::string_view name;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    std::span<const ControlDef> controls;
    // For controls and frames with no face of their own: the platform's
    // forms runtime's own default.
    Font font{u"MS Sans Serif", 8, false, FontFamily::Sans};
    // The back colour that marks a box; where only the platform's colours
    // may show, the platform's highlight stands in for it.
    Colour highlight = defaultColour;
};

enum WindowState : int { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

// Why a close is asked for, as Events::QueryUnload receives it.
enum UnloadMode : int {
    vbFormControlMenu = 0, // close box, Alt+F4, the system menu's Close
    vbFormCode = 1, // the program closed the window
    vbAppWindows = 2, // the session is ending (log-off, shutdown)
    vbAppTaskManager = 3, // another program asked
};

// Message box styles and answers, as the platform numbers them.
inline constexpr int vbCritical = 16; // an OK button with the stop icon
inline constexpr int vbQuestion = 32;
inline constexpr int vbExclamation = 48; // an OK button with the exclamation icon
inline constexpr int vbInformation = 64;
inline constexpr int vbIconMask = 0x70;
inline constexpr int vbOK = 1;

// KeyDown's shift state: the keys held, as bits.
inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

class Runtime
{
public:
    virtual ~Runtime() = default;

    // The form.
    virtual void setCaption(std::u16string_view caption) = 0;
    virtual int windowState() const = 0;
    virtual void refresh() = 0; // repaint now
    virtual double width() const = 0; // outer size, twips
    virtual double height() const = 0;
    virtual void move(double left, double top) = 0; // outer position on the screen, twips
    virtual double screenWidth() const = 0; // the primary screen, twips
    virtual double screenHeight() const = 0;
    // Keeps the window above every window that is not topmost itself,
    // without moving or resizing it.
    virtual void pinOnTop() = 0;
    // Ends the program once the running handler returns: no further events,
    // no close questions, no window left, and this exit status.
    virtual void end(int exitCode) = 0;

    // Frames: a control shows only while its frames do.
    virtual void setVisible(int control, bool visible) = 0;

    // Text boxes. A write raises the box's Change, as typing does.
    virtual std::u16string text(int control) const = 0;
    virtual void setText(int control, std::u16string_view text) = 0;
    virtual bool locked(int control) const = 0; // read-only to the user
    virtual void setLocked(int control, bool locked) = 0;
    virtual void setBackColor(int control, Colour colour) = 0;
    // Also for the other controls that take the focus.
    virtual void setFocus(int control) = 0;

    // Option buttons.
    virtual void setValue(int control, bool value) = 0;

    // A modal message box; returns the button pressed (vbOK).
    virtual int msgBox(std::u16string_view prompt, int style, std::u16string_view title) = 0;
};

// A message box as the program words it (and as a test reads one back).
struct Message
{
    std::u16string prompt;
    int style = 0;
    std::u16string title;
};

// The events a runtime raises, one at a time, on the window's thread.
class Events
{
public:
    virtual ~Events() = default;

    virtual void Load() = 0; // once, before the window is first shown
    virtual void Resize() = 0; // first shown, minimised, restored, resized
    // A close is asked for; true cancels it.
    virtual bool QueryUnload(int unloadMode) = 0;
    virtual void Click(int control) = 0; // a command button
    virtual void Change(int control) = 0; // a text box's text, typed or written
    virtual void GotFocus(int control) = 0;
    // A key went down in a text box, before any character it types.
    virtual void KeyDown(int control, int &keyCode, int shift) = 0;
    // A character is about to be typed into a text box. The handler may
    // replace it; 0 drops it.
    virtual void KeyPress(int control, int &keyAscii) = 0;

    // A failure that no handler caught, described by `what` (empty when
    // nothing says what failed), ends the program with a failure status; the
    // runtime first shows this box.
    virtual Message failureMessage(std::u16string_view what) const = 0;
};

} // namespace forms
