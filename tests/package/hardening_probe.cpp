// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// Built with the package's flags, for hardening-check: this read has a
// buffer whose size the compiler knows and a length it does not, so a
// fortified build checks it (__read_chk). The program's own reads and
// copies have no such buffer, so hardening-check finds nothing checked in
// it whatever the flags.

#include <cstddef>
#include <unistd.h>

int main(int argc, char **)
{
    char buffer[64];
    return int(::read(0, buffer, std::size_t(argc) * 16));
}
