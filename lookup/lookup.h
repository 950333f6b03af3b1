// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace codelook {

class RecordFilter;

inline constexpr std::u16string_view listFileName = u"codelook.txt";

struct SearchResult
{
    enum class Status { Found, NotFound, Unreadable };

    Status status = Status::NotFound;
    std::u16string answer; // found: what the panel's output box shows
    std::u16string path; // the list, absolute and with the platform's own separators, when it could not be read
    std::u16string reason; // the system's own words for why
};

// The two searches of the window's panels. Each reads the list once from the
// top and keeps nothing between searches, so an edit of the list shows at the
// next search. The key is compared as given: the window trims what was typed.
// A search only answers; the window writes its boxes and tells the user.
class Lookup
{
public:
    explicit Lookup(std::u16string listPath = std::u16string(listFileName));

    // Code to name: the first record whose first four characters equal the
    // key. The answer is its name, upper-cased and cut.
    SearchResult searchCode(std::u16string_view key) const;

    // Name to code: the first record whose name, cut to as many characters
    // as the key has and then upper-cased, equals the key. The answer is
    // its code, upper-cased.
    SearchResult searchName(std::u16string_view key) const;

private:
    template <class Matches>
    SearchResult firstMatch(const RecordFilter &filter, std::size_t chars, Matches matches, std::u16string &text) const;

    std::u16string m_listPath;
};

} // namespace codelook
