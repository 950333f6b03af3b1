// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

// The reader's byte loops, each in up to three versions: AVX2 where the CPU
// has it (chosen at run time), SSE2 (every x86-64 CPU) and a plain loop for
// any other CPU. All give the same answers; only their speed differs.
//
// findHit is a "packed pair" substring search: at every place of a vector it
// compares two bytes of the key at their offsets, the two rarest in airport
// names by a byte-frequency table, and compares the whole key only where
// both match. The SSE2 and AVX2 versions are one loop over a vector type.
namespace codelook::bytescan {

enum class Path { Portable, Sse2, Avx2 };

std::string_view name(Path path);

// The path of that name ("portable", "sse2", "avx2"); false for any other.
bool fromName(std::string_view name, Path &path);

// The fastest path this build and CPU can run.
Path best();

// Whether this build has the path and this CPU can run it.
bool supported(Path path);

// The path new readers use: best() unless forced.
Path active();

// Makes new readers use `path`, so tests and the fuzzer can check each one;
// false, and nothing changes, when this build or CPU cannot run it.
bool force(Path path);

// Forces the path named by CODELOOK_SCAN_PATH (portable, sse2 or avx2), for
// benchmarks and the fuzzer; nothing when it is unset or empty. Returns why
// it could not, or an empty string.
std::string forceFromEnvironment();

// Bit i set when byte i of the 64 at p is a comma, CR or LF. Inline, since
// the reader calls it for every 64 bytes it walks; the AVX2 path uses the
// SSE2 loop here, as records are short and the call would cost more.
inline std::uint64_t delimiters(const char *p, Path path)
{
#if defined(__SSE2__) || defined(_M_X64)
    if (path != Path::Portable) {
        const __m128i comma = _mm_set1_epi8(',');
        const __m128i cr = _mm_set1_epi8('\r');
        const __m128i lf = _mm_set1_epi8('\n');
        std::uint64_t mask = 0;
        for (int i = 0; i < 4; ++i) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + 16 * i));
            const __m128i hit
                = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, comma), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, lf));
            mask |= std::uint64_t(unsigned(_mm_movemask_epi8(hit))) << (16 * i);
        }
        return mask;
    }
#endif
    (void)path;
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= std::uint64_t(p[i] == ',' || p[i] == '\r' || p[i] == '\n') << i;
    return mask;
}

// What a search looks for before it finds record boundaries: a record can
// match only if it holds `bytes` (compared with a-z as A-Z when foldCase),
// unless it holds a double quote (an item in quotes drops its line ends, so
// its bytes are not contiguous in the file) or, when foldCase, a character
// whose upper case is ASCII although it is not (ß, ı, ſ and the Latin
// ligatures; in Windows-1252 only ß).
struct Needle
{
    Needle() = default;
    Needle(std::string needleBytes, bool fold);

    std::string bytes; // ASCII; a-z and A-Z alike when foldCase
    bool foldCase = false;
    // The two bytes compared first, the rarest in airport names, so that a
    // common pair such as "I" and "T" of "INTERNATIONAL AIRPORT" does not
    // stop the vector loop at every word.
    std::size_t rare1 = 0;
    std::size_t rare2 = 0;
    // Each byte compared as (byte | caseBits[i]) == folded[i].
    std::string caseBits;
    std::string folded;
};

// The first position in [from, size) of a double quote, of a fold hazard
// when the needle folds case, or where the needle starts and fits before
// size; size when there is none. data must be readable up to size + 64.
std::size_t findHit(const char *data, std::size_t from, std::size_t size, const Needle &needle, Path path);

} // namespace codelook::bytescan
