// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"
#include "platformchoice.h"
#include "qtruntime.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    applyPlatformChoice(argc, argv);
    QApplication app(argc, argv);
    QtRuntime runtime(frmMain::layout());
    frmMain window(runtime);
    if (!runtime.start(window))
        return runtime.exitCode();
    return runtime.exec();
}
