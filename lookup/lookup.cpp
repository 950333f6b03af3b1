// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "lookup.h"

#include "box.h"
#include "listfile.h"
#include "listreader.h"
#include "record.h"
#include "text.h"

#include <algorithm>

namespace codelook {

namespace {

// Bytes to keep of a record so that its first `chars` characters are there
// whatever its encoding (UTF-8 takes up to four bytes a character).
std::size_t bytesFor(std::size_t chars)
{
    return std::max(chars, record::codeLength) * 4;
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

// A match: the answer goes to the output box, then both boxes lock.
SearchResult found(Box &input, Box &output, std::u16string_view answer)
{
    output.setText(answer);
    input.setLocked(true);
    output.setLocked(true);
    return {SearchResult::Status::Found, {}, {}};
}

SearchResult unreadable(const ListReader &reader)
{
    return {SearchResult::Status::Unreadable, ListFile::absolutePath(reader.path()), reader.reason()};
}

} // namespace

Lookup::Lookup(std::u16string listPath)
    : m_listPath(std::move(listPath))
{ }

SearchResult Lookup::searchCode(Box &codeIn, Box &nameOut)
{
    m_searchKey = trimSpaces(codeIn.text());
    const std::u16string key = m_searchKey;
    const std::size_t keyChars = charCount(key);

    // An ASCII key is compared byte for byte: the code's bytes, or the whole
    // record when the key is shorter than a code.
    Prefilter filter;
    if (isAscii(key) && keyChars <= record::codeLength) {
        filter.active = true;
        filter.pattern = narrow(key);
        filter.wholeRecord = keyChars < record::codeLength;
        // One byte would stop the skip at nearly every record.
        filter.skipAhead = keyChars >= 2;
    }
    const std::size_t chars = record::throughName(record::shownNameLength);
    ListReader reader(m_listPath, bytesFor(chars), filter);
    if (!reader.open())
        return unreadable(reader);

    RecordView view;
    while (reader.next(view)) {
        const std::u16string text = view.text(chars);
        if (leftChars(text, record::codeLength) == key)
            return found(codeIn, nameOut, upper(midChars(text, record::namePosition, record::shownNameLength)));
    }
    if (reader.failed())
        return unreadable(reader);
    nameOut.setText(u"ICAO CODE NOT FOUND");
    return {};
}

SearchResult Lookup::searchName(Box &nameIn, Box &codeOut)
{
    m_searchKey = trimSpaces(nameIn.text());
    const std::u16string key = m_searchKey;
    const std::size_t keyChars = charCount(key);

    Prefilter filter;
    if (isAscii(key)) {
        filter.active = true;
        filter.pattern = narrow(key);
        // The name's byte offset in an ASCII record.
        filter.offset = record::namePosition - 1;
        filter.foldCase = true;
        filter.skipAhead = keyChars >= 2;
    }
    const std::size_t chars = record::throughName(keyChars);
    ListReader reader(m_listPath, bytesFor(chars), filter);
    if (!reader.open())
        return unreadable(reader);

    RecordView view;
    while (reader.next(view)) {
        const std::u16string text = view.text(chars);
        if (upper(midChars(text, record::namePosition, keyChars)) == key)
            return found(nameIn, codeOut, upper(leftChars(text, record::codeLength)));
    }
    if (reader.failed())
        return unreadable(reader);
    nameIn.setText(u"AIRPORT NAME NOT FOUND");
    return {};
}

} // namespace codelook
