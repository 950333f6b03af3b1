// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "bytescan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CODELOOK_HAVE_AVX2 1
#include <immintrin.h>
#endif
#if defined(__SSE2__) || defined(_M_X64)
#define CODELOOK_HAVE_SSE2 1
#endif

namespace codelook::bytescan {

namespace {

Path detect()
{
#if defined(CODELOOK_HAVE_AVX2)
    __builtin_cpu_init(); // may run before libgcc's own constructor has
    if (__builtin_cpu_supports("avx2"))
        return Path::Avx2;
#endif
#if defined(CODELOOK_HAVE_SSE2)
    return Path::Sse2;
#else
    return Path::Portable;
#endif
}

Path &current()
{
    static Path path = detect();
    return path;
}

// A needle byte compared as (byte | setBits) == value: a letter with its
// case bit set when folding, anything else exactly.
struct ByteTest
{
    unsigned char setBits = 0;
    unsigned char value = 0;
};

ByteTest testFor(char c, bool foldCase)
{
    const auto b = static_cast<unsigned char>(c);
    if (foldCase && ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z')))
        return {0x20, static_cast<unsigned char>(b | 0x20)};
    return {0, b};
}

bool needleAt(const unsigned char *data, std::size_t at, const Needle &needle)
{
    const auto *n = reinterpret_cast<const unsigned char *>(needle.bytes.data());
    const std::size_t length = needle.bytes.size();
    if (!needle.foldCase)
        return std::memcmp(data + at, n, length) == 0;
    for (std::size_t i = 0; i < length; ++i) {
        const ByteTest t = testFor(char(n[i]), true);
        if ((data[at + i] | t.setBits) != t.value)
            return false;
    }
    return true;
}

// The bytes a fold hazard can end with; hazardAt settles it.
bool mayEndHazard(unsigned char b)
{
    return b == 0xDF || b == 0x9F || b == 0xB1 || b == 0xBF || b == 0xAC;
}

// ß in Windows-1252 (0xDF, which in UTF-8 only starts rare two-byte
// characters), and the last or middle byte of ß (C3 9F), ı (C4 B1), ſ (C5 BF)
// and the ligatures U+FB00 to U+FB06 (EF AC 80 to 86) in UTF-8. A byte with
// nothing before it in the range counts, as its lead byte is out of sight.
bool hazardAt(const unsigned char *data, std::size_t from, std::size_t at)
{
    const unsigned char b = data[at];
    if (b == 0xDF)
        return true;
    if (!mayEndHazard(b))
        return false;
    if (at == from)
        return true;
    const unsigned char lead = data[at - 1];
    return (b == 0x9F && lead == 0xC3) || (b == 0xB1 && lead == 0xC4) || (b == 0xBF && lead == 0xC5)
        || (b == 0xAC && lead == 0xEF);
}

// Any byte of w that is zero, as its high bit (a byte past a zero one may
// show up too; the byte loop settles it).
inline std::uint64_t zeroBytes(std::uint64_t w)
{
    return (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
}

// Eight bytes at a time: a word with no quote, no byte like the needle's
// first followed by one like its last, and, when folding, no byte above
// ASCII holds no hit.
std::size_t findHitPortable(const unsigned char *data, std::size_t from, std::size_t size, const Needle &needle)
{
    const std::size_t length = needle.bytes.size();
    const ByteTest first = testFor(needle.bytes.front(), needle.foldCase);
    const std::uint64_t ones = 0x0101010101010101ull;
    const ByteTest last = testFor(needle.bytes.back(), needle.foldCase);
    const std::uint64_t quote = ones * '"', firstSet = ones * first.setBits, firstValue = ones * first.value;
    const std::uint64_t lastSet = ones * last.setBits, lastValue = ones * last.value;
    const std::uint64_t high = needle.foldCase ? 0x8080808080808080ull : 0;
    std::size_t i = from;
    for (;;) {
        for (; i + 8 <= size; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, data + i, 8);
            std::uint64_t starts = zeroBytes((w | firstSet) ^ firstValue);
            if (starts && i + length + 7 <= size) {
                // Where the whole needle fits, its last byte must match too.
                std::uint64_t v;
                std::memcpy(&v, data + i + length - 1, 8);
                starts &= zeroBytes((v | lastSet) ^ lastValue);
            }
            if (zeroBytes(w ^ quote) | starts | (w & high))
                break;
        }
        const std::size_t end = std::min(i + 8, size);
        for (; i < end; ++i) {
            const unsigned char b = data[i];
            if (b == '"' || (needle.foldCase && hazardAt(data, from, i)))
                return i;
            if ((b | first.setBits) == first.value && size - i >= length && needleAt(data, i, needle))
                return i;
        }
        if (i >= size)
            return size;
    }
}

// Candidates of one vector of `width` bytes at i, as bit masks: quotes,
// bytes that may end a fold hazard, and needle starts whose first and last
// bytes fit. Settles them lowest first; true with `hit` set on a real one.
inline bool settle(const unsigned char *data, std::size_t from, std::size_t i, const Needle &needle,
                   std::uint32_t quotes, std::uint32_t hazards, std::uint32_t starts, std::size_t &hit)
{
    std::uint32_t all = quotes | hazards | starts;
    while (all) {
        const int k = std::countr_zero(all);
        const std::uint32_t bit = std::uint32_t(1) << k;
        const std::size_t at = i + std::size_t(k);
        if ((quotes & bit) || ((hazards & bit) && hazardAt(data, from, at))
            || ((starts & bit) && needleAt(data, at, needle))) {
            hit = at;
            return true;
        }
        all &= all - 1;
    }
    return false;
}

// Bits of the positions i + k that are below `end`, for a vector of `width`.
inline std::uint32_t below(std::size_t i, std::size_t end, unsigned width)
{
    if (end <= i)
        return 0;
    const std::size_t n = end - i;
    return n >= width ? (width == 32 ? ~std::uint32_t(0) : (std::uint32_t(1) << width) - 1)
                      : (std::uint32_t(1) << n) - 1;
}

#if defined(CODELOOK_HAVE_SSE2)
std::size_t findHitSse2(const unsigned char *data, std::size_t from, std::size_t size, const Needle &needle)
{
    const std::size_t length = needle.bytes.size();
    const ByteTest first = testFor(needle.bytes.front(), needle.foldCase);
    const ByteTest last = testFor(needle.bytes.back(), needle.foldCase);
    const __m128i quote = _mm_set1_epi8('"');
    const __m128i firstSet = _mm_set1_epi8(char(first.setBits)), firstValue = _mm_set1_epi8(char(first.value));
    const __m128i lastSet = _mm_set1_epi8(char(last.setBits)), lastValue = _mm_set1_epi8(char(last.value));
    // Needle starts up to startEnd leave room for the whole needle.
    const std::size_t startEnd = size >= length ? size - length + 1 : 0;
    for (std::size_t i = from; i < size; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const std::uint32_t inRange = below(i, size, 16);
        const std::uint32_t quotes = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(v, quote))) & inRange;
        std::uint32_t hazards = 0;
        if (needle.foldCase && _mm_movemask_epi8(v)) {
            const __m128i h = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(0xDF))),
                                                        _mm_cmpeq_epi8(v, _mm_set1_epi8(char(0x9F)))),
                                           _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(char(0xB1))),
                                                                     _mm_cmpeq_epi8(v, _mm_set1_epi8(char(0xBF)))),
                                                        _mm_cmpeq_epi8(v, _mm_set1_epi8(char(0xAC)))));
            hazards = unsigned(_mm_movemask_epi8(h)) & inRange;
        }
        std::uint32_t starts = 0;
        if (i < startEnd) {
            // The last byte's load ends before size + 16: inside the slack.
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i + length - 1));
            const __m128i f = _mm_cmpeq_epi8(_mm_or_si128(v, firstSet), firstValue);
            const __m128i l = _mm_cmpeq_epi8(_mm_or_si128(w, lastSet), lastValue);
            starts = unsigned(_mm_movemask_epi8(_mm_and_si128(f, l))) & below(i, startEnd, 16);
        }
        std::size_t hit;
        if (settle(data, from, i, needle, quotes, hazards, starts, hit))
            return hit;
    }
    return size;
}
#endif

