// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "listreader.h"
#include "testing.h"
#include "text.h"

using namespace codelook;
using namespace std::string_literals;
using Records = std::vector<std::u16string>;

namespace {

constexpr std::size_t everything = 1 << 16;

// All records of a list with these bytes, decoded whole.
bool readAll(const std::string &bytes, Records *records)
{
    testing::TempDir dir;
    const auto path = dir.file("codelook.txt");
    if (!testing::writeFile(path, bytes))
        return false;
    ListReader reader(testing::u16path(path), everything);
    if (!reader.open())
        return false;
    RecordView record;
    while (reader.next(record))
        records->push_back(record.text(everything));
    return !reader.failed();
}

struct ListCase
{
    const char *name;
    std::string bytes;
    Records records;
};

void checkLists(const std::vector<ListCase> &cases)
{
    for (const ListCase &c : cases) {
        SUBCASE(c.name)
        {
            Records got;
            REQUIRE(readAll(c.bytes, &got));
            CHECK(got == c.records);
        }
    }
}

} // namespace

TEST_CASE("fields")
{
    checkLists({
        {"LF line ends", "EPWA Warsaw\nEPKK Krakow\n", {u"EPWA Warsaw", u"EPKK Krakow"}},
        {"CR LF line ends", "A\r\nB\r\n", {u"A", u"B"}},
        {"lone CR line ends", "A\rB\r", {u"A", u"B"}},
        {"mixed line ends", "A\r\n\rB\n\r\nC\n\rD", {u"A", u"B", u"C", u"D"}},
        {"no line end before end of file", "A\nEPWA Warsaw", {u"A", u"EPWA Warsaw"}},
        {"blank lines and lines of spaces", "\n\n   \nA\n \r\n  \rB\n", {u"A", u"B"}},
        // The reader looks for delimiters 64 bytes at a time: runs of line
        // ends that pass over whole windows, and records between them.
        {"long runs of blank lines",
         std::string(200, '\n') + "A," + std::string(130, '\r') + "B" + std::string(64, '\n') + "C",
         {u"A", u"B", u"C"}},
        {"empty file", "", {}},
        {"only line ends and spaces", "\r\n\n\r  \r\n", {}},
        {"leading spaces skipped", "   A B\n", {u"A B"}},
        {"tabs are data", "\tA\t\n", {u"\tA\t"}},
        {"trailing spaces cut, tabs kept", "A   \nB\t \nC \t\n", {u"A", u"B\t", u"C \t"}},
        {"comma ends an item", "A,B\n", {u"A", u"B"}},
        {"spaces around commas", "A  ,  B  \n", {u"A", u"B"}},
        {"line ending in a comma", "A,\nB\n", {u"A", u"B"}},
        {"comma before end of file", "A,", {u"A"}},
        {"empty item between commas", "A,,B", {u"A", u"", u"B"}},
        {"item of spaces between commas", "A,  ,B", {u"A", u"", u"B"}},
        {"comma first in the file", ",A", {u"", u"A"}},
        {"quote inside an unquoted item", "A\"B,C\"\n", {u"A\"B", u"C\""}},
        {"quoted item keeps commas and spaces", "\" EPWA Warsaw, Chopin  \"\n", {u" EPWA Warsaw, Chopin  "}},
        {"spaces before a quote skipped", "   \"A\"\n", {u"A"}},
        {"tab before a quote makes it data", "\t\"A\",B", {u"\t\"A\"", u"B"}},
        {"quoted item drops line ends", "\"A\r\nB\rC\nD\"\nE", {u"ABCD", u"E"}},
        {"text after closing quote discarded up to comma", "\"A\" junk \"x,B\n", {u"A", u"B"}},
        {"text after closing quote discarded up to line end", "\"A\"junk\r\nB", {u"A", u"B"}},
        {"closing quote at end of file", "\"A\"", {u"A"}},
        {"empty quoted item", "\"\",A", {u"", u"A"}},
        {"quote never closed runs to end of file", "\"A,B\r\nC ", {u"A,BC "}},
        {"opening quote last in the file", "A\n\"", {u"A", u""}},
        {"NUL bytes are data", "A\0B\n\0"s, {u"A\0B"s, u"\0"s}},
    });
}

