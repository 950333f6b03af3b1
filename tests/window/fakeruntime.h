// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// A forms runtime with no display: it keeps each control's state in memory,
// raises events the way the real runtimes do (a write raises Change, a key
// raises KeyDown before KeyPress, taking the focus raises GotFocus), and acts
// as a user would: typing, pasting, clicking, tabbing, minimising, closing.

#include "forms.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

class FakeRuntime final : public forms::Runtime
{
public:
    struct Control
    {
        const forms::ControlDef *def = nullptr;
        std::u16string text;
        bool visible = true;
        bool locked = false;
        bool value = false;
        forms::Colour backColor = forms::defaultColour;
        int maxLength = 0;
    };

    struct MessageBox
    {
        std::u16string prompt;
        int style = 0;
        std::u16string title;
    };

    explicit FakeRuntime(const forms::FormDef &form)
        : m_form(form)
    {
        for (const forms::ControlDef &def : form.controls)
            controls.push_back(
                {&def, std::u16string(def.text), def.visible, false, false, def.backColor, def.maxLength});
    }

    // Load, then the first show unless the program ended.
    void start(forms::Events &events)
    {
        m_events = &events;
        m_events->Load();
        if (ended)
            return;
        shown = true;
        m_events->Resize();
    }

    // The user's actions.
    void click(int control)
    {
        if (canUse(control))
            m_events->Click(control);
    }

    void key(int control, int keyCode)
    {
        if (canUse(control))
            m_events->KeyDown(control, keyCode, 0);
    }

    void type(int control, std::u16string_view chars)
    {
        for (char16_t c : chars) {
            if (!canUse(control))
                return;
            int keyCode = c >= u'a' && c <= u'z' ? c - 32 : c;
            m_events->KeyDown(control, keyCode, 0);
            int keyAscii = c;
            m_events->KeyPress(control, keyAscii);
            if (keyAscii != 0)
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
        std::vector<int> order;
        for (int i = 0; i < int(controls.size()); ++i) {
            const forms::Kind kind = controls[std::size_t(i)].def->kind;
            if (kind != forms::Kind::Frame && kind != forms::Kind::Label && effectivelyVisible(i))
                order.push_back(i);
        }
        std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
            return controls[std::size_t(a)].def->tabIndex < controls[std::size_t(b)].def->tabIndex;
        });
        if (order.empty())
            return;
        auto at = std::find(order.begin(), order.end(), focus);
        int next;
        if (at == order.end())
            next = backwards ? order.back() : order.front();
        else if (backwards)
            next = at == order.begin() ? order.back() : *(at - 1);
        else
            next = at + 1 == order.end() ? order.front() : *(at + 1);
        setFocus(next);
    }

    void setWindowState(int newState)
    {
        state = newState;
        if (!ended)
            m_events->Resize();
    }

    // True when the window closed.
    bool close(int unloadMode)
    {
        if (ended)
            return true;
        if (m_events->QueryUnload(unloadMode))
            return false;
        shown = false;
        return true;
    }

    bool effectivelyVisible(int control) const
    {
        for (int c = control; c != forms::onForm; c = controls[std::size_t(c)].def->container) {
            if (!controls[std::size_t(c)].visible)
                return false;
        }
        return true;
    }

    const Control &operator[](int control) const { return controls.at(std::size_t(control)); }

    // forms::Runtime
    std::u16string caption() const override { return m_caption; }
    void setCaption(std::u16string_view caption) override
    {
        m_caption = caption;
        captions.emplace_back(caption);
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
    bool visible(int control) const override { return controls.at(std::size_t(control)).visible; }
    void setVisible(int control, bool visible) override { controls.at(std::size_t(control)).visible = visible; }
    std::u16string text(int control) const override { return controls.at(std::size_t(control)).text; }
    void setText(int control, std::u16string_view text) override
    {
        Control &c = controls.at(std::size_t(control));
        if (c.text == text)
            return;
        c.text = text;
        m_events->Change(control);
    }
    bool locked(int control) const override { return controls.at(std::size_t(control)).locked; }
    void setLocked(int control, bool locked) override { controls.at(std::size_t(control)).locked = locked; }
    forms::Colour backColor(int control) const override { return controls.at(std::size_t(control)).backColor; }
    void setBackColor(int control, forms::Colour colour) override
    {
        controls.at(std::size_t(control)).backColor = colour;
    }
    int maxLength(int control) const override { return controls.at(std::size_t(control)).maxLength; }
    void setMaxLength(int control, int maxLength) override { controls.at(std::size_t(control)).maxLength = maxLength; }
    void setFocus(int control) override
    {
        focus = control;
        m_events->GotFocus(control);
    }
    bool value(int control) const override { return controls.at(std::size_t(control)).value; }
    void setValue(int control, bool value) override { controls.at(std::size_t(control)).value = value; }
    int msgBox(std::u16string_view prompt, int style, std::u16string_view title) override
    {
        messages.push_back({std::u16string(prompt), style, std::u16string(title)});
        return forms::vbOK;
    }
    bool fileExists(std::u16string_view name) const override
    {
        std::error_code error;
        return std::filesystem::is_regular_file(std::filesystem::path(name), error);
    }

    std::vector<Control> controls;
    std::vector<std::u16string> captions;
    std::vector<MessageBox> messages;
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
    bool canUse(int control) const { return !ended && shown && effectivelyVisible(control); }

    void insert(int control, std::u16string_view text)
    {
        Control &c = controls.at(std::size_t(control));
        if (c.locked)
            return;
        std::u16string next = c.text + std::u16string(text);
        if (c.maxLength > 0 && next.size() > std::size_t(c.maxLength))
            next.resize(std::size_t(c.maxLength));
        if (next == c.text)
            return;
        c.text = next;
        m_events->Change(control);
    }

    const forms::FormDef &m_form;
    forms::Events *m_events = nullptr;
    std::u16string m_caption;
};
