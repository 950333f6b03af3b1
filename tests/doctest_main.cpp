// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include <doctest/doctest.h>

int main(int argc, char **argv)
{
    return doctest::Context(argc, argv).run();
}
