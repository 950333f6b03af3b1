// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// libFuzzer target: both searches over an arbitrary list with an arbitrary key.
//
// Input layout (missing header bytes count as 0):
//   byte 0   key length in bytes
//   byte 1   bit 0: run again on a copy of the list pushed across a read-block
//                   boundary (blank lines in front);
//            bit 1: that copy also ends with an extra CR LF
//   byte 2   where the boundary falls in the list, in 256ths of its length
//   then the key (UTF-8), then the list bytes.
//
// A broken invariant prints what happened and aborts, so libFuzzer keeps the
// input as a crash.

#include "box.h"
#include "lookup.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

using namespace codelook;

namespace {

// The reader's block size. Should it change, the moved copy must still give
// the same result; it just no longer straddles a block boundary.
constexpr std::size_t readBlock = std::size_t(1) << 18;

constexpr qsizetype maxCodeOutput = 450; // 150 characters, upper-casing can triple one
constexpr qsizetype maxNameOutput = 12; // 4 characters, likewise

const QString codeNotFound = QStringLiteral("ICAO CODE NOT FOUND");
const QString nameNotFound = QStringLiteral("AIRPORT NAME NOT FOUND");
const QString staleOutput = QStringLiteral("STALE");

QString listPath;
const char *currentWhat = "";

void removeList()
{
    if (!listPath.isEmpty())
        QFile::remove(listPath);
}

[[noreturn]] void fail(const char *what, const QString &key)
{
    std::fprintf(stderr, "fuzz_lookup: %s: %s (key \"%s\")\n", currentWhat, what, key.toUtf8().constData());
    removeList(); // abort skips atexit; libFuzzer saves the input itself
    std::abort();
}

void check(bool ok, const char *what, const QString &key)
{
    if (!ok)
        fail(what, key);
}

void writeList(const QByteArray &bytes)
{
    const QByteArray name = QFile::encodeName(listPath);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror("fuzz_lookup: open");
        std::abort();
    }
    const char *p = bytes.constData();
    std::size_t left = std::size_t(bytes.size());
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::perror("fuzz_lookup: write");
            std::abort();
        }
        p += n;
        left -= std::size_t(n);
    }
    ::close(fd);
}

enum class Search { Code, Name };

struct Outcome
{
    SearchResult::Status status;
    QString output; // the name a code search shows, or the code a name search finds
};

// One search with fresh boxes; `locked` starts with the input box locked and
// the output box holding stale text, as after an earlier search.
Outcome run(Search search, const QString &key, bool locked)
{
    MemoryBox in(key);
    MemoryBox out(locked ? staleOutput : QString());
    in.setLocked(locked);
    Lookup lookup(listPath);
    const bool code = search == Search::Code;
    const SearchResult result = code ? lookup.searchCode(in, out) : lookup.searchName(in, out);

    check(result.status != SearchResult::Status::Unreadable, "a regular file was reported unreadable", key);
    if (result.status == SearchResult::Status::Found) {
        check(in.isLocked() && out.isLocked(), "found, but the boxes are not both locked", key);
        check(in.writes == 0 && in.text() == key, "found, but the typed input was changed", key);
        check(out.writes == 1, "found, but the output was not written exactly once", key);
        check(out.text().size() <= (code ? maxCodeOutput : maxNameOutput), "found output is too long", key);
        return {result.status, out.text()};
    }

    check(in.isLocked() == locked && !out.isLocked(), "not found, but a lock changed", key);
    if (code) {
        check(out.text() == codeNotFound, "code not found, but the name box does not say so", key);
        check(in.writes == 0 && in.text() == key, "code not found, but the typed code was changed", key);
        return {result.status, out.text()};
    }
    check(in.text() == nameNotFound, "name not found, but the name box does not say so", key);
    check(out.writes == 0 && out.text() == (locked ? staleOutput : QString()),
          "name not found, but the code box was changed", key);
    return {result.status, in.text()};
}

void expectSame(const Outcome &a, const Outcome &b, const char *what, const QString &key)
{
    if (a.status == b.status && a.output == b.output)
        return;
    std::fprintf(stderr, "fuzz_lookup: first: %s \"%s\"; second: %s \"%s\"\n",
                 a.status == SearchResult::Status::Found ? "found" : "not found", a.output.toUtf8().constData(),
                 b.status == SearchResult::Status::Found ? "found" : "not found", b.output.toUtf8().constData());
    fail(what, key);
}

// The list with blank lines in front so that its byte `cut` is the first of
// the second block. Blank lines yield no records, and a trailing line end
// changes no record, so every search must come out as on the list itself.
QByteArray movedAcrossBlock(const QByteArray &list, std::size_t cut, bool extraLineEnd)
{
    const QByteArray bom("\xEF\xBB\xBF", 3);
    const bool hasBom = list.startsWith(bom);
    const QByteArray body = hasBom ? list.sliced(3) : list;
    const std::size_t head = hasBom ? 3 : 0;
    cut = std::min({cut, std::size_t(body.size()), readBlock - head});
    QByteArray moved;
    moved.reserve(qsizetype(readBlock) + body.size() + 2);
    if (hasBom)
        moved += bom; // the mark counts only at the very start of the file
    moved += QByteArray(qsizetype(readBlock - head - cut), '\n');
    moved += body;
    if (extraLineEnd)
        moved += "\r\n";
    return moved;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    listPath = QDir::tempPath() + QStringLiteral("/codelook-fuzz-%1.txt").arg(::getpid());
    std::atexit(removeList);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    auto header = [&](std::size_t i) -> unsigned { return i < size ? data[i] : 0; };
    const std::size_t keyLength = header(0);
    const unsigned flags = header(1);
    const unsigned cutFraction = header(2);
    const std::size_t keyBegin = std::min<std::size_t>(3, size);
    const std::size_t keyEnd = std::min(size, keyBegin + keyLength);

    const auto *bytes = reinterpret_cast<const char *>(data);
    const QString key = QString::fromUtf8(bytes + keyBegin, qsizetype(keyEnd - keyBegin));
    const QByteArray list(bytes + keyEnd, qsizetype(size - keyEnd));
    writeList(list);

    currentWhat = "code search";
    const Outcome code = run(Search::Code, key, false);
    currentWhat = "name search";
    const Outcome name = run(Search::Name, key, false);

    // Locks and stale text in the boxes must not change what is found.
    currentWhat = "code search, locked input";
    expectSame(code, run(Search::Code, key, true), "result differs from the unlocked search", key);
    currentWhat = "name search, locked input";
    expectSame(name, run(Search::Name, key, true), "result differs from the unlocked search", key);

    if (flags & 1) {
        const std::size_t cut = std::size_t(list.size() + 1) * cutFraction / 256;
        writeList(movedAcrossBlock(list, cut, flags & 2));
        currentWhat = "code search, list across a block boundary";
        expectSame(code, run(Search::Code, key, false), "result differs from the list itself", key);
        currentWhat = "name search, list across a block boundary";
        expectSame(name, run(Search::Name, key, false), "result differs from the list itself", key);
    }
    return 0;
}
