// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include "forms.h"

// Events that do nothing and refuse no close: a test overrides the one or
// two it watches.
struct QuietEvents : forms::Events
{
    void Load() override { }
    void Resize() override { }
    bool QueryUnload(int) override { return false; }
    void Click(int) override { }
    void Change(int) override { }
    void GotFocus(int) override { }
    void KeyDown(int, int &, int) override { }
    void KeyPress(int, int &) override { }
    forms::Message failureMessage(std::u16string_view) const override { return {}; }
};
