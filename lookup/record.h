// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>

// How a record of the list is laid out, in characters counted from 1: the
// code, one character that no search reads (a space in the shipped list),
// then the name to the end of the record. tools/recordlayout.py reads these
// numbers for the list generators, so each stays a plain literal.
namespace codelook::record {

inline constexpr std::size_t codeLength = 4;
inline constexpr std::size_t separatorPosition = 5;
inline constexpr std::size_t namePosition = 6;
// A code search shows the name cut to this many characters.
inline constexpr std::size_t shownNameLength = 150;

static_assert(separatorPosition == codeLength + 1 && namePosition == separatorPosition + 1);

// The characters of a record up to the name's nth.
constexpr std::size_t throughName(std::size_t n)
{
    return namePosition - 1 + n;
}

} // namespace codelook::record
