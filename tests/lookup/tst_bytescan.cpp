// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The reader's byte loops: every version this machine runs must give the
// answers of a plain byte-by-byte search, at every offset and length, and
// the bytes the skip stops at must cover every character that upper-cases
// to ASCII.

#include "bytescan.h"
#include "testing.h"
#include "text.h"

#include <algorithm>
#include <random>
#include <vector>

using namespace codelook;
using namespace std::string_literals;

namespace {

std::vector<bytescan::Path> supportedPaths()
{
    std::vector<bytescan::Path> paths;
    for (const auto path : {bytescan::Path::Portable, bytescan::Path::Sse2, bytescan::Path::Avx2}) {
        if (bytescan::supported(path))
            paths.push_back(path);
    }
    return paths;
}

bool isAscii(const std::u16string &s)
{
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

// What a search that folds case must stop at, found by the upper-casing
// itself, whatever its table says now or after an update: each character
// whose upper case is ASCII although it is not, in UTF-8 (reported at its
// second byte; a second byte first in the range counts, since its lead byte
// is out of sight) and as a Windows-1252 byte.
struct Hazards
{
    std::vector<std::string> utf8;
    std::string windows1252;
};

const Hazards &hazards()
{
    static const Hazards found = [] {
        Hazards h;
        for (char32_t cp = 0x80; cp <= 0x10FFFF; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            std::u16string c;
            if (cp < 0x10000) {
                c = std::u16string(1, char16_t(cp));
            } else {
                c += char16_t(0xD800 + ((cp - 0x10000) >> 10));
                c += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
            }
            if (isAscii(upper(c)))
                h.utf8.push_back(toUtf8(c));
        }
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = char(b);
            if (isAscii(upper(fromWindows1252(&byte, 1))))
                h.windows1252 += byte;
        }
        return h;
    }();
    return found;
}

bool foldEqual(unsigned char a, unsigned char b)
{
    auto fold = [](unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; };
    return fold(a) == fold(b);
}

std::size_t plainFindHit(const std::string &data, std::size_t from, std::size_t size, const bytescan::Needle &needle)
{
    const std::string &n = needle.bytes;
    for (std::size_t i = from; i < size; ++i) {
        if (data[i] == '"')
            return i;
        if (needle.foldCase) {
            if (hazards().windows1252.find(data[i]) != std::string::npos)
                return i;
            for (const std::string &h : hazards().utf8) {
                if (data[i] == h[1] && (i == from || data[i - 1] == h[0]))
                    return i;
            }
        }
        if (size - i < n.size())
            continue;
        bool match = true;
        for (std::size_t k = 0; k < n.size() && match; ++k) {
            const auto a = static_cast<unsigned char>(data[i + k]);
            const auto b = static_cast<unsigned char>(n[k]);
            match = needle.foldCase ? foldEqual(a, b) : a == b;
        }
        if (match)
            return i;
    }
    return size;
}

// Bytes with room for the vector loads past the end.
std::string padded(std::string bytes)
{
    return bytes + std::string(64, '\0');
}

} // namespace

TEST_CASE("the byte loops find what a plain search finds")
{
    const std::vector<bytescan::Needle> needles = {
        {"KZZZ", false},
        {"EG", false},
        {"Ab", false},
        {"LONDON ZZZ", true},
        {"san zzz", true},
        {"SS", true},
        {"1,2", true},
        {"INTERNATIONAL AIRPORT", true},
        {"qjx", true},
        {"A\"Z", false},
        {std::string(250, 'Z'), true},
        {"LONDON HEATHROW AIRPORT " + std::string(226, 'Z'), true},
    };
    // Pieces that make near misses: needle starts, letters in both cases,
    // quotes, hazards whole and cut, bytes that look like hazards.
    const std::vector<std::string> pieces = {
        "K",
        "KZZ",
        "Z",
        "ZZZZZZZZ",
        "EG",
        "eg",
        "London ",
        "LONDON Z",
        "SAN",
        "san zz",
        "s",
        "S",
        "\"",
        ",",
        "\n",
        "\r\n",
        "ß",
        "\xDF",
        "\x9F",
        "\xC3",
        "ı",
        "ſ",
        "\xB1",
        "\xBF",
        "\xAC",
        "\uFB01",
        "\uFB06",
        "\uFB07",
        "é",
        "\xEF\xAC",
        "1,2",
        "1,",
        "\0"s,
        "x",
        "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx",
    };
    std::mt19937 random(7);
    for (const auto path : supportedPaths()) {
        CAPTURE(bytescan::name(path));
        for (int round = 0; round < 3000; ++round) {
            std::string data;
            for (auto n = random() % 40; n > 0; --n)
                data += pieces[random() % pieces.size()];
            if (random() % 8 == 0)
                data += std::string(300 + random() % 300, 'Z'); // long needles fit
            const bytescan::Needle &needle = needles[random() % needles.size()];
            const std::size_t size = data.empty() ? 0 : random() % (data.size() + 1);
            const std::size_t from = size == 0 ? 0 : random() % (size + 1);
            const std::string bytes = padded(data);
            CAPTURE(data);
            CAPTURE(needle.bytes);
            CAPTURE(from);
            CAPTURE(size);
            CHECK(bytescan::kernels(path).findHit(bytes.data(), from, size, needle)
                  == plainFindHit(bytes, from, size, needle));
        }
    }
}

