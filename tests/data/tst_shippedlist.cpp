// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The shipped list read through the program's own reader: one record per
// airport of the source CSV, each as the converter promises, and a few
// airports a user would look for.

#include "listreader.h"
#include "lookup.h"
#include "testing.h"
#include "text.h"

using namespace codelook;

namespace {

const std::u16string listPath = fromUtf8(CODELOOK_SOURCE_DIR "/data/codelook.txt");

} // namespace

// The converter has written, one line per airport, what its record must read
// as (CODELOOK_SHIPPED_EXPECTED, made by the test that sets this one up).
TEST_CASE("one record per airport")
{
    const std::string expectedFile = testing::readFile(CODELOOK_SHIPPED_EXPECTED);
    std::vector<std::u16string> expected;
    for (std::size_t begin = 0; begin < expectedFile.size();) {
        std::size_t end = expectedFile.find('\n', begin);
        if (end == std::string::npos)
            end = expectedFile.size();
        std::string line = expectedFile.substr(begin, end - begin);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            expected.push_back(fromUtf8(line));
        begin = end + 1;
    }
    REQUIRE_FALSE(expected.empty());

    ListReader reader(listPath, 4096);
    REQUIRE(reader.open());
    RecordView record;
    std::size_t count = 0;
    while (reader.next(record)) {
        REQUIRE_MESSAGE(count < expected.size(), "more records than airports");
        const std::u16string text = record.text(1000);
        const std::u16string &line = expected[count];
        const std::u16string wanted = line.substr(0, 4) + u' ' + (line.size() > 5 ? line.substr(5) : u"");
        if (text != wanted) {
            CAPTURE(count + 1);
            REQUIRE(text == wanted);
        }
        ++count;
    }
    CHECK_FALSE(reader.failed());
    CHECK(count == expected.size());
}

TEST_CASE("well-known airports")
{
    const struct
    {
        const char *name;
        bool byCode;
        std::u16string key;
        std::u16string shown;
    } cases[] = {
        {"Heathrow by code", true, u"EGLL", u"LONDON HEATHROW AIRPORT"},
        {"Fiumicino by code", true, u"LIRF", u"LEONARDO DA VINCI (FIUMICINO) INTERNATIONAL AIRPORT"},
        {"cp1252 letter upper-cased", true, u"EPLL", u"LÓDZ WLADYSLAW REYMONT AIRPORT"},
        {"quoted name with a comma", true, u"0GA2", u"AIRNAUTIQUE, INC AIRPORT"},
        {"lower-case code finds nothing", true, u"egll", u""},
        // Several names start with LONDON: the first in file order wins.
        {"shared prefix, first in file", false, u"LONDON", u"CLC2"},
        {"London Heathrow by name", false, u"LONDON HEATHROW", u"EGLL"},
        {"unknown name", false, u"NO SUCH PLACE", u""},
    };
    for (const auto &c : cases) {
        SUBCASE(c.name)
        {
            const Lookup lookup(listPath);
            const SearchResult result = c.byCode ? lookup.searchCode(c.key) : lookup.searchName(c.key);
            CHECK(result.answer == c.shown);
        }
    }
}
