// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// How a handler's failure ends the program, the same on every runtime.

#include "forms.h"

#include <cstdlib>
#include <exception>
#include <string_view>

namespace forms {

// Runs one handler as every runtime raises an event: a failure it lets out
// must not unwind through the platform's own code, so it goes to fail(what)
// with the failure's description ("" when it has none), which shows the
// program's failure box and ends the program.
template <typename Handler, typename Fail>
void guard(Handler &&handler, Fail &&fail)
{
    try {
        handler();
    } catch (const std::exception &e) {
        fail(e.what());
    } catch (...) {
        fail("");
    }
}

// What fail() then does on every runtime, given the failure's description:
// the box the program words, and the end with a failure status.
inline void endWithFailure(Runtime &runtime, const Events &events, std::u16string_view what)
{
    const Message box = events.failureMessage(what);
    runtime.msgBox(box.prompt, box.style, box.title);
    runtime.end(EXIT_FAILURE);
}

} // namespace forms
