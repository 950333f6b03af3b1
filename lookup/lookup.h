// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace codelook {

class Box;
class RecordFilter;

inline constexpr std::u16string_view listFileName = u"codelook.txt";

struct SearchResult
{
    enum class Status { Found, NotFound, Unreadable };

    Status status = Status::NotFound;
    std::u16string path; // the list, absolute and with the platform's own separators, when it could not be read
    std::u16string reason; // the system's own words for why
};

// The two searches of the window's panels. Each reads the list once from the
// top and keeps nothing between searches, so an edit of the list shows at the
// next search. When the list cannot be read the boxes stay as they were and
// the result says why; the window tells the user.
class Lookup
{
public:
    explicit Lookup(std::u16string listPath = std::u16string(listFileName));

    // Code to name: the first record whose first four characters equal the
    // trimmed code. Found: the name, upper-cased and cut, goes to nameOut and
    // both boxes lock. Not found: "ICAO CODE NOT FOUND" goes to nameOut.
    SearchResult searchCode(Box &codeIn, Box &nameOut);

    // Name to code: the first record whose name, cut to as many characters as
    // the trimmed key has and then upper-cased, equals the key as typed.
    // Found: the code goes to codeOut and both boxes lock. Not found: "AIRPORT NAME NOT FOUND" replaces the typed name.
    SearchResult searchName(Box &nameIn, Box &codeOut);

    // The trimmed input of the latest search of either panel.
    const std::u16string &searchKey() const { return m_searchKey; }

private:
    template <class Matches>
    SearchResult firstMatch(const RecordFilter &filter, std::size_t chars, Matches matches, std::u16string &text) const;

    std::u16string m_listPath;
    std::u16string m_searchKey;
};

} // namespace codelook
