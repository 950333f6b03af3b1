// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// For the sanitizer build only. LeakSanitizer checks at exit, and what a
// library unloaded before then left allocated has no module name left, so
// no suppression can match it: Mesa's EGL driver, which Qt's Wayland
// platform loads through libglvnd, is unloaded that way. This dlclose,
// which the program exports in place of the C library's, keeps every module
// loaded until the process ends.
extern "C" int dlclose(void *)
{
    return 0;
}
