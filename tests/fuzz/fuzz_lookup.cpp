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
// Every search is checked against the plain model of the list, and the
// blocks and a second search must not change its answer. CODELOOK_SCAN_PATH=portable,
// sse2 or avx2 makes the reader use that version of its byte loops.
//
// A broken invariant prints what happened and aborts, so libFuzzer keeps the
// input as a crash.

#include "bytescan.h"
#include "listreader.h"
#include "lookup.h"
#include "plainmodel.h"
#include "record.h"
#include "text.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

using namespace codelook;

namespace {

constexpr std::size_t readBlock = ListReader::blockSize;

// Upper-casing can triple a character.
constexpr std::size_t maxCodeOutput = 3 * record::shownNameLength;
constexpr std::size_t maxNameOutput = 3 * record::codeLength;

std::string listPath;
const char *currentWhat = "";

void removeList()
{
    if (!listPath.empty())
        ::unlink(listPath.c_str());
}

[[noreturn]] void fail(const char *what, const std::u16string &key)
{
    std::fprintf(stderr, "fuzz_lookup: %s: %s (key \"%s\")\n", currentWhat, what, toUtf8(key).c_str());
    removeList(); // abort skips atexit; libFuzzer saves the input itself
    std::abort();
}

void check(bool ok, const char *what, const std::u16string &key)
{
    if (!ok)
        fail(what, key);
}

void writeList(const std::string &bytes)
{
    const int fd = ::open(listPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::perror("fuzz_lookup: open");
        std::abort();
    }
    const char *p = bytes.data();
    std::size_t left = bytes.size();
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
    std::u16string answer; // the name a code search shows, or the code a name search finds
};

// One search, with the key trimmed as the window trims what was typed.
Outcome run(Search search, const std::u16string &key)
{
    const Lookup lookup(fromUtf8(listPath));
    const bool code = search == Search::Code;
    const std::u16string trimmed = trimSpaces(key);
    const SearchResult result = code ? lookup.searchCode(trimmed) : lookup.searchName(trimmed);

    check(result.status != SearchResult::Status::Unreadable, "a regular file was reported unreadable", key);
    if (result.status == SearchResult::Status::Found)
        check(result.answer.size() <= (code ? maxCodeOutput : maxNameOutput), "found answer is too long", key);
    else
        check(result.answer.empty(), "not found, but there is an answer", key);
    return {result.status, result.answer};
}

void expectSame(const Outcome &a, const Outcome &b, const char *what, const std::u16string &key)
{
    if (a.status == b.status && a.answer == b.answer)
        return;
    std::fprintf(stderr, "fuzz_lookup: first: %s \"%s\"; second: %s \"%s\"\n",
                 a.status == SearchResult::Status::Found ? "found" : "not found", toUtf8(a.answer).c_str(),
                 b.status == SearchResult::Status::Found ? "found" : "not found", toUtf8(b.answer).c_str());
    fail(what, key);
}

// The list with blank lines in front so that its byte `cut` is the first of
// the second block. Blank lines yield no records, and a trailing line end
// changes no record, so every search must come out as on the list itself.
std::string movedAcrossBlock(const std::string &list, std::size_t cut, bool extraLineEnd)
{
    const std::string bom("\xEF\xBB\xBF", 3);
    const bool hasBom = list.starts_with(bom);
    const std::string body = hasBom ? list.substr(3) : list;
    const std::size_t head = hasBom ? 3 : 0;
    cut = std::min({cut, body.size(), readBlock - head});
    std::string moved;
    moved.reserve(readBlock + body.size() + 2);
    if (hasBom)
        moved += bom; // the mark counts only at the very start of the file
    moved += std::string(readBlock - head - cut, '\n');
    moved += body;
    if (extraLineEnd)
        moved += "\r\n";
    return moved;
}

// What the plain model answers.
Outcome modelOutcome(Search search, const std::u16string &key, const std::vector<std::u16string> &records)
{
    const auto answer
        = search == Search::Code ? plainmodel::searchCode(records, key) : plainmodel::searchName(records, key);
    return {answer ? SearchResult::Status::Found : SearchResult::Status::NotFound, answer.value_or(u"")};
}

void forceScanPath()
{
    if (const std::string error = bytescan::forceFromEnvironment(); !error.empty()) {
        std::fprintf(stderr, "fuzz_lookup: %s\n", error.c_str());
        std::exit(2);
    }
    std::fprintf(stderr, "fuzz_lookup: byte loops: %s\n", std::string(bytescan::name(bytescan::active().path)).c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    forceScanPath();
    std::error_code error;
    std::filesystem::path temp = std::filesystem::temp_directory_path(error);
    if (error)
        temp = "/tmp";
    listPath = (temp / ("codelook-fuzz-" + std::to_string(::getpid()) + ".txt")).string();
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
    const std::u16string key = fromUtf8(std::string_view(bytes + keyBegin, keyEnd - keyBegin));
    const std::string list(bytes + keyEnd, size - keyEnd);
    writeList(list);

    currentWhat = "code search";
    const Outcome code = run(Search::Code, key);
    currentWhat = "name search";
    const Outcome name = run(Search::Name, key);

    const std::vector<std::u16string> records = plainmodel::records(list);
    currentWhat = "code search against the plain model";
    expectSame(modelOutcome(Search::Code, key, records), code, "the reader differs from the plain model", key);
    currentWhat = "name search against the plain model";
    expectSame(modelOutcome(Search::Name, key, records), name, "the reader differs from the plain model", key);

    // A search keeps nothing: the same search again answers the same.
    currentWhat = "code search, again";
    expectSame(code, run(Search::Code, key), "result differs from the first search", key);
    currentWhat = "name search, again";
    expectSame(name, run(Search::Name, key), "result differs from the first search", key);

    if (flags & 1) {
        const std::size_t cut = std::size_t(list.size() + 1) * cutFraction / 256;
        writeList(movedAcrossBlock(list, cut, flags & 2));
        currentWhat = "code search, list across a block boundary";
        expectSame(code, run(Search::Code, key), "result differs from the list itself", key);
        currentWhat = "name search, list across a block boundary";
        expectSame(name, run(Search::Name, key), "result differs from the list itself", key);
    }
    return 0;
}
