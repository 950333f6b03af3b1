// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace codelook {

namespace {

struct UpperSingle
{
    char32_t code;
    char32_t upper;
};

struct UpperMultiple
{
    char32_t code;
    unsigned char length;
    char32_t upper[3];
};

#include "uppertable.inc"

static_assert(upperLongest <= 3, "UpperMultiple holds three code points");

constexpr char16_t replacement = 0xFFFD;

bool isHighSurrogate(char16_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char16_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void append(std::u16string &out, char32_t cp)
{
    if (cp >= 0x10000) {
        out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
        out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
        out += char16_t(cp);
    }
}

// UTF-16 index where the character numbered `count` (from 0) starts, or the
// string's size when it has fewer characters.
std::size_t indexOfChar(std::u16string_view s, std::size_t count)
{
    std::size_t i = 0;
    while (count > 0 && i < s.size()) {
        const bool pair = isHighSurrogate(s[i]) && i + 1 < s.size() && isLowSurrogate(s[i + 1]);
        i += pair ? 2 : 1;
        --count;
    }
    return i;
}

void appendUpper(std::u16string &out, char32_t cp)
{
    const auto single = std::lower_bound(std::begin(upperSingles), std::end(upperSingles), cp,
                                         [](const UpperSingle &e, char32_t c) { return e.code < c; });
    if (single != std::end(upperSingles) && single->code == cp) {
        append(out, single->upper);
        return;
    }
    const auto multiple = std::lower_bound(std::begin(upperMultiples), std::end(upperMultiples), cp,
                                           [](const UpperMultiple &e, char32_t c) { return e.code < c; });
    if (multiple != std::end(upperMultiples) && multiple->code == cp) {
        for (std::size_t i = 0; i < multiple->length; ++i)
            append(out, multiple->upper[i]);
        return;
    }
    append(out, cp);
}

// What a byte that leads well-formed UTF-8 (shortest form, no surrogates,
// nothing past U+10FFFF) promises: how many continuation bytes follow, the
// range of the first of them, and its own bits of the code point. more is 0
// for a byte that cannot lead.
struct LeadByte
{
    int more = 0;
    unsigned lowest = 0x80;
    unsigned highest = 0xBF;
    char32_t bits = 0;
};

LeadByte leadOf(unsigned char b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {1, 0x80, 0xBF, char32_t(b & 0x1F)};
    // E0 and F0 would start overlongs below these; ED a UTF-16 surrogate, F4
    // a code point past U+10FFFF above them.
    if (b >= 0xE0 && b <= 0xEF)
        return {2, b == 0xE0 ? 0xA0u : 0x80u, b == 0xED ? 0x9Fu : 0xBFu, char32_t(b & 0x0F)};
    if (b >= 0xF0 && b <= 0xF4)
        return {3, b == 0xF0 ? 0x90u : 0x80u, b == 0xF4 ? 0x8Fu : 0xBFu, char32_t(b & 0x07)};
    return {};
}

// Length of the well-formed UTF-8 sequence at p, or 0; its code point goes
// to cp.
int sequenceAt(const unsigned char *p, const unsigned char *end, char32_t &cp)
{
    const LeadByte lead = leadOf(*p);
    if (lead.more == 0 || end - p <= lead.more)
        return 0;
    unsigned lowest = lead.lowest;
    unsigned highest = lead.highest;
    cp = lead.bits;
    for (int k = 1; k <= lead.more; ++k) {
        const unsigned char b = p[k];
        if (b < lowest || b > highest)
            return 0;
        lowest = 0x80;
        highest = 0xBF;
        cp = (cp << 6) | (b & 0x3F);
    }
    return lead.more + 1;
}

} // namespace

std::u16string trimSpaces(std::u16string_view s)
{
    std::size_t begin = 0;
    std::size_t end = s.size();
    while (begin < end && s[begin] == u' ')
        ++begin;
    while (end > begin && s[end - 1] == u' ')
        --end;
    return std::u16string(s.substr(begin, end - begin));
}

std::u16string leftChars(std::u16string_view s, std::size_t n)
{
    return std::u16string(s.substr(0, indexOfChar(s, n)));
}

std::u16string midChars(std::u16string_view s, std::size_t pos, std::size_t n)
{
    if (pos < 1 || n == 0)
        return {};
    const std::u16string_view rest = s.substr(indexOfChar(s, pos - 1));
    return std::u16string(rest.substr(0, indexOfChar(rest, n)));
}

std::size_t charCount(std::u16string_view s)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!(isLowSurrogate(s[i]) && i > 0 && isHighSurrogate(s[i - 1])))
            ++count;
    }
    return count;
}

std::u16string upper(std::u16string_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c < 0x80) {
            out += (c >= u'a' && c <= u'z') ? char16_t(c - (u'a' - u'A')) : c;
        } else if (isHighSurrogate(c) && i + 1 < s.size() && isLowSurrogate(s[i + 1])) {
            appendUpper(out, 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(s[i + 1]) - 0xDC00));
            ++i;
        } else {
            appendUpper(out, c); // an unpaired surrogate maps to itself
        }
    }
    return out;
}

std::u16string fromWindows1252(const char *data, std::size_t size)
{
    // 0x80..0x9F; the rest of the code page is Latin-1.
    static constexpr char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    std::u16string out(size, u'\0');
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? high[b - 0x80] : char16_t(b);
    }
    return out;
}

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        if (*p < 0x80) {
            out += char16_t(*p++);
            continue;
        }
        char32_t cp = 0;
        const int length = sequenceAt(p, end, cp);
        if (length == 0) {
            out += replacement;
            ++p;
        } else {
            append(out, cp);
            p += length;
        }
    }
    return out;
}

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i])) {
            out += '?';
            continue;
        }
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
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
            const LeadByte lead = leadOf(b);
            m_pending = static_cast<unsigned char>(lead.more);
            m_lowest = static_cast<unsigned char>(lead.lowest);
            m_highest = static_cast<unsigned char>(lead.highest);
            m_failed = lead.more == 0;
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
