// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The scenarios on the fake runtime: no display, every event raised in
// memory.

#include "../window/fakeruntime.h"
#include "driver.h"
#include "formmodel.h"
#include "frmmain.h"

#include <cmath>

namespace {

int pixels(double twips)
{
    return int(std::lround(twips / 15));
}

class FakeDriver final : public Driver
{
public:
    bool start() override { return m_runtime.start(m_log); }

    void click(int control) override { m_runtime.click(control); }
    void type(int control, std::u16string_view text) override { m_runtime.type(control, text); }
    void pressKey(int control, Key key) override
    {
        switch (key) {
        case Key::Left:
            m_runtime.key(control, 37);
            break;
        case Key::Return:
            m_runtime.key(control, 13, 13);
            break;
        case Key::Escape:
            m_runtime.key(control, 27, 27);
            break;
        case Key::Space:
            m_runtime.key(control, ' ', ' ');
            break;
        }
    }
    void paste(int control, std::u16string_view text) override { m_runtime.paste(control, text); }
    void tab(bool backwards) override { m_runtime.tab(backwards); }
    void focus(int control) override { m_runtime.setFocus(control); }
    void minimise() override { m_runtime.setWindowState(forms::vbMinimized); }
    void restore() override { m_runtime.setWindowState(forms::vbNormal); }
    bool askClose(int unloadMode) override
    {
        m_runtime.close(unloadMode);
        return true;
    }

    std::u16string caption() const override { return m_runtime.caption; }
    std::u16string text(int control) const override { return m_runtime.text(control); }
    bool locked(int control) const override { return m_runtime.locked(control); }
    forms::Colour backColor(int control) const override { return m_runtime.at(control).backColor; }
    bool shows(int control) const override { return m_runtime.shown && m_runtime.form.shows(control); }
    bool checked(int control) const override { return m_runtime.at(control).value; }
    int focused() const override { return m_runtime.focus; }
    bool windowShown() const override { return m_runtime.shown; }
    bool pinned() const override { return m_runtime.pinned; }
    forms::Rect windowPixels() const override
    {
        return {pixels(m_runtime.left), pixels(m_runtime.top), pixels(m_runtime.outerWidth),
                pixels(m_runtime.outerHeight)};
    }
    forms::Rect screenPixels() const override { return {0, 0, pixels(m_runtime.screenW), pixels(m_runtime.screenH)}; }
    bool ended() const override { return m_runtime.ended; }
    int exitCode() const override { return m_runtime.exitCode; }
    const std::vector<forms::Message> &messages() const override { return m_runtime.messages; }
    EventLog &events() override { return m_log; }

private:
    FakeRuntime m_runtime{frmMain::layout()};
    frmMain m_window{m_runtime};
    EventLog m_log{m_window};
};

} // namespace

std::unique_ptr<Driver> makeDriver()
{
    return std::make_unique<FakeDriver>();
}
