// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "application.h"
#include "frmmain.h"

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    frmMain window;
    if (!window.Form_Load())
        return 1;
    window.show();
    return app.exec();
}
