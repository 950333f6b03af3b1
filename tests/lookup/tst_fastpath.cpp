// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The reader takes shortcuts: records inside one block are handed out in
// place, records that cross a block or are quoted are copied and cut, and a
// byte prefilter skips records before they are decoded, and stretches with
// none of the key's bytes are passed over whole. Whatever the path, and
// whichever version of the byte loops runs, both searches must answer as the
// plain model does.

#include "bytescan.h"
#include "listreader.h"
#include "lookup.h"
#include "plainmodel.h"
#include "recordfilter.h"
#include "testing.h"
#include "text.h"

#include <algorithm>
#include <functional>
#include <random>

using namespace codelook;
using namespace std::string_literals;

namespace {

constexpr std::size_t block = ListReader::blockSize;

std::string number3(int n)
{
    std::string s = std::to_string(n);
    return std::string(3 - s.size(), '0') + s;
}

// Filler records so that `tail` starts at byte `at` of the list.
std::string startingAt(std::size_t at, const std::string &tail)
{
    std::string list;
    for (int n = 0; at - list.size() > 1100; ++n) {
        // Appended piece by piece: GCC 12 warns (-Wrestrict) on "literal" + string here.
        list += 'F';
        list += number3(n % 1000);
        list += " filler ";
        list.append(990, 'f');
        list += '\n';
    }
    const std::size_t rest = at - list.size();
    list += "F999";
    list.append(rest - 5, 'z');
    list += '\n';
    return list + tail;
}

// A tail of short records made of pieces the reader treats specially.
std::string randomRecords(unsigned seed)
{
    // Lone \xF0, \xDF, \x80 and the encoded surrogate make a record
    // Windows-1252.
    static const std::vector<std::string> pieces = {
        "EPWA",
        "A",
        "b",
        " ",
        "   ",
        "\t",
        ",",
        "\"",
        "\r",
        "\n",
        "\r\n",
        "ß",
        "ð",
        "Ð",
        "\xF0",
        "\xDF",
        "Ł",
        "\xED\xA0\x80",
        "😀",
        "\x80",
        "ı",
        "ABCD ",
        "Warsaw",
        "\0"s,
        std::string(700, 'q'),
        std::string(300, ' '),
    };
    std::mt19937 random(seed);
    std::string out;
    for (auto i = 5 + random() % 55; i > 0; --i)
        out += pieces[random() % pieces.size()];
    return out;
}

// Codes and separators of several bytes, in UTF-8 and in Windows-1252, and
// names whose upper case is longer or ASCII.
const std::string nonAsciiCodes = "ÐÐÐÐ ðakar\n"
                                  "ŁÓDŹ Lodz\n"
                                  "EPLŁ Łódź\n"
                                  "ABCD\u00A0Nbsp\n"
                                  "😀X😀Y smile\n"
                                  "EDDM München Straße\n"
                                  "XXXX ß\n"
                                  "XXXY ße\n"
                                  "LTFM ıstanbul\n"
                                  "XXXS ſtrasse\n"
                                  "XXXW \uFB06ation\n"
                                  "XXXZ ﬀx\n"
                                  "\xD0\xD0\xD0\xD0\xA0\xF0"
                                  "akar\nEPL\xA3 L\xF3"
                                  "dz\n";

bool isAscii(std::u16string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

std::u16string asciiLower(std::u16string s)
{
    for (char16_t &c : s) {
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
    }
    return s;
}

void compare(Lookup &lookup, const std::vector<std::u16string> &records, const std::u16string &key, bool codeSearch)
{
    const std::u16string trimmed = trimSpaces(key);
    const SearchResult result = codeSearch ? lookup.searchCode(trimmed) : lookup.searchName(trimmed);
    const auto expected = codeSearch ? plainmodel::searchCode(records, key) : plainmodel::searchName(records, key);

    const std::string what
        = std::string(codeSearch ? "code" : "name") + " search for \"" + toUtf8(key.substr(0, 40)) + '"';
    CAPTURE(what);
    CHECK(result.status == (expected ? SearchResult::Status::Found : SearchResult::Status::NotFound));
    CHECK(result.answer == expected.value_or(u""));
}

} // namespace

TEST_CASE("same answers as the plain model")
{
    // Lists are made only for the case that runs.
    std::vector<std::pair<std::string, std::function<std::string()>>> cases = {
        {"quoted record across the block end",
         [] { return startingAt(block - 6, "\"EPWA Warsaw, Chopin\"\r\nEPKK Kraków\r\n"); }},
        {"closing quote last in the block", [] { return startingAt(block - 13, "\"EPWA Warsaw\" x,EPKK K\n"); }},
        {"opening quote last in the block", [] { return startingAt(block - 1, "\"EPWA Warsaw\"\nEPKK K\n"); }},
        {"line end inside quotes split by the block end",
         [] { return startingAt(block - 8, "\"EPWA W\r\narsaw\"\n"); }},
        {"CR LF split by the block end", [] { return startingAt(block - 12, "EPWA Warsaw\r\nEPKK Krakow\r\n"); }},
        {"key split by the block end", [] { return startingAt(block - 8, "EPWA Warsaw\nEPKK Krakow\n"); }},
        {"ß split by the block end", [] { return startingAt(block - 6, "XXXX ß\nXXXY ſs\n"); }},
        {"spaces before records",
         [] { return startingAt(block / 2, "EPKK Krakow,   EPWA Warsaw,  EPLL Lodz \n  EPGD Gdansk\n"); }},
        {"comma last in the block", [] { return startingAt(block - 12, "EPWA Warsaw,EPKK Krakow"); }},
        {"record ends at the block end with the file", [] { return startingAt(block - 11, "EPWA Warsaw"); }},
        {"two-byte character split", [] { return startingAt(block - 6, "EPLL Łódź\n"); }},
        {"four-byte character split", [] { return startingAt(block - 7, "XXXX a😀b\nEPWA x\n"); }},
        {"invalid byte after the block end",
         [] { return startingAt(block - 8, "EPLL Lodz \xE9\x63ole\nEPKK Kraków\n"); }},
        {"multi-byte code split", [] { return startingAt(block - 2, "ÐÐÐÐ ða\n"); }},
        {"record of 800 characters across the block end",
         [] { return startingAt(block - 100, "LONG " + testing::repeated("éa", 400) + "\nEPWA x\n"); }},
        {"Windows-1252 record of 800 bytes across the block end",
         [] { return startingAt(block - 300, "LONG " + testing::repeated("\xE9\x61", 400) + "\nEPWA x\n"); }},
        {"record of four-byte characters across the block end",
         [] { return startingAt(block - 100, "SMIL " + testing::repeated("😀", 400) + "\nEPWA x\n"); }},
        {"record longer than a block",
         [] { return startingAt(block - 50, "HUGE " + std::string(block + 200, 'h') + "\nEPWA x\n"); }},
        {"quoted record longer than a block",
         [] { return startingAt(block - 50, "\"HUGE \r\n" + testing::repeated("h,\n", block / 2) + "\"\nEPWA x\n"); }},
        {"trailing spaces across the block end",
         [] { return startingAt(block - 14, "EDDF Frankfurt" + std::string(40, ' ') + "\nEPWA x  \n"); }},
        {"spaces inside a name across the block end",
         [] { return startingAt(block - 10, "EDDF Frank" + std::string(30, ' ') + "furt \t  ,EPWA x\n"); }},
        {"quoted trailing spaces across the block end",
         [] { return startingAt(block - 10, "\"EDDF Frank   " + std::string(30, ' ') + "\"\n"); }},
        {"non-ASCII in the first five bytes", [] { return nonAsciiCodes; }},
        {"non-ASCII in the first five bytes, across the block end",
         [] { return startingAt(block - 3, nonAsciiCodes); }},
        {"byte-order mark", [] { return "\xEF\xBB\xBF" + nonAsciiCodes + "LFPG Ch\xE2teau\n"; }},
    };
    for (unsigned seed = 1; seed <= 6; ++seed) {
        cases.emplace_back("random records across the block end, seed " + std::to_string(seed),
                           [seed] { return startingAt(block - 20, randomRecords(seed)); });
    }

    for (const auto &[name, makeList] : cases) {
        SUBCASE(name.c_str())
        {
            const std::string bytes = makeList();
            testing::TempDir dir;
            const auto path = dir.file("codelook.txt");
            REQUIRE(testing::writeFile(path, bytes));
            const std::vector<std::u16string> records = plainmodel::records(bytes);

            // The first key is empty.
            std::vector<std::u16string> keys = {
                u"",
                u"  ",
                u"A",
                u"AB",
                u"ABC",
                u"EPWA",
                u"epwa",
                u"EPWA ",
                u"WARSAW",
                u"Warsaw",
                u"WARSAW, CHOPIN",
                u"LÓDZ",
                u"ŁÓDŹ",
                u"ÐA",
                u"ÐÐÐÐ",
                u"SS",
                u"STRASSE",
                u"ISTANBUL",
                u"FFX",
                u"HUGE",
                u"FRANKFURT",
                u"ICAO CODE NOT FOUND",
                u"AIRPORT NAME NOT FOUND",
                std::u16string(300, u'H'),
            };
            // Keys that hit each record that is not filler: its code, and
            // its name cut at several lengths.
            for (const std::u16string &r : records) {
                if (r.size() > 4 && r[0] == u'F' && r[1] >= u'0' && r[1] <= u'9')
                    continue;
                const std::u16string rest = r.size() > 5 ? r.substr(5) : std::u16string();
                keys.push_back(r.substr(0, 4));
                keys.push_back(asciiLower(r.substr(0, 4)));
                keys.push_back(r.substr(0, 3));
                for (const std::size_t n : {1, 3, 150, 400})
                    keys.push_back(upper(rest.substr(0, n)));
                keys.push_back(upper(rest).substr(0, 10000));
            }
            std::vector<std::u16string> unique;
            for (const std::u16string &key : keys) {
                if (std::find(unique.begin(), unique.end(), key) == unique.end())
                    unique.push_back(key);
            }

            // Each version of the byte loops in turn.
            Lookup lookup(testing::u16path(path));
            for (const auto scan : {bytescan::Path::Portable, bytescan::Path::Sse2, bytescan::Path::Avx2}) {
                if (!bytescan::force(scan))
                    continue;
                CAPTURE(bytescan::name(scan));
                for (const std::u16string &key : unique) {
                    for (const bool codeSearch : {true, false})
                        compare(lookup, records, key, codeSearch);
                }
            }
            bytescan::force(bytescan::best());
        }
    }
}

// The filter sees a record's bytes before anything is decoded. On ASCII it
// must decide as the plain model does, so records are really passed over;
// on anything else it may let records through, but never stop one that
// matches, whole or cut short by the reader, nor pass over one at the first
// place its key's bytes turn up.
TEST_CASE("the record filter never stops a record the plain model matches")
{
    static const std::vector<std::string> pieces
        = {"EPWA", "A",      "b", "z",    "  ", "\t",    "\"",     "ß",      "\xDF", "Ł",  "\xA3", "ı",
           "ſ",    "\uFB06", "😀", "\x80", "Ð",  "ABCD ", "Warsaw", "WARSAW", "ss",   "SS", "\0"s};
    std::mt19937 random(11);
    for (int round = 0; round < 4000; ++round) {
        std::string bytes;
        for (auto n = 1 + random() % 8; n > 0; --n)
            bytes += pieces[random() % pieces.size()];
        const std::vector<std::u16string> decoded = plainmodel::records(bytes + "\n");
        // Leading and trailing blanks and a leading quote change what the
        // record is: those lists are the reader's tests.
        if (decoded.size() != 1 || bytes.front() == ' ' || bytes.front() == '"' || bytes.back() == ' ')
            continue;
        const std::u16string &text = decoded.front();
        const bool ascii = isAscii(text);
        std::vector<std::u16string> keys
            = {u"", u"EPWA", u"EPW", u"WARSAW", u"SS", u"Ł", text.substr(0, 4), text.substr(0, 2 + random() % 3)};
        for (std::size_t n = 0; n <= 8 && text.size() > 5; ++n)
            keys.push_back(upper(text.substr(5, n)));
        for (std::u16string &key : keys) {
            key = trimSpaces(key); // as a search hands it on
            for (const bool codeSearch : {true, false}) {
                const bool matches
                    = (codeSearch ? plainmodel::searchCode({text}, key) : plainmodel::searchName({text}, key))
                          .has_value();
                const RecordFilter filter = codeSearch ? RecordFilter::forCode(key) : RecordFilter::forName(key);
                CAPTURE(bytes);
                CAPTURE(toUtf8(key));
                CAPTURE(codeSearch);
                const bool passes = filter.mayMatch(bytes.data(), bytes.size(), false);
                // A code longer than a code's four characters is left to
                // the search.
                const bool decides = ascii && isAscii(key) && !(codeSearch && key.size() > 4);
                CHECK(passes == (matches || (!decides && passes)));
                if (!matches)
                    continue;
                for (std::size_t cut = 0; cut < bytes.size(); ++cut)
                    CHECK(filter.mayMatch(bytes.data(), cut, true));
                if (filter.skips()) {
                    const std::string padded = bytes + std::string(64, '\0');
                    const auto &scan = bytescan::kernels(bytescan::Path::Portable);
                    const std::size_t hit = scan.findHit(padded.data(), 0, bytes.size(), filter.needle());
                    REQUIRE(hit < bytes.size());
                    CHECK_FALSE(filter.passesOver(reinterpret_cast<const unsigned char *>(padded.data()), hit));
                }
            }
        }
    }
}
