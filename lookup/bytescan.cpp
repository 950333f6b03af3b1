// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "bytescan.h"
#include "bytescan_kernels.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>

#if defined(CODELOOK_HAVE_AVX2)
#include <immintrin.h>
// Only the AVX2 version's own functions are compiled for AVX2, so the
// program still runs on a CPU without it.
#define CODELOOK_AVX2 __attribute__((target("avx2")))
#elif defined(CODELOOK_HAVE_SSE2)
#include <emmintrin.h>
#endif

// The shared vector loop must be inlined into each version's function: only
// there is it compiled for that version's instruction set.
#if defined(_MSC_VER) && !defined(__clang__)
#define CODELOOK_ALWAYS_INLINE __forceinline
#else
#define CODELOOK_ALWAYS_INLINE inline __attribute__((always_inline))
#endif

namespace codelook::bytescan {

namespace {

// How common each ASCII byte is in airport names, as its rank among the
// 128 (0 the rarest, 127 the space): counted once over the shipped list.
constexpr unsigned char byteRank[128] = {
    0,   1,   2,   3,  4,   5,   6,   7,   8,  9,   117, 10,  11,  118, 12, 13,  14,  15,  16, 17, 18,  19,
    20,  21,  22,  23, 24,  25,  26,  27,  28, 29,  127, 30,  55,  31,  32, 33,  56,  61,  58, 59, 34,  48,
    53,  66,  57,  64, 74,  79,  81,  78,  77, 75,  73,  72,  71,  68,  35, 36,  37,  38,  39, 49, 40,  121,
    102, 107, 94,  95, 109, 91,  89,  96,  84, 108, 106, 110, 100, 88,  99, 65,  103, 114, 97, 80, 86,  90,
    67,  87,  69,  50, 41,  51,  42,  54,  52, 123, 85,  105, 112, 120, 70, 101, 104, 125, 63, 92, 115, 98,
    116, 124, 119, 60, 126, 113, 122, 111, 83, 76,  62,  93,  82,  43,  44, 45,  46,  47,
};

// A letter compared either way is as common as its commoner case.
unsigned rankOf(unsigned char c, bool foldCase)
{
    if (c >= 0x80)
        return 0;
    if (foldCase && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')))
        return std::max(byteRank[c | 0x20], byteRank[c & ~0x20]);
    return byteRank[c];
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
    const std::size_t length = needle.bytes.size();
    if (!needle.foldCase)
        return std::memcmp(data + at, needle.bytes.data(), length) == 0;
    const auto *bits = reinterpret_cast<const unsigned char *>(needle.caseBits.data());
    const auto *folded = reinterpret_cast<const unsigned char *>(needle.folded.data());
    std::size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t d, b, f;
        std::memcpy(&d, data + at + i, 8);
        std::memcpy(&b, bits + i, 8);
        std::memcpy(&f, folded + i, 8);
        if ((d | b) != f)
            return false;
    }
    for (; i < length; ++i) {
        if ((data[at + i] | bits[i]) != folded[i])
            return false;
    }
    return true;
}

// The bytes a fold hazard can end with; hazardAt settles it.
constexpr unsigned char hazardEnds[] = {0xDF, 0x9F, 0xB1, 0xBF, 0xAC};

bool mayEndHazard(unsigned char b)
{
    return std::find(std::begin(hazardEnds), std::end(hazardEnds), b) != std::end(hazardEnds);
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

// Eight bytes at a time: a word with no quote, no place where the needle's
// rare bytes (its first, where it would not fit) could be, and, when
// folding, no byte above ASCII holds no hit.
std::size_t findHitPortable(const unsigned char *data, std::size_t from, std::size_t size, const Needle &needle)
{
    const std::size_t length = needle.bytes.size();
    const ByteTest first = testFor(needle.bytes.front(), needle.foldCase);
    const ByteTest rareA = testFor(needle.bytes[needle.rare1], needle.foldCase);
    const ByteTest rareB = testFor(needle.bytes[needle.rare2], needle.foldCase);
    const std::uint64_t ones = 0x0101010101010101ull;
    const std::uint64_t quote = ones * '"', high = needle.foldCase ? 0x8080808080808080ull : 0;
    auto like = [&](const unsigned char *p, ByteTest t) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        return zeroBytes((w | ones * t.setBits) ^ ones * t.value);
    };
    std::size_t i = from;
    for (;;) {
        for (; i + 8 <= size; i += 8) {
            std::uint64_t w;
            std::memcpy(&w, data + i, 8);
            const std::uint64_t starts = i + length + 7 <= size
                ? like(data + i + needle.rare1, rareA) & like(data + i + needle.rare2, rareB)
                : like(data + i, first);
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

std::uint64_t delimitersPortable(const char *p)
{
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= std::uint64_t(p[i] == ',' || p[i] == '\r' || p[i] == '\n') << i;
    return mask;
}

// Candidates of one vector of `width` bytes at i, as bit masks: quotes,
// bytes that may end a fold hazard, and needle starts whose two rare bytes
// fit. Settles them lowest first; true with `hit` set on a real one.
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

// The vector versions share one loop, written over a small type that says
// how wide a vector is and how to load, splat, compare and combine bytes and
// take their high bits as a mask.
#if defined(CODELOOK_HAVE_SSE2)
struct Sse2
{
    using Bytes = __m128i;
    static constexpr unsigned width = 16;

    static Bytes load(const unsigned char *p) { return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p)); }
    static Bytes splat(unsigned char c) { return _mm_set1_epi8(char(c)); }
    static Bytes equal(Bytes a, Bytes b) { return _mm_cmpeq_epi8(a, b); }
    static Bytes either(Bytes a, Bytes b) { return _mm_or_si128(a, b); }
    static Bytes both(Bytes a, Bytes b) { return _mm_and_si128(a, b); }
    static std::uint32_t highBits(Bytes v) { return unsigned(_mm_movemask_epi8(v)); }
};
#endif

#if defined(CODELOOK_HAVE_AVX2)
// The vector sits in a struct: Clang refuses an AVX vector passed by value
// to or from the shared loop, which is not compiled for AVX until it is
// inlined into findHitAvx2.
struct Avx2
{
    struct Bytes
    {
        __m256i v;
    };
    static constexpr unsigned width = 32;

    CODELOOK_AVX2 static Bytes load(const unsigned char *p)
    {
        return {_mm256_loadu_si256(reinterpret_cast<const __m256i *>(p))};
    }
    CODELOOK_AVX2 static Bytes splat(unsigned char c) { return {_mm256_set1_epi8(char(c))}; }
    CODELOOK_AVX2 static Bytes equal(Bytes a, Bytes b) { return {_mm256_cmpeq_epi8(a.v, b.v)}; }
    CODELOOK_AVX2 static Bytes either(Bytes a, Bytes b) { return {_mm256_or_si256(a.v, b.v)}; }
    CODELOOK_AVX2 static Bytes both(Bytes a, Bytes b) { return {_mm256_and_si256(a.v, b.v)}; }
    CODELOOK_AVX2 static std::uint32_t highBits(Bytes v) { return unsigned(_mm256_movemask_epi8(v.v)); }
};
#endif

// The needle's two rare bytes as vectors, each compared as
// (byte | set) == value at its offset from a needle start in data.
template <class Vec>
struct RarePair
{
    using Bytes = typename Vec::Bytes;

    CODELOOK_ALWAYS_INLINE RarePair(const unsigned char *data, const Needle &needle)
        : dataA(data + needle.rare1)
        , dataB(data + needle.rare2)
    {
        const ByteTest a = testFor(needle.bytes[needle.rare1], needle.foldCase);
        const ByteTest b = testFor(needle.bytes[needle.rare2], needle.foldCase);
        setA = Vec::splat(a.setBits);
        valueA = Vec::splat(a.value);
        setB = Vec::splat(b.setBits);
        valueB = Vec::splat(b.value);
    }

    // Which places of the vector at data + i could start the needle.
    CODELOOK_ALWAYS_INLINE Bytes startsAt(std::size_t i) const
    {
        return Vec::both(Vec::equal(Vec::either(Vec::load(dataA + i), setA), valueA),
                         Vec::equal(Vec::either(Vec::load(dataB + i), setB), valueB));
    }

    const unsigned char *dataA, *dataB;
    Bytes setA, valueA, setB, valueB;
};

template <class Vec>
CODELOOK_ALWAYS_INLINE std::size_t findHitVector(const unsigned char *data, std::size_t from, std::size_t size,
                                                 const Needle &needle)
{
    using Bytes = typename Vec::Bytes;
    constexpr unsigned width = Vec::width;
    const std::size_t length = needle.bytes.size();
    const RarePair<Vec> pair(data, needle);
    const Bytes quote = Vec::splat('"');
    const Bytes asciiOnly = Vec::splat(needle.foldCase ? 0x80 : 0);
    // Needle starts up to startEnd leave room for the whole needle.
    const std::size_t startEnd = size >= length ? size - length + 1 : 0;
    for (std::size_t i = from; i < size; i += width) {
        // Where every place is a start that fits, one test passes over a
        // vector with no quote, no pair of rare bytes and, when folding, no
        // byte above ASCII; the first that has one is settled below.
        for (; i + width <= startEnd; i += width) {
            const Bytes v = Vec::load(data + i);
            const Bytes any = Vec::either(Vec::either(Vec::equal(v, quote), pair.startsAt(i)), Vec::both(v, asciiOnly));
            if (Vec::highBits(any))
                break;
        }
        if (i >= size)
            break;
        const Bytes v = Vec::load(data + i);
        const std::uint32_t inRange = below(i, size, width);
        const std::uint32_t quotes = Vec::highBits(Vec::equal(v, quote)) & inRange;
        std::uint32_t hazards = 0;
        if (needle.foldCase && Vec::highBits(v)) {
            Bytes h = Vec::equal(v, Vec::splat(hazardEnds[0]));
            for (std::size_t k = 1; k < std::size(hazardEnds); ++k)
                h = Vec::either(h, Vec::equal(v, Vec::splat(hazardEnds[k])));
            hazards = Vec::highBits(h) & inRange;
        }
        // Both loads of a start end before size + width: inside the slack.
        const std::uint32_t starts = i < startEnd ? Vec::highBits(pair.startsAt(i)) & below(i, startEnd, width) : 0;
        std::size_t hit;
        if (settle(data, from, i, needle, quotes, hazards, starts, hit))
            return hit;
    }
    return size;
}

template <class Vec>
CODELOOK_ALWAYS_INLINE std::uint64_t delimitersVector(const char *p)
{
    const auto *bytes = reinterpret_cast<const unsigned char *>(p);
    const typename Vec::Bytes comma = Vec::splat(','), cr = Vec::splat('\r'), lf = Vec::splat('\n');
    std::uint64_t mask = 0;
    for (unsigned i = 0; i < 64; i += Vec::width) {
        const typename Vec::Bytes v = Vec::load(bytes + i);
        const typename Vec::Bytes hit
            = Vec::either(Vec::either(Vec::equal(v, comma), Vec::equal(v, cr)), Vec::equal(v, lf));
        mask |= std::uint64_t(Vec::highBits(hit)) << i;
    }
    return mask;
}

// Each version's entry points. The shared checks stay outside the loops, so
// the AVX2 ones are the only code compiled for AVX2.
template <std::size_t (*find)(const unsigned char *, std::size_t, std::size_t, const Needle &)>
std::size_t findHitChecked(const char *data, std::size_t from, std::size_t size, const Needle &needle)
{
    if (from >= size)
        return size;
    if (needle.bytes.empty())
        return from;
    return find(reinterpret_cast<const unsigned char *>(data), from, size, needle);
}

#if defined(CODELOOK_HAVE_SSE2)
std::size_t findHitSse2(const unsigned char *data, std::size_t from, std::size_t size, const Needle &needle)
{
    return findHitVector<Sse2>(data, from, size, needle);
}

std::uint64_t delimitersSse2(const char *p)
{
    return delimitersVector<Sse2>(p);
}
#endif

#if defined(CODELOOK_HAVE_AVX2)
CODELOOK_AVX2 std::size_t findHitAvx2(const unsigned char *data, std::size_t from, std::size_t size,
                                      const Needle &needle)
{
    return findHitVector<Avx2>(data, from, size, needle);
}

CODELOOK_AVX2 std::uint64_t delimitersAvx2(const char *p)
{
    return delimitersVector<Avx2>(p);
}
#endif

} // namespace

Needle::Needle(std::string needleBytes, bool fold)
    : bytes(std::move(needleBytes))
    , foldCase(fold)
{
    for (const char c : bytes) {
        const ByteTest t = testFor(c, foldCase);
        caseBits += char(t.setBits);
        folded += char(t.value);
    }
    if (bytes.empty())
        return;
    // The rarest byte, then the rarest at another place; the first and the
    // last win ties, as they are the likeliest to differ from a near miss.
    auto rank = [&](std::size_t i) { return rankOf(static_cast<unsigned char>(bytes[i]), foldCase); };
    const std::size_t last = bytes.size() - 1;
    rare1 = 0;
    for (std::size_t i = 1; i <= last; ++i) {
        if (rank(i) < rank(rare1))
            rare1 = i;
    }
    rare2 = rare1 == last ? 0 : last;
    for (std::size_t i = 0; i <= last; ++i) {
        if (i != rare1 && rank(i) < rank(rare2))
            rare2 = i;
    }
}

const Kernels portableKernels = {Path::Portable, delimitersPortable, findHitChecked<findHitPortable>};
#if defined(CODELOOK_HAVE_SSE2)
const Kernels sse2Kernels = {Path::Sse2, delimitersSse2, findHitChecked<findHitSse2>};
#endif
#if defined(CODELOOK_HAVE_AVX2)
const Kernels avx2Kernels = {Path::Avx2, delimitersAvx2, findHitChecked<findHitAvx2>};
#endif

} // namespace codelook::bytescan