TEST_CASE("encodings")
{
    const std::string bom = "\xEF\xBB\xBF";
    checkLists({
        {"UTF-8", "EPLL Łódź\n", {u"EPLL Łódź"}},
        {"four-byte UTF-8", "A😀B", {u"A😀B"}},
        {"Windows-1252", "LFPG Ch\xE2teau \x80\x9F\n", {u"LFPG Château €Ÿ"}},
        {"each record decoded on its own", "A \xC3\xA9\nB \xE9\n\"C \xC3\xA9\"", {u"A é", u"B é", u"C é"}},
        {"overlong sequence falls back", "\xC0\xAF\n", {u"À¯"}},
        {"encoded surrogate falls back", "X\xED\xA0\x80\n", {u"Xí\u00A0€"}},
        {"past U+10FFFF falls back", "\xF4\x90\x80\x80", {u"ô\u0090€€"}},
        {"sequence cut by the record end falls back", "A\xC3,\xC3\xA9", {u"AÃ", u"é"}},
        {"unassigned Windows-1252 bytes", "\x81\x8D\x8F\x90\x9D", {u"\u0081\u008D\u008F\u0090\u009D"}},
        {"character split by a line end inside quotes", "\"\xC3\r\n\xA9\"", {u"é"}},
        {"byte-order mark skipped", bom + "A\nB", {u"A", u"B"}},
        {"byte-order mark makes every record UTF-8", bom + "A\xE9.\n\xC3\xA9", {u"A\uFFFD.", u"é"}},
        // Each byte that starts no well-formed sequence is one U+FFFD.
        {"invalid sequences in a byte-order mark file",
         bom + "\xE2\x82,\xF0\x80\x80\x80,\xED\xA0\x80,\xC3(",
         {u"\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD\uFFFD", u"\uFFFD\uFFFD\uFFFD", u"\uFFFD("}},
        // Only the mark that opens the file is skipped; any other is a
        // character (U+FEFF) of its record.
        {"byte-order mark after the file start is a character", "A\n" + bom + "B" + bom, {u"A", u"\uFEFFB\uFEFF"}},
        {"second byte-order mark at the file start is a character", bom + bom + "A", {u"\uFEFFA"}},
    });
}

// The reader judges a record that spans blocks piece by piece, so every way
// of cutting it must give the same answer as the whole.
TEST_CASE("UTF-8 validity")
{
    const struct
    {
        const char *name;
        std::string bytes;
        bool valid;
    } cases[] = {
        {"ASCII with NUL", "AB\0CD"s, true},
        {"two, three and four bytes", "é€😀", true},
        {"long ASCII run, then a character", "ABCDEFGHIJKLMNOPQé", true},
        {"last before surrogates", "\xED\x9F\xBF", true},
        {"highest code point", "\xF4\x8F\xBF\xBF", true},
        {"first surrogate", "\xED\xA0\x80", false},
        {"last surrogate", "\xED\xBF\xBF", false},
        {"overlong two bytes", "\xC1\xBF", false},
        {"overlong three bytes", "\xE0\x9F\xBF", false},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", false},
        {"past U+10FFFF", "\xF4\x90\x80\x80", false},
        {"lead byte F5", "\xF5\x80\x80\x80", false},
        {"lone continuation byte", "ABCDEFGHIJ\x80", false},
        {"sequence cut at the end", "ABCDEFGH\xE2\x82", false},
        {"ASCII inside a sequence", "\xE2\x41\x82", false},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            CHECK(isValidUtf8(c.bytes.data(), c.bytes.size()) == c.valid);
            // The decoder agrees: no replacement character exactly when valid.
            CHECK((fromUtf8(c.bytes).find(u'\uFFFD') == std::u16string::npos) == c.valid);
            for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
                CAPTURE(cut);
                Utf8Validator v;
                v.feed(c.bytes.data(), cut);
                v.feed(c.bytes.data() + cut, c.bytes.size() - cut);
                CHECK(v.isValid() == c.valid);
            }
        }
    }
}

