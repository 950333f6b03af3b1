// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// Which version of the byte loops runs: a table of the versions this build
// has, with what each needs of the CPU; the CPU is asked once, and the
// choice is kept until a test or CODELOOK_SCAN_PATH forces another.

#include "bytescan.h"
#include "bytescan_kernels.h"

#include <cstdlib>

namespace codelook::bytescan {

namespace {

// What a version needs of the CPU beyond what the whole build assumes.
enum CpuFeature : unsigned { needsNothing = 0, needsAvx2 = 1 };

struct Version
{
    unsigned needs;
    const Kernels *kernels;
};

// The versions this build has, fastest first.
constexpr Version versions[] = {
#if defined(CODELOOK_HAVE_AVX2)
    {needsAvx2, &avx2Kernels},
#endif
#if defined(CODELOOK_HAVE_SSE2)
    {needsNothing, &sse2Kernels},
#endif
    {needsNothing, &portableKernels},
};

unsigned cpuFeatures()
{
    static const unsigned features = [] {
        unsigned found = needsNothing;
#if defined(CODELOOK_HAVE_AVX2)
        __builtin_cpu_init(); // may run before libgcc's own constructor has
        if (__builtin_cpu_supports("avx2"))
            found |= needsAvx2;
#endif
        return found;
    }();
    return features;
}

// The version of `path` when this build has it and the CPU runs it.
const Kernels *runnable(Path path)
{
    for (const Version &version : versions) {
        if (version.kernels->path == path)
            return (version.needs & ~cpuFeatures()) == 0 ? version.kernels : nullptr;
    }
    return nullptr;
}

const Kernels *&current()
{
    static const Kernels *chosen = &kernels(best());
    return chosen;
}

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
    for (const Version &version : versions) {
        if (runnable(version.kernels->path))
            return version.kernels->path;
    }
    return Path::Portable;
}

bool supported(Path path)
{
    return runnable(path) != nullptr;
}

const Kernels &kernels(Path path)
{
    const Kernels *version = runnable(path);
    return version ? *version : portableKernels;
}

const Kernels &active()
{
    return *current();
}

bool force(Path path)
{
    const Kernels *version = runnable(path);
    if (!version)
        return false;
    current() = version;
    return true;
}

std::string forceFromEnvironment()
{
    const char *wanted = std::getenv("CODELOOK_SCAN_PATH");
    if (!wanted || !*wanted)
        return {};
    Path path;
    if (!fromName(wanted, path))
        return "CODELOOK_SCAN_PATH must be portable, sse2 or avx2, not \"" + std::string(wanted) + "\"";
    if (!force(path))
        return "CODELOOK_SCAN_PATH: this build or CPU cannot run the " + std::string(wanted) + " byte loops";
    return {};
}

} // namespace codelook::bytescan
