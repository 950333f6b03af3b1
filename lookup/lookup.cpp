// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "lookup.h"

#include "listfile.h"
#include "listreader.h"
#include "record.h"
#include "recordfilter.h"
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

SearchResult unreadable(const ListReader &reader)
{
    return {SearchResult::Status::Unreadable, {}, ListFile::absolutePath(reader.path()), reader.reason()};
}

} // namespace

Lookup::Lookup(std::u16string listPath)
    : m_listPath(std::move(listPath))
{ }

// One reading pass from the top: the first record, as its first `chars`
// characters, that `matches` accepts goes to `text`.
template <class Matches>
SearchResult Lookup::firstMatch(const RecordFilter &filter, std::size_t chars, Matches matches,
                                std::u16string &text) const
{
    ListReader reader(m_listPath, bytesFor(chars), filter);
    if (!reader.open())
        return unreadable(reader);
    RecordView view;
    while (reader.next(view)) {
        text = view.text(chars);
        if (matches(text))
            return {SearchResult::Status::Found, {}, {}, {}};
    }
    if (reader.failed())
        return unreadable(reader);
    return {};
}

SearchResult Lookup::searchCode(std::u16string_view key) const
{
    std::u16string text;
    SearchResult result = firstMatch(
        RecordFilter::forCode(key), record::throughName(record::shownNameLength),
        [&](const std::u16string &r) { return leftChars(r, record::codeLength) == key; }, text);
    if (result.status == SearchResult::Status::Found)
        result.answer = upper(midChars(text, record::namePosition, record::shownNameLength));
    return result;
}

SearchResult Lookup::searchName(std::u16string_view key) const
{
    const std::size_t keyChars = charCount(key);
    std::u16string text;
    SearchResult result = firstMatch(
        RecordFilter::forName(key), record::throughName(keyChars),
        [&](const std::u16string &r) { return upper(midChars(r, record::namePosition, keyChars)) == key; }, text);
    if (result.status == SearchResult::Status::Found)
        result.answer = upper(leftChars(text, record::codeLength));
    return result;
}

} // namespace codelook
