// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "application.h"

#include <QMessageBox>

#include <cstdlib>
#include <exception>

namespace {

[[noreturn]] void endWithFailure(const QString &what)
{
    QMessageBox::critical(nullptr, QStringLiteral("CODELOOK ERROR"),
                          QStringLiteral("THE PROGRAM MUST END: %1").arg(what));
    std::exit(EXIT_FAILURE);
}

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{ }

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        endWithFailure(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        endWithFailure(QStringLiteral("unknown failure"));
    }
}
