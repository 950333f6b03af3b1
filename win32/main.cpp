// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"
#include "win32runtime.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand)
{
    Win32Runtime runtime(frmMain::layout());
    frmMain window(runtime);
    if (!runtime.start(window, showCommand))
        return runtime.exitCode();
    return runtime.run();
}