TEST_CASE("the byte loops at every offset of a vector")
{
    // One interesting byte at each place of a stretch of 100 plain bytes,
    // searched from each start: the vector edges are where loops go wrong.
    struct Row
    {
        const char *what;
        std::string bytes;
        bytescan::Needle needle;
    };
    const std::vector<Row> rows = {
        {"needle", "EGZZ", {"EGZZ", false}},
        {"needle in the other case", "egzz", {"EGZZ", true}},
        {"needle in the other case, exact search", "egzz", {"EGZZ", false}},
        {"quote", "\"", {"EGZZ", false}},
        {"ß", "ß", {"SS", true}},
        {"ß in an exact search", "ß", {"SS", false}},
        {"Windows-1252 ß", "\xDF", {"SS", true}},
        {"ligature", "\uFB03", {"FFI", true}},
        {"second byte of another character", "\xC2\xB1", {"SS", true}},
    };
    for (const auto path : supportedPaths()) {
        CAPTURE(bytescan::name(path));
        for (const Row &row : rows) {
            CAPTURE(row.what);
            for (std::size_t at = 0; at + row.bytes.size() <= 100; ++at) {
                std::string data(100, 'e');
                data.replace(at, row.bytes.size(), row.bytes);
                const std::string bytes = padded(data);
                for (const std::size_t from : {std::size_t(0), at / 2, at, at + 1}) {
                    for (const std::size_t size : {at + row.bytes.size(), std::size_t(100), at + 1}) {
                        if (from > size)
                            continue;
                        CAPTURE(at);
                        CAPTURE(from);
                        CAPTURE(size);
                        CHECK(bytescan::kernels(path).findHit(bytes.data(), from, size, row.needle)
                              == plainFindHit(bytes, from, size, row.needle));
                    }
                }
            }
        }
    }
}

TEST_CASE("every delimiter mask matches its bytes")
{
    std::mt19937 random(3);
    const std::string alphabet = ",\r\n\"a \x80\xFF";
    for (const auto path : supportedPaths()) {
        CAPTURE(bytescan::name(path));
        for (int round = 0; round < 500; ++round) {
            std::string bytes(64, 'a');
            for (char &c : bytes)
                c = alphabet[random() % alphabet.size()];
            std::uint64_t expected = 0;
            for (int i = 0; i < 64; ++i) {
                if (bytes[i] == ',' || bytes[i] == '\r' || bytes[i] == '\n')
                    expected |= std::uint64_t(1) << i;
            }
            CHECK(bytescan::kernels(path).delimiters(bytes.data()) == expected);
        }
    }
}

TEST_CASE("a case-folding search stops at every character whose upper case is ASCII")
{
    const bytescan::Needle needle{"QQ", true};
    const auto &scan = bytescan::kernels(bytescan::Path::Portable);
    REQUIRE_FALSE(hazards().utf8.empty());
    for (const std::string &c : hazards().utf8) {
        const std::string bytes = padded(c);
        CAPTURE(c);
        CHECK(scan.findHit(bytes.data(), 0, c.size(), needle) < c.size());
    }
    for (const char byte : hazards().windows1252) {
        const std::string bytes = padded(std::string(1, byte));
        CAPTURE(int(static_cast<unsigned char>(byte)));
        CHECK(scan.findHit(bytes.data(), 0, 1, needle) == 0);
    }
}

TEST_CASE("a path is forced only where it runs")
{
    const bytescan::Path best = bytescan::best();
    for (const auto path : {bytescan::Path::Portable, bytescan::Path::Sse2, bytescan::Path::Avx2}) {
        CAPTURE(bytescan::name(path));
        CHECK(bytescan::force(path) == bytescan::supported(path));
        CHECK(bytescan::active().path == (bytescan::supported(path) ? path : bytescan::Path::Portable));
        bytescan::force(bytescan::Path::Portable);
    }
    CHECK(bytescan::supported(bytescan::Path::Portable));
    bytescan::force(best);
    CHECK(bytescan::active().path == best);
}
