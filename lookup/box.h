// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace codelook {

// A text box as the searches see it: a text and a lock. The window adapts
// its line edits to this, so a search's write raises the box's own change
// signal there; tests and the command line use MemoryBox.
class Box
{
public:
    virtual ~Box() = default;
    virtual std::u16string text() const = 0;
    virtual void setText(std::u16string_view text) = 0;
    virtual bool isLocked() const = 0;
    virtual void setLocked(bool locked) = 0;
};

class MemoryBox final : public Box
{
public:
    explicit MemoryBox(std::u16string text = {})
        : m_text(std::move(text))
    { }

    std::u16string text() const override { return m_text; }
    void setText(std::u16string_view text) override
    {
        m_text = text;
        ++writes;
    }
    bool isLocked() const override { return m_locked; }
    void setLocked(bool locked) override { m_locked = locked; }

    int writes = 0;

private:
    std::u16string m_text;
    bool m_locked = false;
};

} // namespace codelook
