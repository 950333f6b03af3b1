// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>
