// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listfile.h"
#include "lookup.h"
#include "testing.h"

#include <atomic>
#include <chrono>
#include <thread>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <psapi.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace codelook;
using Status = SearchResult::Status;

namespace doctest {

template <>
struct StringMaker<Status>
{
    static String convert(Status s)
    {
        return s == Status::Found ? "Found" : s == Status::NotFound ? "NotFound" : "Unreadable";
    }
};

} // namespace doctest

namespace {

// Windows-1252 (LFPG) and UTF-8 records side by side, as a hand-edited list
// may have them.
const std::string airports = "EPWA Warsaw Chopin\r\n"
                             "EPKK Kraków Balice\r\n"
                             "EPKT Katowice\r\n"
                             "EPWA Warsaw second\r\n"
                             "EPWB Warsaw Chopin\r\n"
                             "EDDM München Franz Josef Strauß\r\n"
                             "LFPG Ch\xE2teau\r\n"
                             "EPLL Łódź\r\n"
                             "ÐÐÐÐ ðakar\r\n"
                             "epzz Zielona\r\n"
                             "ABCX Xray\r\n"
                             "ABC\r\n"
                             "ABCD\r\n"
                             "ABCE-\r\n";

// Peak memory of the process so far, in KiB.
long peakMemoryKiB()
{
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// Files (handles, on Windows) the process holds open.
int openFiles()
{
#ifdef _WIN32
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return int(count);
#else
    int count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
#endif
}

// The list's folder as the current directory.
struct Fixture : testing::ListFolder
{
    std::u16string path() const { return testing::u16path(list()); }
};

} // namespace

TEST_CASE_FIXTURE(Fixture, "code search")
{
    const struct
    {
        const char *name;
        std::string bytes;
        std::u16string key;
        bool found;
        std::u16string shown;
    } cases[] = {
        {"found, name upper-cased", airports, u"EPKK", true, u"KRAKÓW BALICE"},
        {"spaces around the key are part of it", airports, u"  EPKT ", false, u""},
        {"first of several matches", airports, u"EPWA", true, u"WARSAW CHOPIN"},
        {"Windows-1252 record", airports, u"LFPG", true, u"CHÂTEAU"},
        {"sharp s upper-cased to SS", airports, u"EDDM", true, u"MÜNCHEN FRANZ JOSEF STRAUSS"},
        {"non-ASCII code", airports, u"ÐÐÐÐ", true, u"ÐAKAR"},
        {"not found", airports, u"XXXX", false, u""},
        {"lower-case key finds nothing", airports, u"epkk", false, u""},
        {"upper-case key misses lower-case code", airports, u"EPZZ", false, u""},
        {"key longer than a code", airports, u"EPKKX", false, u""},
        {"tab is part of the key", airports, u"EPKK\t", false, u""},
        {"short key matches the whole record only", airports, u"ABC", true, u""},
        {"short key without such a record", airports, u"EPK", false, u""},
        {"record of four characters", airports, u"ABCD", true, u""},
        {"record of five characters", airports, u"ABCE", true, u""},
        {"empty key without an empty record", airports, u"", false, u""},
        {"empty key matches an empty record", "EPWA x,,EPKK y", u"", true, u""},
        // Upper-casing after the cut: 150 sharp s become 300 letters.
        {"name cut to 150 characters, then upper-cased", "LONG " + testing::repeated("ß", 160) + "\n", u"LONG", true,
         std::u16string(300, u'S')},
        {"name of 151 characters", "LONG " + std::string(150, 'a') + "b\n", u"LONG", true, std::u16string(150, u'A')},
        // U+FEFF opening a record is a character of its code, not a mark to
        // skip.
        {"byte-order mark starting a record is a character", "ZZZZ x\n\uFEFFEPGD Gdansk\n", u"EPGD", false, u""},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            REQUIRE(writeList(c.bytes));
            const Lookup lookup(path());
            const int filesBefore = openFiles();
            const SearchResult result = lookup.searchCode(c.key);
            CHECK(openFiles() == filesBefore);
            CHECK(result.status == (c.found ? Status::Found : Status::NotFound));
            CHECK(result.answer == c.shown);
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "name search")
{
    const struct
    {
        const char *name;
        std::string bytes;
        std::u16string key;
        std::u16string code; // empty: not found
    } cases[] = {
        {"whole name", airports, u"KRAKÓW BALICE", u"EPKK"},
        {"beginning of a name", airports, u"KAT", u"EPKT"},
        {"first of names sharing a prefix", airports, u"K", u"EPKK"},
        {"first of equal names", airports, u"WARSAW CHOPIN", u"EPWA"},
        {"spaces around the key are part of it", airports, u" CHÂ  ", u""},
        {"code upper-cased", airports, u"ZIELONA", u"EPZZ"},
        {"non-ASCII key", airports, u"ŁÓDŹ", u"EPLL"},
        {"eth", airports, u"ÐA", u"ÐÐÐÐ"},
        {"SS matches a final sharp s", airports, u"MÜNCHEN FRANZ JOSEF STRAUSS", u"EDDM"},
        {"empty key matches the first record", airports, u"", u"EPWA"},
        {"key of spaces matches only names starting so", airports, u"   ", u""},
        {"not found", airports, u"NOWHERE", u""},
        {"key as typed is not upper-cased", airports, u"Krak", u""},
        {"name longer than any record", airports, u"KATOWICE AIRPORT", u""},
        {"records without a name", "ABCD\nABCE \nEPWA Warsaw", u"W", u"EPWA"},
        {"empty key on an empty list", "", u"", u""},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            REQUIRE(writeList(c.bytes));
            const Lookup lookup(path());
            const int filesBefore = openFiles();
            const SearchResult result = lookup.searchName(c.key);
            CHECK(openFiles() == filesBefore);
            CHECK(result.status == (c.code.empty() ? Status::NotFound : Status::Found));
            CHECK(result.answer == c.code);
        }
    }
}

// The message replaces the typed name, so pressing SEARCH again looks for
// the message itself.
TEST_CASE_FIXTURE(Fixture, "the name not-found message is a name of its own")
{
    REQUIRE(writeList(airports + "ZZZZ airport name not found here\n"));
    const SearchResult result = Lookup(path()).searchName(u"AIRPORT NAME NOT FOUND");
    CHECK(result.status == Status::Found);
    CHECK(result.answer == u"ZZZZ");
}

TEST_CASE_FIXTURE(Fixture, "list changes between searches")
{
    enum class Change { Edit, SameSize, Rename, Empty, Delete };
    const struct
    {
        const char *name;
        Change change;
        Status status;
        std::u16string shown;
    } cases[] = {
        {"edited in place", Change::Edit, Status::Found, u"MODLIN"},
        {"same size edit", Change::SameSize, Status::Found, u"WARSAW CHOPIX"},
        {"replaced by rename", Change::Rename, Status::Found, u"OKECIE"},
        {"emptied", Change::Empty, Status::NotFound, u""},
        {"deleted", Change::Delete, Status::Unreadable, u""},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            REQUIRE(writeList(airports));
            const Lookup lookup(path());
            CHECK(lookup.searchCode(u"EPWA").answer == u"WARSAW CHOPIN");

            switch (c.change) {
            case Change::Edit:
                REQUIRE(writeList("EPWA Modlin\n"));
                break;
            case Change::SameSize: {
                std::string edited = airports;
                edited.replace(edited.find("Chopin"), 6, "Chopix");
                REQUIRE(writeList(edited));
                break;
            }
            case Change::Rename: {
                const auto other = dir().file("new.txt");
                REQUIRE(testing::writeFile(other, "EPWA Okecie\n"));
                std::filesystem::rename(other, list());
                break;
            }
            case Change::Empty:
                REQUIRE(writeList(""));
                break;
            case Change::Delete:
                REQUIRE(std::filesystem::remove(list()));
                break;
            }

            const SearchResult result = lookup.searchCode(u"EPWA");
            CHECK(result.status == c.status);
            CHECK(result.answer == c.shown);
#ifndef _WIN32
            if (c.status == Status::Unreadable)
                CHECK(result.reason == u"No such file or directory");
#endif
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "unreadable list")
{
    enum class Kind { Missing, Dangling, Directory, Fifo, Zero, NoPermission };
    const struct
    {
        const char *name;
        Kind kind;
        std::u16string reason; // empty: whatever the system says
    } cases[] = {
#ifdef _WIN32
        {"missing", Kind::Missing, u""},
        {"directory", Kind::Directory, u""},
#else
        {"missing", Kind::Missing, u"No such file or directory"},
        {"dangling link", Kind::Dangling, u"No such file or directory"},
        {"directory", Kind::Directory, u"Is a directory"},
        {"FIFO without a writer", Kind::Fifo, u"Not a regular file"},
        {"link to /dev/zero", Kind::Zero, u"Not a regular file"},
        {"no permission", Kind::NoPermission, u"Permission denied"},
#endif
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            const auto path = list();
            switch (c.kind) {
            case Kind::Missing:
                break;
            case Kind::Directory:
                REQUIRE(std::filesystem::create_directory(path));
                break;
#ifndef _WIN32
            case Kind::Dangling:
                REQUIRE(::symlink("gone.txt", path.c_str()) == 0);
                break;
            case Kind::Fifo:
                REQUIRE(::mkfifo(path.c_str(), 0644) == 0);
                break;
            case Kind::Zero:
                REQUIRE(::symlink("/dev/zero", path.c_str()) == 0);
                break;
            case Kind::NoPermission:
                if (::geteuid() == 0) {
                    MESSAGE("skipped: root reads files whatever their mode");
                    return;
                }
                REQUIRE(writeList(airports));
                REQUIRE(::chmod(path.c_str(), 0) == 0);
                break;
#else
            default:
                break;
#endif
            }

            // Run from the list's folder with the default, relative list
            // name: the result must still name the list by its absolute path.
            // Start-up lets through only what a search can open, but cannot
            // know of a file's mode.
            CHECK(ListFile::isRegularFile(u"codelook.txt") == (c.kind == Kind::NoPermission));
            const std::u16string absolute = testing::u16path(std::filesystem::current_path() / "codelook.txt");
            const int filesBefore = openFiles();

            for (const bool codePanel : {true, false}) {
                CAPTURE(codePanel);
                SearchResult result;
                std::atomic<bool> done = false;
                std::thread search([&] {
                    const Lookup lookup;
                    result = codePanel ? lookup.searchCode(u"EPWA") : lookup.searchName(u"EPWA");
                    done = true;
                });
                const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
                while (!done && std::chrono::steady_clock::now() < deadline)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                const bool inTime = done;
#ifndef _WIN32
                if (!inTime) {
                    // Give a blocked reader a writer and its end of file, so
                    // the test can end.
                    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                    if (writer >= 0)
                        ::close(writer);
                }
#endif
                search.join();
                REQUIRE_MESSAGE(inTime, "the search hung");
                CHECK(result.status == Status::Unreadable);
                CHECK(result.path == absolute);
                if (c.reason.empty())
                    CHECK_FALSE(result.reason.empty());
                else
                    CHECK(result.reason == c.reason);
                CHECK(result.answer.empty());
            }
            CHECK(openFiles() == filesBefore);
        }
    }
}

TEST_CASE_FIXTURE(Fixture, "hostile list")
{
    const struct
    {
        const char *name;
        std::string bytes;
        std::u16string nameKey;
        std::u16string shown; // what the code search for EPWA shows
        std::u16string code; // what the name search finds; empty: nothing
    } cases[] = {
        {"empty", "", u"WARSAW", u"", u""},
        {"only line ends", "\r\n\r\r\n\n\n", u"", u"", u""},
        {"only NUL bytes", std::string(4096, '\0'), u"WARSAW", u"", u""},
        {"quote never closed", "\"EPWA War\r\nsaw, Chopin\r\n", u"WARSAW, CHOPIN", u"WARSAW, CHOPIN", u"EPWA"},
        {"line of quotes", std::string(999, '"'), u"WARSAW", u"", u""},
        {"line of commas", std::string(999, ','), u"WARSAW", u"", u""},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            REQUIRE(writeList(c.bytes));
            const Lookup lookup(path());
            CHECK(lookup.searchCode(u"EPWA").answer == c.shown);
            CHECK(lookup.searchName(c.nameKey).answer == c.code);
        }
    }
}

// One record of 100 MB with no line end: read in full, memory stays flat,
// and neither search finds anything.
TEST_CASE_FIXTURE(Fixture, "huge single line")
{
    {
        std::ofstream file(list(), std::ios::binary);
        const std::string chunk = testing::repeated("0123456789", std::size_t(1) << 17);
        for (int i = 0; i < 80; ++i)
            file.write(chunk.data(), std::streamsize(chunk.size()));
        REQUIRE(file.flush());
    }
    const long peakBefore = peakMemoryKiB();
    const Lookup lookup(path());
    CHECK(lookup.searchCode(u"0124").status == Status::NotFound);
    CHECK(lookup.searchName(u"567890123X").status == Status::NotFound);
    CHECK(peakMemoryKiB() - peakBefore < 32 * 1024);
    CHECK(std::filesystem::remove(list()));
}
