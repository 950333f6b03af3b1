// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include "bytescan.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace codelook {

// A cheap byte test that a record must pass before it is decoded, so that a
// pass over a large list spends almost nothing on records that cannot match.
// It rejects only what is certain: ASCII bytes compared with an ASCII key.
// Anything else (a non-ASCII byte before the compared bytes have decided, a
// key that is not ASCII) lets the record through to the search's own test.
class RecordFilter
{
public:
    // Lets every record through.
    RecordFilter() = default;

    // For a code search: records whose first four characters are the key.
    static RecordFilter forCode(std::u16string_view key);
    // For a name search: records whose name, upper-cased, begins with the key.
    static RecordFilter forName(std::u16string_view key);

    // False only for a record that cannot match. A truncated record goes on
    // past its `size` bytes.
    bool mayMatch(const char *data, std::size_t size, bool truncated) const;

    // Whether the reader may pass over stretches of the list that hold no hit
    // of needle() (bytescan's findHit) without finding their records: a
    // record that can match holds the key's bytes together, unless it holds
    // a double quote or, for a name, a character whose upper case is ASCII
    // although it is not (such as ß), and findHit stops at those too.
    bool skips() const { return m_skips; }
    const bytescan::Needle &needle() const { return m_needle; }

    // Whether a record that starts at `record` (past its leading spaces) and
    // whose first hit is at record[hit] cannot match, so the reader may pass
    // it over: the key found only past its place in the record.
    bool passesOver(const unsigned char *record, std::size_t hit) const;

private:
    RecordFilter(std::string key, std::size_t offset, bool foldCase, bool wholeRecord);

    static bool asciiBefore(const unsigned char *data, std::size_t end);
    bool firstByteRejects(const unsigned char *data, std::size_t size) const;
    bool wholeRecordMayMatch(const unsigned char *data, std::size_t size, bool truncated) const;
    bool keyAtOffsetMayMatch(const unsigned char *data, std::size_t size, bool truncated) const;

    std::string m_key; // ASCII only
    std::size_t m_offset = 0; // the key's byte position in an ASCII record
    bool m_foldCase = false; // compare the record's a-z as A-Z
    bool m_wholeRecord = false; // the record is the key and nothing more
    bool m_active = false;
    bool m_skips = false;
    // The byte at m_offset that settles most records, in either case.
    unsigned char m_first = 0;
    unsigned char m_firstOther = 0;
    bytescan::Needle m_needle;
};

// The reader asks these for every record it looks at: inline.

inline bool RecordFilter::mayMatch(const char *data, std::size_t size, bool truncated) const
{
    if (!m_active)
        return true;
    const auto *b = reinterpret_cast<const unsigned char *>(data);
    if (m_wholeRecord)
        return wholeRecordMayMatch(b, size, truncated);
    if (m_key.empty())
        return true;
    return !firstByteRejects(b, size) && keyAtOffsetMayMatch(b, size, truncated);
}

// The first compared byte settles most records: the bytes before it must be
// ASCII, so that it sits at its character position, and then it must match.
inline bool RecordFilter::firstByteRejects(const unsigned char *data, std::size_t size) const
{
    if (size <= m_offset)
        return false;
    if (std::endian::native == std::endian::little && m_offset < 8 && size >= 8) {
        // One load covers the bytes up to the compared one.
        std::uint64_t word;
        std::memcpy(&word, data, 8);
        if (word & (0x8080808080808080ull >> (8 * (7 - m_offset))))
            return false;
    } else if (!asciiBefore(data, m_offset + 1)) {
        return false;
    }
    return data[m_offset] != m_first && data[m_offset] != m_firstOther;
}

inline bool RecordFilter::passesOver(const unsigned char *record, std::size_t hit) const
{
    // A quote or a fold hazard (a byte above ASCII) settles nothing.
    if (record[hit] == '"' || record[hit] >= 0x80)
        return false;
    // The key matches only at its place in the record. Where the bytes
    // before that place are ASCII, it is their byte count; a first hit past
    // it means the key is not there.
    return hit > m_offset && asciiBefore(record, m_offset);
}

inline bool RecordFilter::asciiBefore(const unsigned char *data, std::size_t end)
{
    unsigned char high = 0;
    for (std::size_t i = 0; i < end; ++i)
        high |= data[i];
    return high < 0x80;
}

} // namespace codelook
