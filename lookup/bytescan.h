// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The reader's byte loops, each in up to three versions: AVX2 where the CPU
// has it (chosen once, at run time), SSE2 (every x86-64 CPU) and a plain loop
// for any other CPU. All give the same answers; only their speed differs.
// The versions and the choice are in bytescan_dispatch.cpp.
//
// findHit is a "packed pair" substring search: at every place of a vector it
// compares two bytes of the key at their offsets, the two rarest in airport
// names by a byte-frequency table, and compares the whole key only where
// both match. delimiters finds a window's record ends with three compares
// a vector. Each vector loop is written once over a small vector type.
namespace codelook::bytescan {

enum class Path { Portable, Sse2, Avx2 };

struct Kernels;

std::string_view name(Path path);

// The path of that name ("portable", "sse2", "avx2"); false for any other.
bool fromName(std::string_view name, Path &path);

// The fastest path this build and CPU can run.
Path best();

// Whether this build has the path and this CPU can run it.
bool supported(Path path);

// The loops new readers use: best() unless forced.
const Kernels &active();

// Makes new readers use `path`, so tests and the fuzzer can check each one;
// false, and nothing changes, when this build or CPU cannot run it.
bool force(Path path);

// Forces the path named by CODELOOK_SCAN_PATH (portable, sse2 or avx2), for
// benchmarks and the fuzzer; nothing when it is unset or empty. Returns why
// it could not, or an empty string.
std::string forceFromEnvironment();

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

// One version's byte loops, taken by a reader once, when it starts.
struct Kernels
{
    Path path;
    // Bit i set when byte i of the 64 at p is a comma, CR or LF.
    std::uint64_t (*delimiters)(const char *p);
    // The first position in [from, size) of a double quote, of a fold hazard
    // when the needle folds case, or where the needle starts and fits before
    // size; size when there is none. data must be readable up to size + 64.
    std::size_t (*findHit)(const char *data, std::size_t from, std::size_t size, const Needle &needle);
};

// The loops of `path`; the portable ones when this build or CPU cannot run it.
const Kernels &kernels(Path path);

} // namespace codelook::bytescan
