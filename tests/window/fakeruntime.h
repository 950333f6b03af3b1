// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// A forms runtime with no display: it keeps each control's state in memory,
// raises events the way the real runtimes do (a write raises Change, a key
// raises KeyDown before KeyPress, taking the focus raises GotFocus, a failure
// shows the program's failure box and ends it), and acts
// as a user would: typing, pasting, clicking, tabbing, minimising, closing.
// The form model decides what shows and where Tab goes.

#include "failure.h"
#include "formmodel.h"
#include "forms.h"

#include <cstring>
#include <string>
#include <vector>

class FakeRuntime final : public forms::Runtime
{
public:
    struct Control
    {
        std::u16string text;
        bool locked = false;
        bool value = false;
        forms::Colour backColor = forms::defaultColour;
    };

    explicit FakeRuntime(const forms::FormDef &def)
        : form(def)
    {
        for (const forms::ControlDef &c : def.controls)
            controls.push_back({std::u16string(c.text), false, false, c.backColor});
    }

    bool start(forms::Events &events)
    {
        m_events = &events;
        return forms::start([this](auto handler) { raise(handler); }, [this] { shown = true; },
                            [this] { return ended; });
    }

    // The user's actions. A click moves the focus to what takes it first,
    // and chooses an option button.
    void click(int control)
    {
        if (!canUse(control))
            return;
        if (form.takesFocus(control) && focus != control)
            setFocus(control);
        if (!canUse(control))
            return;
        if (form[control].kind == forms::Kind::OptionButton)
            setValue(control, true);
        if (form.raises(control, forms::Event::Click))
            raise([control](forms::Events &e) { e.Click(control); });
    }

    void key(int control, int keyCode, int keyAscii = 0)
    {
        if (!canUse(control))
            return;
        if (form[control].kind == forms::Kind::CommandButton) {
            if (keyCode == ' ')
                raise([control](forms::Events &e) { e.Click(control); });
            return;
        }
        raise([&](forms::Events &e) { e.KeyDown(control, keyCode, 0); });
        if (keyAscii != 0)
            raise([&](forms::Events &e) { e.KeyPress(control, keyAscii); });
    }

    // A character outside the BMP is one key that types its surrogate pair
    // whole, as an input method sends it, with no KeyPress.
    void type(int control, std::u16string_view chars)
    {
        for (std::size_t i = 0; i < chars.size(); ++i) {
            if (!canUse(control))
                return;
            const char16_t c = chars[i];
            int keyCode = c >= u'a' && c <= u'z' ? c - 32 : c;
            raise([&](forms::Events &e) { e.KeyDown(control, keyCode, 0); });
            if (c >= 0xD800 && c < 0xDC00 && i + 1 < chars.size()) {
                insert(control, chars.substr(i++, 2));
                continue;
            }
            int keyAscii = c;
            raise([&](forms::Events &e) { e.KeyPress(control, keyAscii); });
            if (keyAscii >= 32)
                insert(control, std::u16string(1, char16_t(keyAscii)));
        }
    }

    // A paste is no typed key: no KeyDown, no KeyPress, but the limit holds.
    void paste(int control, std::u16string_view text)
    {
        if (canUse(control))
            insert(control, text);
    }

    void tab(bool backwards = false)
    {
        if (const int next = form.nextTabStop(focus, backwards); next >= 0)
            setFocus(next);
    }

    void setWindowState(int newState)
    {
        state = newState;
        raise([](forms::Events &e) { e.Resize(); });
    }

    // True when the window closed.
    bool close(int unloadMode)
    {
        if (ended)
            return true;
        bool cancel = false;
        raise([&](forms::Events &e) { cancel = e.QueryUnload(unloadMode); });
        if (cancel)
            return false;
        shown = false;
        return true;
    }

    // forms::Runtime
    void setCaption(std::u16string_view text) override
    {
        caption = text;
        captions.emplace_back(text);
    }
    int windowState() const override { return state; }
    void refresh() override { ++refreshes; }
    double width() const override { return outerWidth; }
    double height() const override { return outerHeight; }
    void move(double newLeft, double newTop) override
    {
        left = newLeft;
        top = newTop;
    }
    double screenWidth() const override { return screenW; }
    double screenHeight() const override { return screenH; }
    void pinOnTop() override { pinned = true; }
    void end(int code) override
    {
        ended = true;
        exitCode = code;
        shown = false;
    }
    void setVisible(int control, bool visible) override { form.setVisible(control, visible); }
    std::u16string text(int control) const override { return at(control).text; }
    void setText(int control, std::u16string_view text) override
    {
        Control &c = at(control);
        if (c.text == text)
            return;
        c.text = text;
        raise([control](forms::Events &e) { e.Change(control); });
    }
    bool locked(int control) const override { return at(control).locked; }
    void setLocked(int control, bool locked) override { at(control).locked = locked; }
    void setBackColor(int control, forms::Colour colour) override { at(control).backColor = colour; }
    void setFocus(int control) override
    {
        focus = control;
        if (form.raises(control, forms::Event::GotFocus))
            raise([control](forms::Events &e) { e.GotFocus(control); });
    }
    void setValue(int control, bool value) override
    {
        // Choosing one clears the others of its group.
        for (int i = 0; value && i < form.count(); ++i) {
            if (form.optionGroup(i) == form.optionGroup(control))
                at(i).value = false;
        }
        at(control).value = value;
    }
    int msgBox(std::u16string_view prompt, int style, std::u16string_view title) override
    {
        if (ended)
            return forms::vbOK;
        messages.push_back({std::u16string(prompt), style, std::u16string(title)});
        return forms::vbOK;
    }

    Control &at(int control) { return controls.at(std::size_t(control)); }
    const Control &at(int control) const { return controls.at(std::size_t(control)); }

    forms::FormModel form;
    std::vector<Control> controls;
    std::u16string caption;
    std::vector<std::u16string> captions;
    std::vector<forms::Message> messages;
    int focus = -1; // the form itself
    int state = forms::vbNormal;
    int refreshes = 0;
    double outerWidth = 4425; // the client area and a thin frame
    double outerHeight = 2790;
    double screenW = 1920 * 15.0;
    double screenH = 1080 * 15.0;
    double left = 0;
    double top = 0;
    bool shown = false;
    bool pinned = false;
    bool ended = false;
    int exitCode = -1;

private:
    bool canUse(int control) const { return !ended && shown && form.shows(control); }

    void insert(int control, std::u16string_view text)
    {
        Control &c = at(control);
        if (c.locked)
            return;
        const std::u16string next = c.text + std::u16string(text.substr(0, form.admits(control, text, c.text.size())));
        if (next == c.text)
            return;
        c.text = next;
        raise([control](forms::Events &e) { e.Change(control); });
    }

    template <typename Raise>
    void raise(Raise &&raise)
    {
        if (m_events && !ended)
            forms::guard([&] { raise(*m_events); }, [this](const char *what) { fail(what); });
    }

    void fail(const char *what)
    {
        forms::endWithFailure(*this, *m_events, std::u16string(what, what + std::strlen(what)));
    }

    forms::Events *m_events = nullptr;
};
