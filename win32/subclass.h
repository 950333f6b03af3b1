// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// Window subclassing through the window's own procedure slot
// (SetWindowLongPtrW with GWLP_WNDPROC, CallWindowProcW), in the shape of
// comctl32's SetWindowSubclass. comctl32 is not a KnownDLL: importing it
// would let a comctl32.dll planted beside the program run inside it.
// One subclass per window, which is all the runtime needs.

#include <windows.h>

using SubclassProc = LRESULT(CALLBACK *)(HWND, UINT, WPARAM, LPARAM, UINT_PTR id, DWORD_PTR refData);

bool subclassWindow(HWND hwnd, SubclassProc proc, UINT_PTR id, DWORD_PTR refData);
// Puts the window's procedure back; call it at WM_NCDESTROY at the latest.
void removeWindowSubclass(HWND hwnd);
// The procedure the window had before it was subclassed.
LRESULT callSubclassedProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
