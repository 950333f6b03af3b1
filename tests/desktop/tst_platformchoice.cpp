// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "platformchoice.h"

#include <QTest>

#include <vector>

class tst_PlatformChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choice_data();
    void choice();
};

void tst_PlatformChoice::choice_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<QByteArray>("qpaPlatform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("waylandDisplay");
    QTest::addColumn<QByteArray>("chosen");

    const QByteArrayList none;
    const QByteArray xcbFirst = "xcb;wayland";
    QTest::newRow("X11 session") << none << QByteArray() << QByteArray(":0") << QByteArray() << xcbFirst;
    QTest::newRow("Wayland session with XWayland")
        << none << QByteArray() << QByteArray(":1") << QByteArray("wayland-0") << xcbFirst;
    QTest::newRow("Wayland alone") << none << QByteArray() << QByteArray() << QByteArray("wayland-0")
                                   << QByteArray("wayland");
    QTest::newRow("no display at all") << none << QByteArray() << QByteArray() << QByteArray() << QByteArray();
    QTest::newRow("QT_QPA_PLATFORM=wayland")
        << none << QByteArray("wayland") << QByteArray(":1") << QByteArray("wayland-0") << QByteArray();
    QTest::newRow("QT_QPA_PLATFORM=offscreen")
        << none << QByteArray("offscreen") << QByteArray(":0") << QByteArray() << QByteArray();
    QTest::newRow("empty QT_QPA_PLATFORM is no choice")
        << none << QByteArray("") << QByteArray(":1") << QByteArray("wayland-0") << xcbFirst;
    QTest::newRow("-platform wayland") << QByteArrayList{"-platform", "wayland"} << QByteArray() << QByteArray(":1")
                                       << QByteArray("wayland-0") << QByteArray();
    QTest::newRow("--platform wayland") << QByteArrayList{"--platform", "wayland"} << QByteArray() << QByteArray(":1")
                                        << QByteArray("wayland-0") << QByteArray();
    // Qt itself ignores these, so they choose nothing.
    QTest::newRow("-platform without a name")
        << QByteArrayList{"-platform"} << QByteArray() << QByteArray(":1") << QByteArray("wayland-0") << xcbFirst;
    QTest::newRow("-platformpluginpath") << QByteArrayList{"-platformpluginpath", "/tmp"} << QByteArray()
                                         << QByteArray(":1") << QByteArray("wayland-0") << xcbFirst;
    QTest::newRow("platform as a plain argument") << QByteArrayList{"platform", "wayland"} << QByteArray()
                                                  << QByteArray(":1") << QByteArray("wayland-0") << xcbFirst;
}

void tst_PlatformChoice::choice()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(QByteArray, qpaPlatform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, waylandDisplay);
    QFETCH(QByteArray, chosen);

    arguments.prepend("codelook");
    std::vector<const char *> argv;
    for (const QByteArray &argument : arguments)
        argv.push_back(argument.constData());
    argv.push_back(nullptr);
    QCOMPARE(choosePlatform(int(arguments.size()), argv.data(), {qpaPlatform, display, waylandDisplay}), chosen);
}

QTEST_GUILESS_MAIN(tst_PlatformChoice)
#include "tst_platformchoice.moc"
