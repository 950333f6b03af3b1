// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"
#include "qtruntime.h"

#include <QFontInfo>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <memory>

namespace {

const QColor yellow(255, 255, 0);
const QColor white(255, 255, 255);

const QByteArray sampleList = "EGLL London Heathrow Airport\r\n"
                              "LIRF Roma Fiumicino\r\n"
                              "LIML Milano Linate\r\n"
                              "\"KJFK John F. Kennedy, New York\"\r\n";

struct SeenBox
{
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool seen = false;
};

// Answers the next message box with OK and remembers what it said.
std::shared_ptr<SeenBox> answerNextMessageBox()
{
    auto seen = std::make_shared<SeenBox>();
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [seen, timer] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->seen = true;
        box->button(QMessageBox::Ok)->click();
        timer->deleteLater();
    });
    timer->start();
    return seen;
}

// keyClicks takes ASCII only; other characters come as key events with text.
void typeText(QWidget *widget, const QString &text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, char(c.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

} // namespace

class tst_QtRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void missingListEndsUnshown();
    void startUpState();
    void layout_data();
    void layout();
    void fonts_data();
    void fonts();
    void enterMode_data();
    void enterMode();
    void typing_data();
    void typing();
    void paste_data();
    void paste();
    void enterAndEscPressNothing();
    void searchByClick();
    void coloursPainted();
    void minimisedTitle();
    void closing();
    void unreadableListMessage();
    void exitEndsWithZero_data();
    void exitEndsWithZero();

private:
    void writeList(const QByteArray &content);
    bool startWindow();
    QWidget *window() const { return m_runtime->form(); }
    QLineEdit *box(const char *name) { return control<QLineEdit>(name); }
    template <typename T = QWidget>
    T *control(const char *name)
    {
        return window()->findChild<T *>(QLatin1StringView(name));
    }
    void chooseMode(int index);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<frmMain> m_window;
};

void tst_QtRuntime::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
    m_runtime = std::make_unique<QtRuntime>(frmMain::layout());
    m_window = std::make_unique<frmMain>(*m_runtime);
}

