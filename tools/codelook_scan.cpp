// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// codelook-scan LIST KEY code|name
//
// Runs one search over LIST as the window's SEARCH button does, with KEY in
// the input box of an empty, unlocked panel (as if pasted: the box's length
// limit applies, letter case is kept), and prints the panel afterwards.
// Exit status: 0 found, 1 not found, 2 the list could not be read, 64 usage.

#include "box.h"
#include "lookup.h"

#include <QDir>
#include <QStringList>

#include <cstdio>

using namespace codelook;

namespace {

void print(const char *label, const QString &text)
{
    std::printf("%s: %s\n", label, text.toUtf8().constData());
}

} // namespace

int main(int argc, char **argv)
{
    // No QCoreApplication: a search needs no event loop, and starting one
    // would cost more than scanning a large list.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    const bool code = args.size() == 4 && args[3] == u"code";
    const bool name = args.size() == 4 && args[3] == u"name";
    if (!code && !name) {
        std::fprintf(stderr, "usage: codelook-scan LIST KEY code|name\n");
        return 64;
    }

    MemoryBox input(args[2].left(code ? 4 : 250));
    MemoryBox output;
    Lookup lookup(args[1]);
    const SearchResult result = code ? lookup.searchCode(input, output) : lookup.searchName(input, output);
    if (result.status == SearchResult::Status::Unreadable) {
        std::fprintf(stderr, "codelook-scan: cannot read %s: %s\n",
                     QDir::toNativeSeparators(result.path).toLocal8Bit().constData(),
                     result.reason.toLocal8Bit().constData());
        return 2;
    }
    print("input", input.text());
    print("output", output.text());
    print("locked", input.isLocked() ? QStringLiteral("yes") : QStringLiteral("no"));
    return result.status == SearchResult::Status::Found ? 0 : 1;
}
