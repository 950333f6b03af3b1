// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "plainmodel.h"

#include "record.h"
#include "text.h"

#include <utility>

namespace plainmodel {

namespace {

namespace record = codelook::record;

using Chars = std::u32string;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The code points of s, at most `limit` of them.
Chars chars(const std::u16string &s, std::size_t limit = std::u16string::npos)
{
    Chars out;
    for (std::size_t i = 0; i < s.size() && out.size() < limit; ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            out += char32_t(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::u16string fromChars(const Chars &c)
{
    std::u16string out;
    for (const char32_t cp : c) {
        if (cp >= 0x10000) {
            out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

// Length of the well-formed UTF-8 sequence at i (shortest form, no
// surrogates, nothing past U+10FFFF), or 0; its code point goes to *cp.
int sequenceAt(const std::string &bytes, std::size_t i, char32_t *cp)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int more;
    if (lead < 0x80) {
        *cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        more = 1;
        *cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        more = 2;
        *cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        more = 3;
        *cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + more >= bytes.size())
        return 0;
    for (int k = 1; k <= more; ++k) {
        const auto b = static_cast<unsigned char>(bytes[i + k]);
        if ((b & 0xC0) != 0x80)
            return 0;
        *cp = (*cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t smallest[] = {0, 0x80, 0x800, 0x10000};
    if (*cp < smallest[more] || *cp > 0x10FFFF || (*cp >= 0xD800 && *cp <= 0xDFFF))
        return 0;
    return more + 1;
}

// Every byte that starts no well-formed sequence becomes one U+FFFD. A
// U+FEFF inside the text is a character like any other.
std::u16string utf8(const std::string &bytes, bool *valid)
{
    Chars out;
    *valid = true;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t cp;
        const int length = sequenceAt(bytes, i, &cp);
        if (length == 0) {
            *valid = false;
            out += char32_t(0xFFFD);
            ++i;
        } else {
            out += cp;
            i += std::size_t(length);
        }
    }
    return fromChars(out);
}

std::u16string windows1252(const std::string &bytes)
{
    // The printable characters of 0x80..0x9F; every other byte is its own
    // code point (0x81, 0x8D, 0x8F, 0x90 and 0x9D included).
    static const std::pair<unsigned char, char16_t> special[] = {
        {0x80, u'€'}, {0x82, u'‚'}, {0x83, u'ƒ'}, {0x84, u'„'}, {0x85, u'…'}, {0x86, u'†'}, {0x87, u'‡'},
        {0x88, u'ˆ'}, {0x89, u'‰'}, {0x8A, u'Š'}, {0x8B, u'‹'}, {0x8C, u'Œ'}, {0x8E, u'Ž'}, {0x91, u'‘'},
        {0x92, u'’'}, {0x93, u'“'}, {0x94, u'”'}, {0x95, u'•'}, {0x96, u'–'}, {0x97, u'—'}, {0x98, u'˜'},
        {0x99, u'™'}, {0x9A, u'š'}, {0x9B, u'›'}, {0x9C, u'œ'}, {0x9E, u'ž'}, {0x9F, u'Ÿ'},
    };
    std::u16string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        for (const auto &[byte, ch] : special) {
            if (byte == b)
                u = ch;
        }
        out += u;
    }
    return out;
}

std::u16string left(const std::u16string &s, std::size_t n)
{
    return fromChars(chars(s, n));
}

// pos counts from 1
std::u16string mid(const std::u16string &s, std::size_t pos, std::size_t n)
{
    const Chars c = chars(s, pos - 1 + n);
    if (pos - 1 >= c.size())
        return {};
    return fromChars(c.substr(pos - 1, n));
}

std::u16string trim(std::u16string s)
{
    while (!s.empty() && s.front() == u' ')
        s.erase(0, 1);
    while (!s.empty() && s.back() == u' ')
        s.pop_back();
    return s;
}

} // namespace

std::vector<std::u16string> records(const std::string &file)
{
    const bool bom = file.starts_with("\xEF\xBB\xBF");
    std::size_t i = bom ? 3 : 0;
    const std::size_t n = file.size();
    std::vector<std::string> raw;
    for (;;) {
        while (i < n && (file[i] == ' ' || isLineEnd(file[i])))
            ++i;
        if (i >= n)
            break;
        std::string record;
        if (file[i] == '"') {
            ++i;
            while (i < n && file[i] != '"') {
                if (!isLineEnd(file[i]))
                    record += file[i];
                ++i;
            }
            ++i; // the closing quote, or past the end
            while (i < n && file[i] != ',' && !isLineEnd(file[i]))
                ++i;
            ++i;
        } else {
            while (i < n && file[i] != ',' && !isLineEnd(file[i]))
                record += file[i++];
            ++i;
            while (!record.empty() && record.back() == ' ')
                record.pop_back();
        }
        raw.push_back(std::move(record));
    }

    std::vector<std::u16string> out;
    for (const std::string &r : raw) {
        bool valid;
        std::u16string text = utf8(r, &valid);
        out.push_back(bom || valid ? std::move(text) : windows1252(r));
    }
    return out;
}

std::optional<std::u16string> searchCode(const std::vector<std::u16string> &records, const std::u16string &typed)
{
    const std::u16string key = trim(typed);
    for (const std::u16string &r : records) {
        if (left(r, record::codeLength) == key)
            return codelook::upper(mid(r, record::namePosition, record::shownNameLength));
    }
    return std::nullopt;
}

std::optional<std::u16string> searchName(const std::vector<std::u16string> &records, const std::u16string &typed)
{
    const std::u16string key = trim(typed);
    const std::size_t n = chars(key).size();
    for (const std::u16string &r : records) {
        if (codelook::upper(mid(r, record::namePosition, n)) == key)
            return codelook::upper(left(r, record::codeLength));
    }
    return std::nullopt;
}

} // namespace plainmodel