TEST_CASE("Windows-1252")
{
    const struct
    {
        const char *name;
        unsigned char byte;
        char16_t character;
    } cases[] = {
        {"0x00", 0x00, u'\0'},
        {"0x7F", 0x7F, u'\u007F'},
        {"0x80 euro", 0x80, u'€'},
        {"0x81 unassigned", 0x81, u'\u0081'},
        {"0x8A", 0x8A, u'Š'},
        {"0x8D unassigned", 0x8D, u'\u008D'},
        {"0x8F unassigned", 0x8F, u'\u008F'},
        {"0x90 unassigned", 0x90, u'\u0090'},
        {"0x93", 0x93, u'\u201C'},
        {"0x9D unassigned", 0x9D, u'\u009D'},
        {"0x9F", 0x9F, u'Ÿ'},
        {"0xA0", 0xA0, u'\u00A0'},
        {"0xF0", 0xF0, u'ð'},
        {"0xFF", 0xFF, u'ÿ'},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            const char b = char(c.byte);
            CHECK(fromWindows1252(&b, 1) == std::u16string(1, c.character));
        }
    }
}

TEST_CASE("character operations")
{
    const std::u16string pairs = u"A😀B𝄞C"; // two characters outside the BMP
    const struct
    {
        const char *name;
        std::u16string got;
        std::u16string expected;
    } cases[] = {
        {"mid over a surrogate pair", midChars(pairs, 2, 2), u"😀B"},
        {"mid starting after pairs", midChars(pairs, 4, 9), u"𝄞C"},
        {"mid past the end", midChars(pairs, 6, 1), u""},
        {"mid of zero characters", midChars(pairs, 1, 0), u""},
        {"left over surrogate pairs", leftChars(pairs, 4), u"A😀B𝄞"},
        {"left longer than the string", leftChars(pairs, 99), pairs},
        {"trim keeps tabs", trimSpaces(u"  \tA B\t  "), u"\tA B\t"},
        {"record text cut by characters", RecordView{"A😀BC", 7}.text(2), u"A😀"},
        {"Windows-1252 record text cut", RecordView{"AB\xE9\xE9", 4}.text(3), u"ABé"},
        {"UTF-8 round trip", fromUtf8(toUtf8(pairs + u"\uFEFFé")), pairs + u"\uFEFFé"},
        {"unpaired surrogate to UTF-8",
         fromUtf8(toUtf8(u"A\xD83D"
                         u"B")),
         u"A?B"},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            CHECK(c.got == c.expected);
        }
    }
    CHECK(charCount(pairs) == 5);
    CHECK(charCount(u"\xDC00\xD800") == 2); // unpaired halves count as one each
}

// Full mappings, no language rules, and the same on every platform.
TEST_CASE("upper-casing")
{
    const struct
    {
        const char *name;
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {"ASCII", u"Straße 9a-z", u"STRASSE 9A-Z"},
        {"sharp s becomes SS", u"ß", u"SS"},
        {"n preceded by apostrophe", u"ŉ", u"\u02BCN"},
        {"j with caron has no single upper case", u"ǰ", u"J\u030C"},
        {"iota with dialytika and tonos", u"ΐ", u"\u0399\u0308\u0301"},
        {"ligature ff", u"ﬀ", u"FF"},
        {"ypogegrammeni becomes a capital iota", u"ᾳ", u"ΑΙ"},
        {"dotless i", u"ı", u"I"},
        {"i takes no Turkish dot", u"i", u"I"},
        {"capital I with dot stays", u"İ", u"İ"},
        {"final and medial sigma", u"ςσ", u"ΣΣ"},
        {"micro sign", u"µ", u"\u039C"},
        {"y with diaeresis leaves Latin-1", u"ÿ", u"Ÿ"},
        {"title-case digraph", u"ǅ", u"Ǆ"},
        {"Deseret outside the BMP", u"𐐨", u"𐐀"},
        {"eth", u"ðakar", u"ÐAKAR"},
        {"unchanged characters", u"ÐΣ€漢字😀\u0130\u00A0\t", u"ÐΣ€漢字😀\u0130\u00A0\t"},
        {"unpaired surrogates stay",
         u"a\xD801"
         u"b\xDC28",
         u"A\xD801"
         u"B\xDC28"},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            CHECK(upper(c.text) == c.expected);
        }
    }
}
