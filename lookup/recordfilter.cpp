// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "recordfilter.h"

#include "record.h"
#include "text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace codelook {

namespace {

bool isAsciiByte(unsigned char c)
{
    return c < 0x80;
}

bool isAscii(std::u16string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

// Only called for ASCII text.
std::string narrow(std::u16string_view s)
{
    return std::string(s.begin(), s.end());
}

// Eight bytes at a time: most records of a list are ASCII.
bool hasNonAscii(const unsigned char *b, std::size_t size)
{
    std::size_t i = 0;
    for (; i + 8 <= size; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, b + i, 8);
        if (word & 0x8080808080808080ull)
            return true;
    }
    return !std::all_of(b + i, b + size, isAsciiByte);
}

} // namespace

RecordFilter RecordFilter::forCode(std::u16string_view key)
{
    // A key longer than a code matches nothing; the search says so itself.
    const std::size_t chars = charCount(key);
    if (!isAscii(key) || chars > record::codeLength)
        return {};
    // A key shorter than a code matches only a record that is the key.
    return RecordFilter(narrow(key), 0, false, chars < record::codeLength);
}

RecordFilter RecordFilter::forName(std::u16string_view key)
{
    if (!isAscii(key))
        return {};
    return RecordFilter(narrow(key), record::namePosition - 1, true, false);
}

RecordFilter::RecordFilter(std::string key, std::size_t offset, bool foldCase, bool wholeRecord)
    : m_key(std::move(key))
    , m_offset(offset)
    , m_foldCase(foldCase)
    , m_wholeRecord(wholeRecord)
    , m_active(true)
    // One byte would stop the skip at nearly every record.
    , m_skips(m_key.size() >= 2)
    , m_needle(m_key, foldCase)
{
    if (m_key.empty())
        return;
    const auto c = static_cast<unsigned char>(m_key[0]);
    if (m_foldCase && c >= 'a' && c <= 'z') {
        // An upper-cased record byte is never a lower-case letter: 0x80
        // matches no ASCII byte, so every ASCII record is rejected.
        m_first = m_firstOther = 0x80;
    } else if (m_foldCase && c >= 'A' && c <= 'Z') {
        m_first = c;
        m_firstOther = c + ('a' - 'A');
    } else {
        m_first = m_firstOther = c;
    }
}

bool RecordFilter::wholeRecordMayMatch(const unsigned char *data, std::size_t size, bool truncated) const
{
    // Bytes are not characters: a non-ASCII record of another byte length
    // may still hold the key's number of characters.
    if (hasNonAscii(data, size))
        return true;
    // A cut record goes on past its bytes, so only its beginning is known.
    if (truncated ? size >= m_key.size() : size != m_key.size())
        return false;
    return std::memcmp(data, m_key.data(), size) == 0;
}

bool RecordFilter::keyAtOffsetMayMatch(const unsigned char *data, std::size_t size, bool truncated) const
{
    const std::size_t needed = m_offset + m_key.size();
    const std::size_t n = std::min(size, needed);
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = data[i];
        if (!isAsciiByte(c))
            return true;
        if (i < m_offset)
            continue;
        if (m_foldCase && c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        if (c != static_cast<unsigned char>(m_key[i - m_offset]))
            return false;
    }
    return size >= needed || truncated;
}

} // namespace codelook
