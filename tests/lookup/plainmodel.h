// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <optional>
#include <string>
#include <vector>

// A slow, plain restatement of how the list is read and searched: the whole
// file in memory, walked one byte at a time, each record decoded whole, the
// searches done with whole strings. Apart from upper-casing, which has its
// own tests, it shares no code with the library, so the library's block
// reader, prefilter and cut records can be checked against it.
namespace plainmodel {

std::vector<std::u16string> records(const std::string &file);

// Both take the key as typed and trim it themselves; nothing when no record
// matches.
std::optional<std::u16string> searchCode(const std::vector<std::u16string> &records, const std::u16string &typed);
std::optional<std::u16string> searchName(const std::vector<std::u16string> &records, const std::u16string &typed);

} // namespace plainmodel
