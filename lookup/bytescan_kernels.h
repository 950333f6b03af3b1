// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The versions of the byte loops this build has, for the table that chooses
// among them. Only bytescan.cpp, which defines them, needs the intrinsics.

#include "bytescan.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CODELOOK_HAVE_AVX2 1
#endif
#if defined(__SSE2__) || defined(_M_X64)
#define CODELOOK_HAVE_SSE2 1
#endif

namespace codelook::bytescan {

extern const Kernels portableKernels;
#if defined(CODELOOK_HAVE_SSE2)
extern const Kernels sse2Kernels;
#endif
#if defined(CODELOOK_HAVE_AVX2)
extern const Kernels avx2Kernels;
#endif

} // namespace codelook::bytescan