void tst_QtRuntime::cleanup()
{
    m_window.reset();
    m_runtime.reset();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void tst_QtRuntime::writeList(const QByteArray &content)
{
    QFile file(QStringLiteral("codelook.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

bool tst_QtRuntime::startWindow()
{
    if (!m_runtime->start(*m_window))
        return false;
    return QTest::qWaitForWindowExposed(window());
}

void tst_QtRuntime::chooseMode(int index)
{
    auto *option = control<QRadioButton>(index == 0 ? "Option1_0" : "Option1_1");
    QTest::mouseClick(option, Qt::LeftButton);
}

void tst_QtRuntime::missingListEndsUnshown()
{
    auto seen = answerNextMessageBox();
    QVERIFY(!m_runtime->start(*m_window));
    QVERIFY(seen->seen);
    QCOMPARE(seen->title, QStringLiteral("FILE NON FOUND"));
    QVERIFY(seen->text.startsWith(QStringLiteral("PAY ATTENTION!!! THE CODELOOK.TXT FILE")));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QCOMPARE(m_runtime->exitCode(), 1);
    QVERIFY(!window()->isVisible());
}

void tst_QtRuntime::startUpState()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    QCOMPARE(window()->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(window()->windowTitle(), QStringLiteral("GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"));
    QVERIFY(window()->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(window()->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window()->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(window()->minimumSize(), QSize(289, 153));
    QCOMPARE(window()->maximumSize(), QSize(289, 153));
    QVERIFY(!window()->windowIcon().isNull());

    QVERIFY(control("Frame3")->isVisible());
    QVERIFY(!control("Frame1")->isVisible());
    QVERIFY(!control("Frame2")->isVisible());
    QCOMPARE(control<QGroupBox>("Frame3")->title(), QStringLiteral("YOUR CHOICE"));
    // Being shown and activated must not choose a mode by itself.
    QApplication::setActiveWindow(window());
    QTest::qWait(20);
    for (const char *name : {"Option1_0", "Option1_1"}) {
        auto *option = control<QRadioButton>(name);
        QVERIFY2(!option->isChecked(), name);
        QVERIFY2(!option->hasFocus(), name);
    }
    QVERIFY(control("Frame3")->isVisible());
}

void tst_QtRuntime::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    // Twips of the table, in pixels at 96 dpi.
    QTest::newRow("Text1") << "Text1" << QRect(176, 16, 105, 27) << QString();
    QTest::newRow("Text2") << "Text2" << QRect(8, 72, 273, 27) << QString();
    QTest::newRow("Text3") << "Text3" << QRect(8, 40, 273, 27) << QString();
    QTest::newRow("Text4") << "Text4" << QRect(176, 80, 105, 27) << QString();
    QTest::newRow("Label1") << "Label1" << QRect(8, 24, 161, 17) << "INSERT  ICAO CODE";
    QTest::newRow("Label4") << "Label4" << QRect(8, 80, 169, 25) << "DISPLAY  ICAO CODE";
    QTest::newRow("Command1") << "Command1" << QRect(8, 112, 89, 33) << "SEARCH";
    QTest::newRow("Command5") << "Command5" << QRect(104, 112, 81, 33) << "DELETE";
    QTest::newRow("Command4") << "Command4" << QRect(192, 112, 89, 33) << "EXIT";
    QTest::newRow("Option1_1") << "Option1_1" << QRect(48, 80, 217, 41) << "NAMELOOK";
    QTest::newRow("Frame2") << "Frame2" << QRect(0, 0, 289, 153) << QString();
}

void tst_QtRuntime::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    writeList(sampleList);
    QVERIFY(startWindow());
    QWidget *widget = control(name.toLatin1().constData());
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
        QCOMPARE(button->accessibleName(), text);
    }
}

void tst_QtRuntime::fonts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<qreal>("points");
    const QStringList serif = {"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"};
    const QStringList sans = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"};
    QTest::newRow("Label1") << "Label1" << serif << 12.0;
    QTest::newRow("Label3") << "Label3" << serif << 14.25;
    QTest::newRow("Text1") << "Text1" << sans << 12.0;
    QTest::newRow("Text2") << "Text2" << sans << 9.75;
    QTest::newRow("Command6") << "Command6" << sans << 9.75;
    QTest::newRow("Frame3") << "Frame3" << sans << 18.0;
    QTest::newRow("Option1_0") << "Option1_0" << sans << 18.0;
}

// The Windows faces are seldom installed: a metric-compatible stand-in must
// be found, bold, at the table's size.
void tst_QtRuntime::fonts()
{
    QFETCH(QString, name);
    QFETCH(QStringList, families);
    QFETCH(qreal, points);
    QWidget *widget = control(name.toLatin1().constData());
    QVERIFY(widget);
    QCOMPARE(widget->font().pointSizeF(), points);
    QVERIFY(widget->font().bold());
    const QFontInfo info(widget->font());
    QVERIFY2(families.contains(info.family()), qPrintable(info.family()));
    QVERIFY(info.bold());
}

void tst_QtRuntime::enterMode_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("byKeyboard");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("focusBox");
    QTest::newRow("code by click") << 0 << false << "CODELOOK - BY VERNASCO"
                                   << "Text1";
    QTest::newRow("name by click") << 1 << false << "NAMELOOK - BY VERNASCO"
                                   << "Text3";
    QTest::newRow("code by Tab") << 0 << true << "CODELOOK - BY VERNASCO"
                                 << "Text1";
    QTest::newRow("name by Shift+Tab") << 1 << true << "NAMELOOK - BY VERNASCO"
                                       << "Text3";
}

void tst_QtRuntime::enterMode()
{
    QFETCH(int, index);
    QFETCH(bool, byKeyboard);
    QFETCH(QString, caption);
    QFETCH(QString, focusBox);
    writeList(sampleList);
    QVERIFY(startWindow());
    QApplication::setActiveWindow(window());

    if (byKeyboard)
        QTest::keyClick(window(), index == 0 ? Qt::Key_Tab : Qt::Key_Backtab);
    else
        chooseMode(index);

    QCOMPARE(window()->windowTitle(), caption);
    QVERIFY(!control("Frame3")->isVisible());
    QCOMPARE(control(index == 0 ? "Frame1" : "Frame2")->isVisible(), true);
    QCOMPARE(control(index == 0 ? "Frame2" : "Frame1")->isVisible(), false);
    QCOMPARE(QApplication::focusWidget(), control(focusBox.toLatin1().constData()));

    // Keyboard order across both panels, as a user tabbing through meets it.
    const QStringList order = index == 0 ? QStringList{"Text1", "Text2", "Command1", "Command2", "Command3"}
                                         : QStringList{"Command4", "Command5", "Command6", "Text3", "Text4"};
    for (int i = 0; i < 12; ++i) {
        const QString at = QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QString next = QApplication::focusWidget()->objectName();
        QVERIFY2(order.contains(next), qPrintable(next));
        QCOMPARE(order.indexOf(next), (order.indexOf(at) + 1) % order.size());
    }
    QVERIFY(!control("Frame3")->isVisible());
    QCOMPARE(window()->windowTitle(), caption);
}

void tst_QtRuntime::typing_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("code box upper-cases a-z") << 0 << "Text1"
                                              << "lab"
                                              << "LAB";
    QTest::newRow("code box stops at four") << 0 << "Text1"
                                            << "egllx"
                                            << "EGLL";
    QTest::newRow("name output keeps case") << 0 << "Text2"
                                            << "lab"
                                            << "lab";
    QTest::newRow("name box upper-cases a-z only") << 1 << "Text3"
                                                   << "roma é"
                                                   << "ROMA é";
    QTest::newRow("code output keeps case") << 1 << "Text4"
                                            << "abcde"
                                            << "abcd";
    QTest::newRow("name box stops at 250") << 1 << "Text3" << QString(260, u'x') << QString(250, u'X');
}

