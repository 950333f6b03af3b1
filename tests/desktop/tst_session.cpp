// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The program's start-up, platform choice included, in whatever desktop
// session the test is started in (check_weston.sh starts it in several):
// the platform Qt ends on is the one CODELOOK_EXPECTED_PLATFORM names, and
// on it the window works from the keyboard. The keys go in through Qt's
// window-system interface, where a platform plugin delivers them: a headless
// compositor has no keyboard of its own.

#include "frmmain.h"
#include "listfolder.h"
#include "platformchoice.h"
#include "qtruntime.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <memory>

class tst_Session : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void platform();
    void keyboardSearch();

private:
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_runtime->form()->windowHandle(), key, modifiers);
    }
    QString text(const char *box) const
    {
        return m_runtime->form()->findChild<QLineEdit *>(QLatin1StringView(box))->text();
    }

    std::unique_ptr<testing::ListFolder> m_folder;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<frmMain> m_window;
};

void tst_Session::init()
{
    m_folder = std::make_unique<testing::ListFolder>("LIRF Roma Fiumicino\r\nEGLL London Heathrow Airport\r\n");
    m_runtime = std::make_unique<QtRuntime>(frmMain::layout());
    m_window = std::make_unique<frmMain>(*m_runtime);
}

void tst_Session::cleanup()
{
    m_window.reset();
    m_runtime.reset();
}

void tst_Session::platform()
{
    const QString expected = qEnvironmentVariable("CODELOOK_EXPECTED_PLATFORM");
    if (expected.isEmpty())
        QSKIP("CODELOOK_EXPECTED_PLATFORM is not set");
    QCOMPARE(QGuiApplication::platformName(), expected);
}

void tst_Session::keyboardSearch()
{
    QVERIFY(m_runtime->start(*m_window));
    QWidget *form = m_runtime->form();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    // Without a seat the compositor activates nothing; a click would.
    if (!form->isActiveWindow())
        QApplication::setActiveWindow(form);
    QVERIFY(form->isActiveWindow());

    key(Qt::Key_Backtab);
    QCOMPARE(form->windowTitle(), QStringLiteral("NAMELOOK - BY VERNASCO"));
    for (const char c : QByteArrayView("london heathrow"))
        QTest::keyClick(form->windowHandle(), c);
    QCOMPARE(text("Text3"), QStringLiteral("LONDON HEATHROW"));
    key(Qt::Key_Backtab); // SEARCH
    key(Qt::Key_Space);
    QCOMPARE(text("Text4"), QStringLiteral("EGLL"));

    key(Qt::Key_Backtab); // DELETE
    key(Qt::Key_Space);
    QCOMPARE(text("Text3"), QString());
    QCOMPARE(text("Text4"), QString());

    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab);
    key(Qt::Key_Backtab); // EXIT
    QTimer::singleShot(0, this, [this] { key(Qt::Key_Space); });
    QTimer::singleShot(5000, this, [] { QCoreApplication::exit(99); });
    QCOMPARE(m_runtime->exec(), 0);
    QVERIFY(!form->isVisible());
}

// The program's own start-up, so the platform choice is tested as it runs.
int main(int argc, char *argv[])
{
    applyPlatformChoice(argc, argv);
    QApplication app(argc, argv);
    tst_Session test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_session.moc"