#if defined(CODELOOK_HAVE_AVX2)
__attribute__((target("avx2"))) std::size_t findHitAvx2(const unsigned char *data, std::size_t from, std::size_t size,
                                                        const Needle &needle)
{
    const std::size_t length = needle.bytes.size();
    const ByteTest first = testFor(needle.bytes.front(), needle.foldCase);
    const ByteTest last = testFor(needle.bytes.back(), needle.foldCase);
    const __m256i quote = _mm256_set1_epi8('"');
    const __m256i firstSet = _mm256_set1_epi8(char(first.setBits)), firstValue = _mm256_set1_epi8(char(first.value));
    const __m256i lastSet = _mm256_set1_epi8(char(last.setBits)), lastValue = _mm256_set1_epi8(char(last.value));
    const std::size_t startEnd = size >= length ? size - length + 1 : 0;
    for (std::size_t i = from; i < size; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i));
        const std::uint32_t inRange = below(i, size, 32);
        const std::uint32_t quotes = unsigned(_mm256_movemask_epi8(_mm256_cmpeq_epi8(v, quote))) & inRange;
        std::uint32_t hazards = 0;
        if (needle.foldCase && _mm256_movemask_epi8(v)) {
            const __m256i h
                = _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0xDF))),
                                                  _mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0x9F)))),
                                  _mm256_or_si256(_mm256_or_si256(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0xB1))),
                                                                  _mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0xBF)))),
                                                  _mm256_cmpeq_epi8(v, _mm256_set1_epi8(char(0xAC)))));
            hazards = unsigned(_mm256_movemask_epi8(h)) & inRange;
        }
        std::uint32_t starts = 0;
        if (i < startEnd) {
            // The last byte's load ends before size + 32: inside the slack.
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(data + i + length - 1));
            const __m256i f = _mm256_cmpeq_epi8(_mm256_or_si256(v, firstSet), firstValue);
            const __m256i l = _mm256_cmpeq_epi8(_mm256_or_si256(w, lastSet), lastValue);
            starts = unsigned(_mm256_movemask_epi8(_mm256_and_si256(f, l))) & below(i, startEnd, 32);
        }
        std::size_t hit;
        if (settle(data, from, i, needle, quotes, hazards, starts, hit))
            return hit;
    }
    return size;
}
#endif

} // namespace

