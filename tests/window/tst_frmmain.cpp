// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"

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

class tst_frmMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void missingListStopsStartUp_data();
    void missingListStopsStartUp();
    void startUpState();
    void layout();
    void enterMode_data();
    void enterMode();
    void typing_data();
    void typing();
    void paste_data();
    void paste();
    void enterAndEscPressNothing();
    void codeSearchLocksAndDeleteReleases();
    void nameSearchNotFound();
    void highlight();
    void minimisedTitle_data();
    void minimisedTitle();
    void closing();
    void unreadableListKeepsWindow();
    void exitEndsWithZero_data();
    void exitEndsWithZero();

private:
    void writeList(const QByteArray &content);
    frmMain *startWindow();
    QLineEdit *box(const char *name) { return m_window->findChild<QLineEdit *>(QLatin1StringView(name)); }
    template <typename T = QWidget>
    T *control(const char *name)
    {
        return m_window->findChild<T *>(QLatin1StringView(name));
    }
    void chooseMode(int index);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_previousDir;
    std::unique_ptr<frmMain> m_window;
};

void tst_frmMain::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void tst_frmMain::cleanup()
{
    m_window.reset();
    QDir::setCurrent(m_previousDir);
    m_dir.reset();
}

void tst_frmMain::writeList(const QByteArray &content)
{
    QFile file(QStringLiteral("codelook.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

frmMain *tst_frmMain::startWindow()
{
    m_window = std::make_unique<frmMain>();
    if (!m_window->Form_Load())
        return nullptr;
    m_window->show();
    if (!QTest::qWaitForWindowExposed(m_window.get()))
        return nullptr;
    return m_window.get();
}

void tst_frmMain::chooseMode(int index)
{
    auto *option = control<QRadioButton>(index == 0 ? "Option1_0" : "Option1_1");
    QTest::mouseClick(option, Qt::LeftButton);
}

void tst_frmMain::missingListStopsStartUp_data()
{
    QTest::addColumn<bool>("directoryInstead");
    QTest::newRow("no file") << false;
    QTest::newRow("a directory of that name") << true;
}

void tst_frmMain::missingListStopsStartUp()
{
    QFETCH(bool, directoryInstead);
    if (directoryInstead)
        QVERIFY(QDir().mkdir(QStringLiteral("codelook.txt")));

    auto seen = answerNextMessageBox();
    frmMain window;
    QVERIFY(!window.Form_Load());
    QVERIFY(seen->seen);
    QCOMPARE(seen->title, QStringLiteral("FILE NON FOUND"));
    QCOMPARE(seen->text,
             QStringLiteral("PAY ATTENTION!!! THE CODELOOK.TXT FILE ISN'T IN THE SAME FOLDER OF THE MAIN PROGRAM - "
                            "THE SOFTWARE DON'T WORK - PUT THE CODELOOK.TXT FILE IN THE SAME FOLDER"));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QVERIFY(!window.isVisible());
}

void tst_frmMain::startUpState()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("GET ICAO/AIRPORT NAME - BY MELVO VERNASCO"));
    QVERIFY(m_window->windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(m_window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(m_window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(m_window->minimumSize(), QSize(289, 153));
    QCOMPARE(m_window->maximumSize(), QSize(289, 153));

    QVERIFY(control("Frame3")->isVisible());
    QVERIFY(!control("Frame1")->isVisible());
    QVERIFY(!control("Frame2")->isVisible());
    QCOMPARE(control<QGroupBox>("Frame3")->title(), QStringLiteral("YOUR CHOICE"));
    QCOMPARE(control("Frame3")->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    // Being shown and activated must not choose a mode by itself.
    QApplication::setActiveWindow(m_window.get());
    QTest::qWait(20);
    for (const char *name : {"Option1_0", "Option1_1"}) {
        auto *option = control<QRadioButton>(name);
        QVERIFY2(!option->isChecked(), name);
        QVERIFY2(!option->hasFocus(), name);
    }
    QVERIFY(control("Frame3")->isVisible());
}

void tst_frmMain::layout()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    const struct
    {
        const char *name;
        QRect geometry;
        QString text;
    } expected[] = {
        {"Text1", {176, 16, 105, 27}, {}},
        {"Text2", {8, 72, 273, 27}, {}},
        {"Text3", {8, 40, 273, 27}, {}},
        {"Text4", {176, 80, 105, 27}, {}},
        {"Label1", {8, 24, 161, 17}, QStringLiteral("INSERT  ICAO CODE")},
        {"Label4", {8, 80, 169, 25}, QStringLiteral("DISPLAY  ICAO CODE")},
        {"Command1", {8, 112, 89, 33}, QStringLiteral("SEARCH")},
        {"Command5", {104, 112, 81, 33}, QStringLiteral("DELETE")},
        {"Command4", {192, 112, 89, 33}, QStringLiteral("EXIT")},
        {"Option1_1", {48, 80, 217, 41}, QStringLiteral("NAMELOOK")},
    };
    for (const auto &e : expected) {
        QWidget *widget = control(e.name);
        QVERIFY2(widget, e.name);
        QCOMPARE(widget->geometry(), e.geometry);
        if (auto *label = qobject_cast<QLabel *>(widget))
            QCOMPARE(label->text(), e.text);
        if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            QCOMPARE(button->text(), e.text);
            QCOMPARE(button->accessibleName(), e.text);
        }
        QVERIFY(widget->font().bold());
    }
    QCOMPARE(box("Text1")->maxLength(), 4);
    QCOMPARE(box("Text4")->maxLength(), 4);
    QCOMPARE(box("Text2")->maxLength(), 250);
    QCOMPARE(box("Text3")->maxLength(), 250);
    QCOMPARE(box("Text3")->accessibleName(), QStringLiteral("INSERT AIRPORT NAME"));
    QCOMPARE(control("Label2")->palette().color(QPalette::Window), QColor(128, 255, 255));

    // Keyboard order across both panels, as a user tabbing through meets it.
    const QStringList order = {"Text1",    "Text2",    "Command1", "Command2", "Command3",  "Command4",
                               "Command5", "Command6", "Text3",    "Text4",    "Option1_0", "Option1_1"};
    QWidget *widget = control(order.first().toLatin1().constData());
    for (const QString &name : order) {
        QCOMPARE(widget->objectName(), name);
        do
            widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || !order.contains(widget->objectName()));
    }
}

void tst_frmMain::enterMode_data()
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

void tst_frmMain::enterMode()
{
    QFETCH(int, index);
    QFETCH(bool, byKeyboard);
    QFETCH(QString, caption);
    QFETCH(QString, focusBox);
    writeList(sampleList);
    QVERIFY(startWindow());
    QApplication::setActiveWindow(m_window.get());

    if (byKeyboard)
        QTest::keyClick(m_window.get(), index == 0 ? Qt::Key_Tab : Qt::Key_Backtab);
    else
        chooseMode(index);

    QCOMPARE(m_window->windowTitle(), caption);
    QVERIFY(!control("Frame3")->isVisible());
    QCOMPARE(control(index == 0 ? "Frame1" : "Frame2")->isVisible(), true);
    QCOMPARE(control(index == 0 ? "Frame2" : "Frame1")->isVisible(), false);
    QCOMPARE(QApplication::focusWidget(), control(focusBox.toLatin1().constData()));

    // Tabbing around never brings the choice back.
    for (int i = 0; i < 12; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!control("Frame3")->isVisible());
    QCOMPARE(m_window->windowTitle(), caption);
}

void tst_frmMain::typing_data()
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
    QTest::newRow("code box keeps digits and signs") << 0 << "Text1"
                                                     << "k1-z"
                                                     << "K1-Z";
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

void tst_frmMain::typing()
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
}

void tst_frmMain::paste_data()
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

void tst_frmMain::paste()
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

void tst_frmMain::enterAndEscPressNothing()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("EGLL"));
    QTest::keyClick(box("Text1"), Qt::Key_Return);
    QTest::keyClick(box("Text1"), Qt::Key_Escape);
    QCOMPARE(box("Text2")->text(), QString());
    QCOMPARE(box("Text1")->text(), QStringLiteral("EGLL"));
    QVERIFY(m_window->isVisible());
}