void tst_QtRuntime::typing()
{
    QFETCH(int, mode);
    QFETCH(QString, boxName);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(mode);
    QLineEdit *edit = box(boxName.toLatin1().constData());
    typeText(edit, typed);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(edit->palette().color(QPalette::Base), yellow);
}

void tst_QtRuntime::paste_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    // A paste is no typed key: its letters keep their case, but the limit holds.
    QTest::newRow("code box") << 0 << "Text1"
                              << "egllxyz"
                              << "egll";
    QTest::newRow("name box") << 1 << "Text3" << QString(300, u'a') << QString(250, u'a');
}

void tst_QtRuntime::paste()
{
    QFETCH(int, mode);
    QFETCH(QString, boxName);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(mode);
    QLineEdit *edit = box(boxName.toLatin1().constData());
    QApplication::clipboard()->setText(pasted);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), shown);
}

void tst_QtRuntime::enterAndEscPressNothing()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("EGLL"));
    QTest::keyClick(box("Text1"), Qt::Key_Return);
    QTest::keyClick(box("Text1"), Qt::Key_Escape);
    QCOMPARE(box("Text2")->text(), QString());
    QCOMPARE(box("Text1")->text(), QStringLiteral("EGLL"));
    QVERIFY(window()->isVisible());
}

void tst_QtRuntime::searchByClick()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("egll"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(box("Text2")->text(), QStringLiteral("LONDON HEATHROW AIRPORT"));
    QCOMPARE(box("Text2")->cursorPosition(), 0); // a long name shows from its start
    QVERIFY(box("Text1")->isReadOnly());
    QVERIFY(box("Text2")->isReadOnly());

    // Locked: keys are refused, though the box still lights up.
    QTest::keyClicks(box("Text1"), QStringLiteral("x"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("EGLL"));

    // Space presses the focused button.
    control("Command2")->setFocus();
    QTest::keyClick(control("Command2"), Qt::Key_Space);
    QCOMPARE(box("Text1")->text(), QString());
    QVERIFY(!box("Text1")->isReadOnly());
    QCOMPARE(QApplication::focusWidget(), box("Text1"));
}

void tst_QtRuntime::coloursPainted()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    QCOMPARE(control("Frame3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QVERIFY(control("Option1_0")->palette().color(QPalette::WindowText) != QColor(0, 0, 255));
    chooseMode(0);
    QCOMPARE(control("Label2")->palette().color(QPalette::Window), QColor(128, 255, 255));
    QVERIFY(control<QLabel>("Label2")->autoFillBackground());
    auto base = [this](const char *name) { return box(name)->palette().color(QPalette::Base); };
    QVERIFY(base("Text1") != yellow);

    // Any key lights the input box, even one that types nothing.
    QTest::keyClick(box("Text1"), Qt::Key_Left);
    QCOMPARE(base("Text1"), yellow);
    QTest::keyClicks(box("Text1"), QStringLiteral("LIML"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(base("Text2"), yellow);

    // What a user sees: the read-only box is painted yellow too.
    const QImage shot = box("Text2")->grab().toImage();
    QCOMPARE(shot.pixelColor(shot.width() / 2, 3), yellow);

    QTest::mouseClick(control("Command2"), Qt::LeftButton);
    QCOMPARE(base("Text1"), white);
    QCOMPARE(base("Text2"), white);
}

void tst_QtRuntime::minimisedTitle()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("LIML"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);

    window()->setWindowState(Qt::WindowMinimized);
    QCOMPARE(window()->windowTitle(), QStringLiteral("MILANO LINATE"));
    window()->setWindowState(Qt::WindowNoState);
    QCOMPARE(window()->windowTitle(), QStringLiteral("GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"));
}

void tst_QtRuntime::closing()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    // Close box, Alt+F4 and the window menu all reach the program as this
    // one event from the window system: it is refused...
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(window()->windowHandle());
    QVERIFY(window()->isVisible());
    // ...a close by the program goes through, and so does one at the end of
    // the session.
    QVERIFY(window()->close());
    QVERIFY(!window()->isVisible());

    window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    m_runtime->sessionEnding();
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(window()->windowHandle());
    QVERIFY(!window()->isVisible());
}

void tst_QtRuntime::unreadableListMessage()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("EGLL"));
    QVERIFY(QFile::remove(QStringLiteral("codelook.txt")));

    auto seen = answerNextMessageBox();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QVERIFY(seen->seen);
    QCOMPARE(seen->title, QStringLiteral("FILE NOT READABLE"));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QVERIFY2(seen->text.contains(QDir::toNativeSeparators(QDir::current().absoluteFilePath("codelook.txt"))),
             qPrintable(seen->text));
    QVERIFY2(seen->text.contains(QStringLiteral("No such file or directory")), qPrintable(seen->text));
    QVERIFY(window()->isVisible());
}

void tst_QtRuntime::exitEndsWithZero_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("button");
    QTest::newRow("code panel") << 0 << "Command3";
    QTest::newRow("name panel") << 1 << "Command4";
}

void tst_QtRuntime::exitEndsWithZero()
{
    QFETCH(int, mode);
    QFETCH(QString, button);
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(mode);
    QWidget *exitButton = control(button.toLatin1().constData());
    QTimer::singleShot(0, exitButton, [exitButton] { QTest::mouseClick(exitButton, Qt::LeftButton); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(m_runtime->exec(), 0);
    QVERIFY(!window()->isVisible());
}

QTEST_MAIN(tst_QtRuntime)
#include "tst_qtruntime.moc"
