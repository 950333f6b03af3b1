// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace codelook {

// A text box as the searches see it: a text and a lock. The window adapts
// its line edits to this, so a search's write raises the box's own change
// signal there; tests and the command line use MemoryBox.
class Box
{
public:
    virtual ~Box() = default;
    virtual QString text() const = 0;
    virtual void setText(const QString &text) = 0;
    virtual bool isLocked() const = 0;
    virtual void setLocked(bool locked) = 0;
};

class MemoryBox final : public Box
{
public:
    explicit MemoryBox(QString text = {})
        : m_text(std::move(text))
    { }

    QString text() const override { return m_text; }
    void setText(const QString &text) override
    {
        m_text = text;
        ++writes;
    }
    bool isLocked() const override { return m_locked; }
    void setLocked(bool locked) override { m_locked = locked; }

    int writes = 0;

private:
    QString m_text;
    bool m_locked = false;
};

} // namespace codelook
