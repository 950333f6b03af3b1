// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The rules that follow from a form's control table, stated once for every
// runtime: which events each kind of control raises (rulesOf), which
// controls take the focus and in what order, which option buttons clear one
// another, what shows through its frames, where each control lies in twips
// and in pixels at a DPI, which font it is drawn in (its own, its frame's or
// the form's) and in which colours on the platform's palette (colourrule.h),
// which label names which box, which writes are news to a screen reader
// (announces), the order in which a runtime stacks its controls and starts a
// form (start). How a handler's failure ends the program is failure.h's. A
// runtime keeps one FormModel beside its native controls and asks it; it
// derives none of these itself.

#include "colourrule.h"
#include "forms.h"

#include <string>
#include <string_view>
#include <vector>

namespace forms {

inline constexpr int twipsPerInch = 1440;
// The DPI at which the table's twips are whole pixels (15 twips a pixel).
inline constexpr int designDpi = 96;

// Twips to pixels at a DPI, rounded to the nearest as Windows' MulDiv rounds.
int toPixels(int twips, int dpi);
Rect toPixels(const Rect &twips, int dpi);
// A place or size the program worked out in fractions of a twip (the
// window's centring), to the nearest pixel.
int placeToPixels(double twips, int dpi);
double toTwips(double pixels, double dpi);

// The events of forms::Events that a control raises, as the platform's forms
// runtime raises them for its kind.
enum class Event : unsigned { Click = 1, Change = 2, GotFocus = 4, KeyDown = 8, KeyPress = 16 };

// What a kind of control does. Whatever takes the focus takes it from Tab and
// from a click alike, and raises GotFocus then.
struct KindRules
{
    bool takesFocus = false;
    unsigned events = 0; // Event bits
};
constexpr KindRules rulesOf(Kind kind)
{
    constexpr auto bits = [](auto... events) { return (0u | ... | unsigned(events)); };
    switch (kind) {
    case Kind::Frame:
    case Kind::Label:
        break;
    case Kind::TextBox:
        return {true, bits(Event::Change, Event::GotFocus, Event::KeyDown, Event::KeyPress)};
    case Kind::CommandButton:
        return {true, bits(Event::Click, Event::GotFocus)};
    case Kind::OptionButton:
        return {true, bits(Event::GotFocus)};
    }
    return {};
}

class FormModel
{
public:
    explicit FormModel(const FormDef &def);

    const FormDef &def() const { return m_def; }
    int count() const { return int(m_def.controls.size()); }
    const ControlDef &operator[](int control) const { return m_def.controls[std::size_t(control)]; }
    // -1 when no control has that name.
    int indexOf(std::string_view name) const;

    // Whether a control's kind takes the focus (while it shows), and raises
    // an event.
    bool takesFocus(int control) const { return rulesOf((*this)[control].kind).takesFocus; }
    bool raises(int control, Event event) const
    {
        return (rulesOf((*this)[control].kind).events & unsigned(event)) != 0;
    }

    // The option buttons that clear one another: those of one container that
    // lie next to one another in the stacking order, as the platform's dialog
    // manager groups them. A group is known by its first member; -1 for a
    // control that is no option button.
    int optionGroup(int control) const { return m_group[std::size_t(control)]; }
    // Whether a control begins a group in the stacking order: every control
    // but an option button that follows one of its own group.
    bool startsGroup(int control) const
    {
        return m_group[std::size_t(control)] == -1 || m_group[std::size_t(control)] == control;
    }
    // The controls that take the focus, by tab index.
    const std::vector<int> &tabOrder() const { return m_tabOrder; }
    // Every control, in the order a runtime that keeps them all as siblings
    // stacks them, top first: by tab index, except that each label that
    // names a box stands immediately before it (screen readers on Windows
    // name a box after the static just before it), and the frames last, so
    // that a frame never paints over what lies in it.
    const std::vector<int> &zOrder() const { return m_zOrder; }
    // The next control Tab (or Shift+Tab) moves to from this one, among
    // those that show; from the form itself (-1), the first (or the last).
    // -1 when nothing shows that could take the focus.
    int nextTabStop(int from, bool backwards) const;

    // Each control's own Visible, as the table starts it and the program
    // sets it; a control shows only while it and every frame round it do.
    bool visible(int control) const { return m_visible[std::size_t(control)]; }
    void setVisible(int control, bool visible) { m_visible[std::size_t(control)] = visible; }
    bool shows(int control) const;

    // Each control's back colour, as the table starts it and the program
    // sets it, and the pair it is drawn in on this platform (colourrule.h).
    Colour backColor(int control) const { return m_backColor[std::size_t(control)]; }
    void setBackColor(int control, Colour colour) { m_backColor[std::size_t(control)] = colour; }
    ColourPair colours(int control, const PlatformColours &platform) const;

    // Where a control lies: within its frame (the table's own figures), or
    // from the form's client origin, in twips or in pixels at a DPI.
    Rect rectInContainer(int control) const { return (*this)[control].twips; }
    Rect rectOnForm(int control) const;
    Rect pixelsInContainer(int control, int dpi) const { return toPixels(rectInContainer(control), dpi); }
    Rect pixelsOnForm(int control, int dpi) const { return toPixels(rectOnForm(control), dpi); }
    int clientWidthPixels(int dpi) const { return toPixels(m_def.clientWidth, dpi); }
    int clientHeightPixels(int dpi) const { return toPixels(m_def.clientHeight, dpi); }

    // The font a control is drawn in: its own, else its frame's, else the
    // form's.
    const Font &fontOf(int control) const;
    // A font's height in pixels at a DPI (points are 1/72 inch).
    static int pixelHeight(const Font &font, int dpi);

    // The label that names a text box: of the box's own frame, not below
    // the box, whose middle is nearest the box's. -1 when there is none.
    int labelOf(int textBox) const;
    // What a screen reader calls a control: a box its label's text, every
    // other control its own caption.
    std::u16string_view accessibleName(int control) const;
    // The frame that holds a control, or onForm.
    int containerOf(int control) const { return (*this)[control].container; }
    // Whether text the program writes into a box is news that a screen
    // reader would otherwise miss: something written (not a box emptied)
    // into a box that shows but does not hold the focus (`focus`, -1 for
    // none). A runtime announces such a write to assistive technology once,
    // politely (after what is being said), and leaves the focus where it is.
    bool announces(int box, std::u16string_view text, int focus) const
    {
        return !text.empty() && box != focus && (*this)[box].kind == Kind::TextBox && shows(box);
    }

    // How many UTF-16 units of what the user types or pastes into a box go
    // in, when `kept` units of its text stay (those not replaced). The limit
    // counts units, as the platforms' edit controls do, and bounds only what
    // the user adds: what the program writes shows whole. What does not fit
    // is cut from the end, never inside a surrogate pair.
    std::size_t admits(int textBox, std::u16string_view added, std::size_t kept) const;

private:
    const FormDef &m_def;
    std::vector<int> m_tabOrder;
    std::vector<int> m_zOrder;
    std::vector<bool> m_visible;
    std::vector<int> m_group;
    std::vector<Colour> m_backColor;
};

// The order in which every runtime starts a form: Load; unless the program
// ended there, the first show and its one Resize. raise(f) calls f with the
// window's events as the runtime raises any event; true when the window is
// shown and the program goes on.
template <typename Raise, typename Show, typename Ended>
bool start(Raise &&raise, Show &&show, Ended &&ended)
{
    raise([](Events &e) { e.Load(); });
    if (ended())
        return false;
    show();
    raise([](Events &e) { e.Resize(); });
    return !ended();
}

} // namespace forms