void tst_frmMain::codeSearchLocksAndDeleteReleases()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("egll"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(box("Text2")->text(), QStringLiteral("LONDON HEATHROW AIRPORT"));
    QVERIFY(box("Text1")->isReadOnly());
    QVERIFY(box("Text2")->isReadOnly());

    // Locked: keys are refused, though the box still lights up.
    QTest::keyClicks(box("Text1"), QStringLiteral("x"));
    QCOMPARE(box("Text1")->text(), QStringLiteral("EGLL"));

    QTest::mouseClick(control("Command2"), Qt::LeftButton);
    QCOMPARE(box("Text1")->text(), QString());
    QCOMPARE(box("Text2")->text(), QString());
    QVERIFY(!box("Text1")->isReadOnly());
    QVERIFY(!box("Text2")->isReadOnly());
    QCOMPARE(QApplication::focusWidget(), box("Text1"));

    // A new code can be typed and found after DELETE.
    QTest::keyClicks(box("Text1"), QStringLiteral("lirf"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(box("Text2")->text(), QStringLiteral("ROMA FIUMICINO"));
    QCOMPARE(box("Text2")->cursorPosition(), 0); // a long name shows from its start

    // Not found leaves the code box editable and says so in the output.
    QTest::mouseClick(control("Command2"), Qt::LeftButton);
    QTest::keyClicks(box("Text1"), QStringLiteral("zzzz"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(box("Text2")->text(), QStringLiteral("ICAO CODE NOT FOUND"));
    QVERIFY(!box("Text1")->isReadOnly());
}

void tst_frmMain::nameSearchNotFound()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(1);
    QTest::keyClicks(box("Text3"), QStringLiteral("john f"));
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    QCOMPARE(box("Text4")->text(), QStringLiteral("KJFK"));
    QTest::mouseClick(control("Command5"), Qt::LeftButton);

    QTest::keyClicks(box("Text3"), QStringLiteral("paris"));
    QTest::mouseClick(control("Command6"), Qt::LeftButton);
    QCOMPARE(box("Text3")->text(), QStringLiteral("AIRPORT NAME NOT FOUND"));
    QCOMPARE(box("Text4")->text(), QString());
    QVERIFY(!box("Text3")->isReadOnly());
}

void tst_frmMain::highlight()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    auto base = [this](const char *name) { return box(name)->palette().color(QPalette::Base); };
    QVERIFY(base("Text1") != yellow);

    // Any key lights the input box, even one that types nothing.
    QTest::keyClick(box("Text1"), Qt::Key_Left);
    QCOMPARE(base("Text1"), yellow);
    QVERIFY(base("Text2") != yellow);

    QTest::keyClicks(box("Text1"), QStringLiteral("LIML"));
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(base("Text2"), yellow); // the search's write is a change

    QTest::mouseClick(control("Command2"), Qt::LeftButton);
    QCOMPARE(base("Text1"), white);
    QCOMPARE(base("Text2"), white);

    // A change by typing into the output box lights it too.
    QTest::keyClicks(box("Text2"), QStringLiteral("a"));
    QCOMPARE(base("Text2"), yellow);
}

void tst_frmMain::minimisedTitle_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("minimisedTitle");
    QTest::newRow("code found") << 0 << "LIML"
                                << "MILANO LINATE";
    QTest::newRow("code not found") << 0 << "ZZZZ"
                                    << "ICAO CODE NOT FOUND";
    QTest::newRow("name mode") << 1 << "ROMA"
                               << "";
}

void tst_frmMain::minimisedTitle()
{
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(QString, minimisedTitle);
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(mode);
    QTest::keyClicks(box(mode == 0 ? "Text1" : "Text3"), typed);
    QTest::mouseClick(control(mode == 0 ? "Command1" : "Command6"), Qt::LeftButton);

    m_window->setWindowState(Qt::WindowMinimized);
    QCOMPARE(m_window->windowTitle(), minimisedTitle);
    m_window->setWindowState(Qt::WindowNoState);
    QCOMPARE(m_window->windowTitle(), frmMain::startupCaption());
}

void tst_frmMain::closing()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    // Close box, Alt+F4 and the window menu all reach the program as this
    // one event from the window system: it is refused...
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(m_window->windowHandle());
    QVERIFY(m_window->isVisible());
    // ...a close by the program goes through, and so does one at the end of
    // the session.
    QVERIFY(m_window->close());
    QVERIFY(!m_window->isVisible());

    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(QMetaObject::invokeMethod(m_window.get(), "sessionEnding")); // what commitDataRequest calls
    QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(m_window->windowHandle());
    QVERIFY(!m_window->isVisible());
}

