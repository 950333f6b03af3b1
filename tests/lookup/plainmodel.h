// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A slow, plain restatement of how the list is read and searched: the whole
// file in memory, walked one byte at a time, each record decoded whole, the
// searches done with whole strings. It shares no code with the library, so
// the library's block reader, prefilter and cut records can be checked
// against it.
namespace plainmodel {

QStringList records(const QByteArray &file);

struct Panel
{
    QString input;
    QString output;
    bool inputLocked = false;
    bool outputLocked = false;
};

// Both return whether a record matched.
bool searchCode(const QStringList &records, Panel &panel);
bool searchName(const QStringList &records, Panel &panel);

} // namespace plainmodel
