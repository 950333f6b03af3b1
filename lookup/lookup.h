// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QString>

namespace codelook {

class Box;

inline QString listFileName()
{
    return QStringLiteral("codelook.txt");
}

// The name shown by a code search is cut to this many characters.
inline constexpr qsizetype shownNameLength = 150;

struct SearchResult
{
    enum class Status { Found, NotFound, Unreadable };

    Status status = Status::NotFound;
    QString path; // the list, absolute, when it could not be read
    QString reason; // the system's words for why
};

// The two searches of the window's panels. Each reads the list once from the
// top and keeps nothing between searches, so an edit of the list shows at the
// next search. When the list cannot be read the boxes stay as they were and
// the result says why; the window tells the user.
class Lookup
{
public:
    explicit Lookup(QString listPath = listFileName());

    // Code to name: the first record whose first four characters equal the
    // trimmed code. Found: the name, upper-cased and cut, goes to nameOut and
    // both boxes lock. Not found: "ICAO CODE NOT FOUND" goes to nameOut.
    SearchResult searchCode(Box &codeIn, Box &nameOut);

    // Name to code: the first record whose name, cut to as many characters as
    // the trimmed key has and then upper-cased, equals the key as typed. Found: the code goes to codeOut and both boxes
    // lock. Not found: "AIRPORT NAME NOT FOUND" replaces the typed name.
    SearchResult searchName(Box &nameIn, Box &codeOut);

    // The trimmed input of the latest search of either panel.
    QString searchKey() const { return m_searchKey; }

private:
    QString m_listPath;
    QString m_searchKey;
};

} // namespace codelook
