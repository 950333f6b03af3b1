// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// A front end as the window's scenarios drive it: a user's actions in, what
// the user sees out. Each front end (the fake runtime, Qt, Win32) has one,
// and scenarios.cpp runs the same cases through each.

#include "formmodel.h"
#include "forms.h"

#include <stdexcept>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Keys that type nothing a box keeps.
enum class Key { Left, Return, Escape, Space };

// Stands between a runtime and the window: records the events of the
// controls as the runtime raises them, and can make one handler fail.
class EventLog final : public forms::Events
{
public:
    struct Raised
    {
        forms::Event event;
        int control;
    };

    explicit EventLog(forms::Events &window)
        : m_window(window)
    { }

    // The next Load, Resize or Click (of any control) fails with `what`.
    enum class Failing { None, Load, Resize, Click };
    void failAt(Failing at, const char *what)
    {
        m_failing = at;
        m_what = what;
    }

    void Load() override
    {
        failIf(Failing::Load);
        m_window.Load();
    }
    void Resize() override
    {
        failIf(Failing::Resize);
        m_window.Resize();
    }
    bool QueryUnload(int unloadMode) override { return m_window.QueryUnload(unloadMode); }
    void Click(int control) override
    {
        raised.push_back({forms::Event::Click, control});
        failIf(Failing::Click);
        m_window.Click(control);
    }
    void Change(int control) override
    {
        raised.push_back({forms::Event::Change, control});
        m_window.Change(control);
    }
    void GotFocus(int control) override
    {
        raised.push_back({forms::Event::GotFocus, control});
        m_window.GotFocus(control);
    }
    void KeyDown(int control, int &keyCode, int shift) override
    {
        raised.push_back({forms::Event::KeyDown, control});
        m_window.KeyDown(control, keyCode, shift);
    }
    void KeyPress(int control, int &keyAscii) override
    {
        raised.push_back({forms::Event::KeyPress, control});
        m_window.KeyPress(control, keyAscii);
    }
    forms::Message failureMessage(std::u16string_view what) const override { return m_window.failureMessage(what); }

    std::vector<Raised> raised;

private:
    void failIf(Failing here)
    {
        if (m_failing != here)
            return;
        m_failing = Failing::None;
        throw std::runtime_error(m_what);
    }

    forms::Events &m_window;
    Failing m_failing = Failing::None;
    const char *m_what = "";
};

class Driver
{
public:
    virtual ~Driver() = default;

    // Starts the program in the current folder, every message box answered
    // with OK; false when it ended without showing its window.
    virtual bool start() = 0;

    // A user's actions.
    virtual void click(int control) = 0; // the mouse's button pressed and released on it
    virtual void type(int control, std::u16string_view text) = 0; // one key a character, the focus on it
    virtual void pressKey(int control, Key key) = 0;
    virtual void paste(int control, std::u16string_view text) = 0; // from the clipboard
    virtual void tab(bool backwards) = 0; // Tab or Shift+Tab, wherever the focus is
    virtual void focus(int control) = 0; // the focus put on it, as a screen reader or the program may
    virtual void minimise() = 0;
    virtual void restore() = 0;
    // A close asked for this reason (forms::UnloadMode); false where the
    // platform has no such close.
    virtual bool askClose(int unloadMode) = 0;

    // What shows.
    virtual std::u16string caption() const = 0;
    virtual std::u16string text(int control) const = 0;
    virtual bool locked(int control) const = 0;
    virtual forms::Colour backColor(int control) const = 0; // as painted; the default is the platform's
    virtual bool shows(int control) const = 0; // on the screen, through its frames
    virtual bool checked(int control) const = 0; // an option button's dot
    virtual int focused() const = 0; // -1: the form itself, or nothing
    virtual bool windowShown() const = 0;
    virtual bool pinned() const = 0; // kept above other windows
    virtual forms::Rect windowPixels() const = 0; // the window's outer rectangle on the screen
    virtual forms::Rect screenPixels() const = 0;
    virtual bool ended() const = 0;
    virtual int exitCode() const = 0;
    virtual const std::vector<forms::Message> &messages() const = 0;

    // What stands between the runtime and the window.
    virtual EventLog &events() = 0;
};

// The front end this test program drives.
std::unique_ptr<Driver> makeDriver();
