// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "platformchoice.h"

#include <QtGlobal>

#include <cstring>

namespace {

// As Qt reads its command line: "-platform NAME", or "--platform NAME".
bool platformArgument(int argc, const char *const *argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const char *arg = argv[i];
        if (!arg || arg[0] != '-')
            continue;
        if (arg[1] == '-')
            ++arg;
        if (std::strcmp(arg, "-platform") == 0)
            return true;
    }
    return false;
}

} // namespace

QByteArray choosePlatform(int argc, const char *const *argv, const PlatformEnvironment &environment)
{
    // An empty QT_QPA_PLATFORM is no choice: Qt ignores it too.
    if (!environment.qpaPlatform.isEmpty() || platformArgument(argc, argv))
        return {};
    // Wayland next, for an X server that is named but cannot be reached.
    if (!environment.display.isEmpty())
        return QByteArrayLiteral("xcb;wayland");
    if (!environment.waylandDisplay.isEmpty())
        return QByteArrayLiteral("wayland");
    return {};
}

void applyPlatformChoice(int argc, const char *const *argv)
{
    const PlatformEnvironment environment{qgetenv("QT_QPA_PLATFORM"), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
    const QByteArray platform = choosePlatform(argc, argv, environment);
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}
