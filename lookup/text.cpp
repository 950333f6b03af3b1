// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "text.h"

#include <cstdint>
#include <cstring>

namespace codelook {

namespace {

// UTF-16 index where the character numbered `count` (from 0) starts, or the
// string's size when it has fewer characters.
qsizetype indexOfChar(QStringView s, qsizetype count)
{
    qsizetype i = 0;
    while (count > 0 && i < s.size()) {
        const bool pair = s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
        i += pair ? 2 : 1;
        --count;
    }
    return i;
}

} // namespace

QString trimSpaces(QStringView s)
{
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return s.sliced(begin, end - begin).toString();
}

QString leftChars(QStringView s, qsizetype n)
{
    return s.first(indexOfChar(s, n)).toString();
}

QString midChars(QStringView s, qsizetype pos, qsizetype n)
{
    if (pos < 1 || n <= 0)
        return {};
    const qsizetype begin = indexOfChar(s, pos - 1);
    const QStringView rest = s.sliced(begin);
    return rest.first(indexOfChar(rest, n)).toString();
}

QString upper(QStringView s)
{
    return s.toString().toUpper();
}

QString fromWindows1252(const char *data, std::size_t size)
{
    // 0x80..0x9F; the rest of the code page is Latin-1.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    QString out(qsizetype(size), Qt::Uninitialized);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
    }
    return out;
}

void Utf8Validator::feed(const char *data, std::size_t size)
{
    const auto *p = reinterpret_cast<const unsigned char *>(data);
    const auto *end = p + size;
    while (p < end && !m_failed) {
        if (m_pending == 0) {
            // Runs of ASCII are the common case: skip them eight at a time.
            while (end - p >= 8) {
                std::uint64_t word;
                std::memcpy(&word, p, 8);
                if (word & 0x8080808080808080ull)
                    break;
                p += 8;
            }
            if (p == end)
                break;
            const unsigned char b = *p++;
            if (b < 0x80)
                continue;
            m_lowest = 0x80;
            m_highest = 0xBF;
            if (b >= 0xC2 && b <= 0xDF) {
                m_pending = 1;
            } else if (b >= 0xE0 && b <= 0xEF) {
                m_pending = 2;
                if (b == 0xE0)
                    m_lowest = 0xA0;
                else if (b == 0xED)
                    m_highest = 0x9F; // UTF-16 surrogates are not characters
            } else if (b >= 0xF0 && b <= 0xF4) {
                m_pending = 3;
                if (b == 0xF0)
                    m_lowest = 0x90;
                else if (b == 0xF4)
                    m_highest = 0x8F;
            } else {
                m_failed = true;
            }
        } else {
            const unsigned char b = *p++;
            if (b < m_lowest || b > m_highest) {
                m_failed = true;
            } else {
                --m_pending;
                m_lowest = 0x80;
                m_highest = 0xBF;
            }
        }
    }
}

bool isValidUtf8(const char *data, std::size_t size)
{
    Utf8Validator v;
    v.feed(data, size);
    return v.isValid();
}

} // namespace codelook