std::string_view name(Path path)
{
    switch (path) {
    case Path::Avx2:
        return "avx2";
    case Path::Sse2:
        return "sse2";
    case Path::Portable:
        break;
    }
    return "portable";
}

bool fromName(std::string_view wanted, Path &path)
{
    for (const Path p : {Path::Portable, Path::Sse2, Path::Avx2}) {
        if (name(p) == wanted) {
            path = p;
            return true;
        }
    }
    return false;
}

Path best()
{
    static const Path path = detect();
    return path;
}

bool supported(Path path)
{
    return path <= best();
}

Path active()
{
    return current();
}

bool force(Path path)
{
    if (!supported(path))
        return false;
    current() = path;
    return true;
}

std::size_t findHit(const char *data, std::size_t from, std::size_t size, const Needle &needle, Path path)
{
    if (from >= size)
        return size;
    if (needle.bytes.empty())
        return from;
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    switch (path) {
#if defined(CODELOOK_HAVE_AVX2)
    case Path::Avx2:
        return findHitAvx2(bytes, from, size, needle);
#endif
#if defined(CODELOOK_HAVE_SSE2)
    case Path::Sse2:
        return findHitSse2(bytes, from, size, needle);
#endif
    default:
        return findHitPortable(bytes, from, size, needle);
    }
}

} // namespace codelook::bytescan
