// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The lowest id: Explorer shows the first icon as the program file's.
#define IDI_CODELOOK 1
