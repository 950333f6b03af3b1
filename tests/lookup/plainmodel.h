// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <string>
#include <vector>

// A slow, plain restatement of how the list is read and searched: the whole
// file in memory, walked one byte at a time, each record decoded whole, the
// searches done with whole strings. Apart from upper-casing, which has its
// own tests, it shares no code with the library, so the library's block
// reader, prefilter and cut records can be checked against it.
namespace plainmodel {

std::vector<std::u16string> records(const std::string &file);

struct Panel
{
    std::u16string input;
    std::u16string output;
    bool inputLocked = false;
    bool outputLocked = false;
};

// Both return whether a record matched.
bool searchCode(const std::vector<std::u16string> &records, Panel &panel);
bool searchName(const std::vector<std::u16string> &records, Panel &panel);

} // namespace plainmodel
