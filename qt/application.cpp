// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "application.h"

#include "formmodel.h"
#include "qtruntime.h"

#include <cstdlib>
#include <exception>

namespace {

[[noreturn]] void endWithFailure(const QString &what)
{
    QtRuntime::showMessage(forms::failurePrompt(what.toStdU16String()), forms::failureStyle, forms::failureTitle,
                           nullptr);
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
        endWithFailure(QString());
    }
}
