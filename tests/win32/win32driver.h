// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The real Win32 window, driven through the messages a user's mouse,
// keyboard and clipboard send, each handled by the runtime's own message
// loop, and read back as the screen shows it. Every message box is recorded
// and answered with OK while it shows.

#include "driver.h"
#include "frmmain.h"
#include "win32runtime.h"

#include <string>
#include <vector>

class Win32Driver final : public Driver
{
public:
    Win32Driver();
    ~Win32Driver() override;
    Win32Driver(const Win32Driver &) = delete;
    Win32Driver &operator=(const Win32Driver &) = delete;

    Win32Runtime &runtime() { return m_runtime; }
    const Win32Runtime &runtime() const { return m_runtime; }
    HWND control(int index) const { return m_runtime.control(index); }
    // A key down and up, posted as the keyboard queues them, Shift held in
    // the thread's keyboard state (what GetKeyState reads).
    void key(HWND to, UINT virtualKey, bool shift = false);
    // The colours the form hands a control that asks with this message.
    struct Colours
    {
        COLORREF background = CLR_INVALID; // the DC's
        COLORREF brush = CLR_INVALID;
        COLORREF text = CLR_INVALID;
    };
    Colours askColours(UINT message, HWND child) const;
    // The message a control sends for its colours: an edit asks as a static
    // while it is read-only.
    UINT colourMessage(int control) const;

    bool start() override;
    void click(int control) override;
    void type(int control, std::u16string_view text) override;
    void pressKey(int control, Key key) override;
    void paste(int control, std::u16string_view text) override;
    void tab(bool backwards) override;
    void focus(int control) override;
    void minimise() override;
    void restore() override;
    bool askClose(int unloadMode) override;

    std::u16string caption() const override;
    std::u16string text(int control) const override;
    bool locked(int control) const override;
    forms::Colour backColor(int control) const override;
    bool shows(int control) const override;
    bool checked(int control) const override;
    int focused() const override;
    bool windowShown() const override;
    bool pinned() const override;
    forms::Rect windowPixels() const override;
    forms::Rect screenPixels() const override;
    bool ended() const override { return m_runtime.ended(); }
    int exitCode() const override { return m_runtime.exitCode(); }
    const std::vector<forms::Message> &messages() const override { return m_messages; }
    EventLog &events() override { return m_log; }

private:
    static void CALLBACK answerBoxes(HWND, UINT, UINT_PTR, DWORD);
    void answer(HWND box);

    Win32Runtime m_runtime{frmMain::layout()};
    frmMain m_window{m_runtime};
    EventLog m_log{m_window};
    std::vector<forms::Message> m_messages;
    HWND m_answered = nullptr;
    UINT_PTR m_timer = 0;
};
