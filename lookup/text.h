// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>

// String rules shared by the list reader and both searches. Positions and
// lengths count characters (Unicode code points), not UTF-16 units, so a
// character outside the Basic Multilingual Plane is never cut in half.
namespace codelook {

// Removes leading and trailing spaces (U+0020) only; tabs stay.
QString trimSpaces(QStringView s);

// The first n characters, or the whole string when it is shorter.
QString leftChars(QStringView s, qsizetype n);

// Up to n characters from position pos (counted from 1); empty when the
// string is shorter than pos or n is 0.
QString midChars(QStringView s, qsizetype pos, qsizetype n);

// Full Unicode upper-casing: "ß" becomes "SS", so the result may be longer.
QString upper(QStringView s);

// Windows-1252, every byte decoded: the five unassigned bytes become the C1
// control characters of the same value.
QString fromWindows1252(const char *data, std::size_t size);

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
