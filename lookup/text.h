// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// String rules shared by the list reader and both searches. Text is UTF-16;
// positions and lengths count characters (Unicode code points), not UTF-16
// units, so a character outside the Basic Multilingual Plane is never cut in
// half.
namespace codelook {

// Removes leading and trailing spaces (U+0020) only; tabs stay.
std::u16string trimSpaces(std::u16string_view s);

// The first n characters, or the whole string when it is shorter.
std::u16string leftChars(std::u16string_view s, std::size_t n);

// Up to n characters from position pos (counted from 1); empty when the
// string is shorter than pos or n is 0.
std::u16string midChars(std::u16string_view s, std::size_t pos, std::size_t n);

// The number of characters: a surrogate pair counts once.
std::size_t charCount(std::u16string_view s);

// Full Unicode upper-casing without language rules, the same everywhere:
// "ß" becomes "SS", so the result may be longer.
std::u16string upper(std::u16string_view s);

// Windows-1252, every byte decoded: the five unassigned bytes become the C1
// control characters of the same value.
std::u16string fromWindows1252(const char *data, std::size_t size);

// UTF-8 to UTF-16. Each byte that starts no well-formed sequence becomes one
// U+FFFD, and a byte-order mark is a character like any other (U+FEFF).
std::u16string fromUtf8(std::string_view bytes);

// UTF-16 to UTF-8; an unpaired surrogate becomes '?'.
std::string toUtf8(std::u16string_view text);

bool isValidUtf8(const char *data, std::size_t size);

// UTF-8 validity of a byte stream that arrives in pieces, so a record read
// across several blocks is judged as a whole.
class Utf8Validator
{
public:
    void feed(const char *data, std::size_t size);
    bool isValid() const { return !m_failed && m_pending == 0; }

private:
    unsigned char m_pending = 0; // continuation bytes still expected
    unsigned char m_lowest = 0x80; // bounds of the next continuation byte,
    unsigned char m_highest = 0xBF; // which rule out overlongs and surrogates
    bool m_failed = false;
};

} // namespace codelook