void tst_frmMain::unreadableListKeepsWindow()
{
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(0);
    QTest::keyClicks(box("Text1"), QStringLiteral("EGLL"));
    QVERIFY(QFile::remove(QStringLiteral("codelook.txt")));

    auto seen = answerNextMessageBox();
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QVERIFY(seen->seen);
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QVERIFY2(seen->text.contains(QDir::toNativeSeparators(QDir::current().absoluteFilePath("codelook.txt"))),
             qPrintable(seen->text));
    QVERIFY2(seen->text.contains(QStringLiteral("No such file or directory")), qPrintable(seen->text));
    QVERIFY(m_window->isVisible());
    QCOMPARE(box("Text1")->text(), QStringLiteral("EGLL"));
    QCOMPARE(box("Text2")->text(), QString());
    QVERIFY(!box("Text1")->isReadOnly());

    // The next search tries again and finds the list back.
    writeList(sampleList);
    QTest::mouseClick(control("Command1"), Qt::LeftButton);
    QCOMPARE(box("Text2")->text(), QStringLiteral("LONDON HEATHROW AIRPORT"));
}

void tst_frmMain::exitEndsWithZero_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("button");
    QTest::newRow("code panel") << 0 << "Command3";
    QTest::newRow("name panel") << 1 << "Command4";
}

void tst_frmMain::exitEndsWithZero()
{
    QFETCH(int, mode);
    QFETCH(QString, button);
    writeList(sampleList);
    QVERIFY(startWindow());
    chooseMode(mode);
    QWidget *exitButton = control(button.toLatin1().constData());
    QTimer::singleShot(0, exitButton, [exitButton] { QTest::mouseClick(exitButton, Qt::LeftButton); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
}

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
