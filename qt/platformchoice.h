// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// Which Qt platform plugin the program runs on. Placing the window, keeping
// it above others and learning that it was minimised all need X11: Wayland
// lets a client do none of them. So where an X server is offered (as
// XWayland is on the usual Wayland desktops) the program asks for Qt's xcb
// platform, unless the user chose a platform.

#include <QByteArray>

struct PlatformEnvironment
{
    QByteArray qpaPlatform; // QT_QPA_PLATFORM
    QByteArray display; // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
};

// The platform list, as QT_QPA_PLATFORM takes it, that a program started
// with these arguments in this environment should ask Qt for; empty to leave
// Qt's own choice (the user's, or no display to prefer).
QByteArray choosePlatform(int argc, const char *const *argv, const PlatformEnvironment &environment);

// Reads the environment and, when choosePlatform() has a choice, hands it to
// Qt. Call before the application object is made.
void applyPlatformChoice(int argc, const char *const *argv);
