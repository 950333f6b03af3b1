// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QApplication>

// Ends the program with a message naming the failure when a handler throws,
// rather than letting the exception tear through the event loop.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
