// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// What only the Qt runtime does: the window's pixels, fonts and painted
// colours, captions that fit, names for screen readers, the message box's
// icon, the window system's closes and the event loop's exit status. The
// behaviour a user meets is in tests/scenarios, run here by qt_scenarios.

#include "../window/quietevents.h"
#include "formmodel.h"
#include "frmmain.h"
#include "listfolder.h"
#include "qtconvert.h"
#include "qtruntime.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#include <qpa/qwindowsysteminterface.h>

#include <QScopeGuard>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

const QColor yellow(255, 255, 0);
const QColor white(255, 255, 255);

bool anyPixel(const QImage &image, const QColor &colour)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) == colour)
                return true;
        }
    }
    return false;
}

// Events that only record the close questions, each answered with `refuse`.
class CloseRecorder final : public QuietEvents
{
public:
    bool QueryUnload(int unloadMode) override
    {
        modes.push_back(unloadMode);
        return refuse;
    }

    std::vector<int> modes;
    bool refuse = false;
};

// What assistive technology is told: each focus, and each object shown with
// its role and name.
struct Told
{
    QAccessible::Event type;
    QObject *object;
    QAccessible::Role role;
    QString name;
};
std::vector<Told> told;

void recordTold(QAccessibleEvent *event)
{
    if (event->type() != QAccessible::Focus && event->type() != QAccessible::ObjectShow)
        return;
    QAccessibleInterface *iface = event->accessibleInterface();
    told.push_back({event->type(), event->object(), iface ? iface->role() : QAccessible::NoRole,
                    iface ? iface->text(QAccessible::Name) : QString()});
}

} // namespace

class tst_QtRuntime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void window();
    void controls_data();
    void controls();
    void coloursPainted();
    void screenReader_data();
    void screenReader();
    void messageIcon_data();
    void messageIcon();
    void closeReasons_data();
    void closeReasons();
    void boxLimit_data();
    void boxLimit();
    void execExitStatus_data();
    void execExitStatus();

private:
    void writeList();
    bool startWindow();
    QWidget *form() const { return m_runtime->form(); }
    template <typename T = QWidget>
    T *control(const QString &name)
    {
        return form()->findChild<T *>(name);
    }
    void click(const char *name) { QTest::mouseClick(control(QLatin1StringView(name)), Qt::LeftButton); }

    std::unique_ptr<testing::ListFolder> m_folder;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<frmMain> m_window;
};

void tst_QtRuntime::init()
{
    m_folder = std::make_unique<testing::ListFolder>();
    m_runtime = std::make_unique<QtRuntime>(frmMain::layout());
    m_window = std::make_unique<frmMain>(*m_runtime);
}

void tst_QtRuntime::cleanup()
{
    m_window.reset();
    m_runtime.reset();
    m_folder.reset();
}

void tst_QtRuntime::writeList()
{
    QVERIFY(m_folder->writeList("EGLL London Heathrow Airport\r\nLIML Milano Linate\r\n"));
}

bool tst_QtRuntime::startWindow()
{
    writeList();
    if (!m_runtime->start(*m_window))
        return false;
    return QTest::qWaitForWindowExposed(form());
}

// A fixed size with no maximise button, and the program's icon.
void tst_QtRuntime::window()
{
    QVERIFY(startWindow());
    QCOMPARE(form()->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(form()->minimumSize(), QSize(289, 153));
    QCOMPARE(form()->maximumSize(), QSize(289, 153));
    QVERIFY(!(form()->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(form()->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!form()->windowIcon().isNull());
}

// Every control where the model puts it, in pixels at its design DPI, in the
// model's font (or a metric-compatible stand-in of its family), and named
// for screen readers as the model names it.
void tst_QtRuntime::controls_data()
{
    QTest::addColumn<int>("index");
    const forms::FormModel model(frmMain::layout());
    for (int i = 0; i < model.count(); ++i)
        QTest::newRow(model[i].name.data()) << i;
}

void tst_QtRuntime::controls()
{
    QFETCH(int, index);
    QVERIFY(startWindow());
    const forms::FormModel model(frmMain::layout());
    QWidget *widget = control(QLatin1StringView(model[index].name.data()));
    QVERIFY(widget);

    const forms::Rect r = model.pixelsInContainer(index, forms::designDpi);
    QCOMPARE(widget->geometry(), QRect(r.left, r.top, r.width, r.height));

    // The Windows faces are seldom installed: a metric-compatible stand-in
    // must be found, at the model's size and weight.
    const forms::Font &font = model.fontOf(index);
    QCOMPARE(widget->font().pointSizeF(), font.points);
    QCOMPARE(widget->font().bold(), font.bold);
    const QStringList serif = {"Times New Roman", "Liberation Serif", "Tinos", "DejaVu Serif"};
    const QStringList sans = {"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo", "DejaVu Sans"};
    const QFontInfo info(widget->font());
    QVERIFY2((font.family == forms::FontFamily::Serif ? serif : sans).contains(info.family()),
             qPrintable(info.family()));
    QCOMPARE(info.bold(), font.bold);

    // A box is heard by its label, which says so too; the mode buttons
    // inside their group.
    if (model[index].kind == forms::Kind::Label)
        return;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface);
    const QString heard = toQString(model.accessibleName(index));
    QCOMPARE(iface->text(QAccessible::Name), heard);
    switch (model[index].kind) {
    case forms::Kind::TextBox: {
        QCOMPARE(iface->role(), QAccessible::EditableText);
        const auto labels = iface->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.first().first->text(QAccessible::Name), heard);
        break;
    }
    case forms::Kind::OptionButton:
        QCOMPARE(iface->role(), QAccessible::RadioButton);
        QCOMPARE(iface->parent()->role(), QAccessible::Grouping);
        QCOMPARE(iface->parent()->object(), widget->parentWidget());
        break;
    case forms::Kind::CommandButton:
        QCOMPARE(iface->role(), QAccessible::Button);
        break;
    case forms::Kind::Frame:
        QCOMPARE(iface->role(), QAccessible::Grouping);
        break;
    case forms::Kind::Label:
        break;
    }
}

void tst_QtRuntime::coloursPainted()
{
    QVERIFY(startWindow());
    // The choice's caption is blue, the mode buttons' captions are not.
    QVERIFY(anyPixel(control("Frame3")->grab().toImage(), QColor(0, 0, 255)));
    QVERIFY(!anyPixel(control("Option1_0")->grab().toImage(), QColor(0, 0, 255)));

    click("Option1_0");
    QCOMPARE(control("Label2")->grab().toImage().pixelColor(1, 1), QColor(128, 255, 255));
    QTest::keyClicks(control("Text1"), QStringLiteral("LIML"));
    click("Command1");
    // A read-only box is painted yellow too, and a long name shows from its
    // start.
    auto *text2 = control<QLineEdit>("Text2");
    QVERIFY(text2->isReadOnly());
    const QImage found = text2->grab().toImage();
    QCOMPARE(found.pixelColor(found.width() / 2, 3), yellow);
    QCOMPARE(text2->cursorPosition(), 0);

    click("Command2");
    for (const char *box : {"Text1", "Text2"}) {
        const QImage cleared = control(QLatin1StringView(box))->grab().toImage();
        QCOMPARE(cleared.pixelColor(cleared.width() / 2, 3), white);
    }
}

void tst_QtRuntime::screenReader_data()
{
    QTest::addColumn<Qt::Key>("choose"); // 0: a click on the mode button
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("answer");
    QTest::newRow("code by Tab") << Qt::Key_Tab << "Text1"
                                 << "EGLL"
                                 << "Command1"
                                 << "LONDON HEATHROW AIRPORT";
    QTest::newRow("code by click, not found") << Qt::Key(0) << "Text1"
                                              << "ZZZZ"
                                              << "Command1"
                                              << "ICAO CODE NOT FOUND";
    QTest::newRow("name by Shift+Tab, not found") << Qt::Key_Backtab << "Text3"
                                                  << "PARIS"
                                                  << "Command6"
                                                  << "AIRPORT NAME NOT FOUND";
}

// The focus that assistive technology is told of ends where the keyboard
// focus is, also when the mode button hands it on; an answer away from the
// focus is told as a notification that draws nothing, the focus unmoved.
void tst_QtRuntime::screenReader()
{
    QFETCH(Qt::Key, choose);
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, search);
    QFETCH(QString, answer);
    QVERIFY(startWindow());
    // Qt tells of the focus in the active window only.
    form()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form()));
    QPlatformAccessibility *platform = QGuiApplicationPrivate::platformIntegration()->accessibility();
    QVERIFY(platform);
    platform->setActive(true);
    told.clear();
    const auto previous = QAccessible::installUpdateHandler(recordTold);
    const auto restore = qScopeGuard([platform, previous] {
        QAccessible::installUpdateHandler(previous);
        platform->setActive(false);
    });
    const auto focused = [this] { return form()->focusWidget(); };
    const auto lastFocus = [] {
        const auto at
            = std::find_if(told.rbegin(), told.rend(), [](const Told &t) { return t.type == QAccessible::Focus; });
        return at == told.rend() ? nullptr : at->object;
    };

    // From the keyboard, told in order at once; after a click, once Qt is done.
    if (choose) {
        QTest::keyClick(form(), choose, choose == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    } else {
        click(box == "Text1" ? "Option1_0" : "Option1_1");
        QCoreApplication::processEvents();
    }
    QCOMPARE(focused(), control(box));
    QCOMPARE(lastFocus(), control(box));
    // Typed at once: the keys reach the box.
    QTest::keyClicks(focused(), typed);
    QCOMPARE(control<QLineEdit>(box)->text(), typed);

    control(search)->setFocus();
    told.clear();
    QTest::keyClick(control(search), Qt::Key_Space);
    QCOMPARE(focused(), control(search));
    QVERIFY(told.size() == 1);
    QCOMPARE(told[0].type, QAccessible::ObjectShow);
    QCOMPARE(told[0].role, QAccessible::Notification);
    QCOMPARE(told[0].name, answer);

    auto *notification = qobject_cast<QWidget *>(told[0].object);
    QVERIFY(notification && notification->isVisible());
    QCOMPARE(notification->focusPolicy(), Qt::NoFocus);
    const QImage shown = form()->grab().toImage();
    notification->hide();
    QCOMPARE(form()->grab().toImage(), shown);
}

void tst_QtRuntime::messageIcon_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("critical") << forms::vbCritical << QMessageBox::Critical;
    QTest::newRow("question") << forms::vbQuestion << QMessageBox::Question;
    QTest::newRow("exclamation") << forms::vbExclamation << QMessageBox::Warning;
    QTest::newRow("information") << forms::vbInformation << QMessageBox::Information;
    QTest::newRow("none") << 0 << QMessageBox::NoIcon;
    QTest::newRow("exclamation with other bits") << (forms::vbExclamation | 0x101) << QMessageBox::Warning;
}

void tst_QtRuntime::messageIcon()
{
    QFETCH(int, style);
    QFETCH(QMessageBox::Icon, icon);
    QString title;
    QString text;
    QMessageBox::Icon seen = QMessageBox::NoIcon;
    QTimer::singleShot(0, form(), [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        title = box->windowTitle();
        text = box->text();
        seen = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(m_runtime->msgBox(u"PROMPT", style, u"TITLE"), forms::vbOK);
    QCOMPARE(seen, icon);
    QCOMPARE(title, QStringLiteral("TITLE"));
    QCOMPARE(text, QStringLiteral("PROMPT"));
}

void tst_QtRuntime::closeReasons_data()
{
    QTest::addColumn<bool>("sessionEnding");
    QTest::addColumn<bool>("fromWindowSystem");
    QTest::addColumn<int>("unloadMode");
    // Close box, Alt+F4 and the window menu all come as the window system's
    // one close event.
    QTest::newRow("the window system's close") << false << true << int(forms::vbFormControlMenu);
    QTest::newRow("the program's close") << false << false << int(forms::vbFormCode);
    QTest::newRow("the window system's close as the session ends") << true << true << int(forms::vbAppWindows);
}

void tst_QtRuntime::closeReasons()
{
    QFETCH(bool, sessionEnding);
    QFETCH(bool, fromWindowSystem);
    QFETCH(int, unloadMode);
    CloseRecorder events;
    QtRuntime runtime(frmMain::layout());
    QVERIFY(runtime.start(events));
    QVERIFY(QTest::qWaitForWindowExposed(runtime.form()));
    if (sessionEnding)
        runtime.sessionEnding();
    for (const bool refuse : {true, false}) {
        events.refuse = refuse;
        if (fromWindowSystem)
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                runtime.form()->windowHandle());
        else
            runtime.form()->close();
        QCOMPARE(runtime.form()->isVisible(), refuse);
    }
    QCOMPARE(events.modes, std::vector<int>(2, unloadMode));
}

// The code box's limit of four over a paste wherever it lands: what goes
// in is cut from its own end, never inside a surrogate pair, and a text the
// program wrote past the limit stays whole.
void tst_QtRuntime::boxLimit_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length"); // selected
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");
    const QString smile = QStringLiteral("\U0001F600");
    QTest::newRow("at the cursor") << "EGL" << 1 << 0 << "XY"
                                   << "EXGL";
    QTest::newRow("over a selection") << "EGLL" << 1 << 2 << "ABC"
                                      << "EABL";
    QTest::newRow("full") << "EGLL" << 4 << 0 << "X"
                          << "EGLL";
    QTest::newRow("a pair that fits, in the middle") << "EG" << 1 << 0 << smile + smile << "E" + smile + "G";
    QTest::newRow("written past the limit") << "ABCDEF" << 6 << 0 << "X"
                                            << "ABCDEF";
}

void tst_QtRuntime::boxLimit()
{
    QFETCH(QString, written);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);
    QVERIFY(startWindow());
    auto *box = control<QLineEdit>(QStringLiteral("Text1"));
    m_runtime->setText(frmMain::Text1, written.toStdU16String());
    QCOMPARE(box->text(), written);
    box->setSelection(start, length);
    QApplication::clipboard()->setText(pasted);
    box->paste();
    QCOMPARE(box->text(), shown);
    // Taking away still works on a text past the limit.
    box->end(false);
    box->backspace();
    QCOMPARE(box->text(), shown.chopped(shown.back().isLowSurrogate() ? 2 : 1));
}

void tst_QtRuntime::execExitStatus_data()
{
    QTest::addColumn<bool>("withList");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("exit");
    QTest::addColumn<int>("status");
    QTest::newRow("EXIT in the code panel") << true << "Option1_0"
                                            << "Command3" << 0;
    QTest::newRow("EXIT in the name panel") << true << "Option1_1"
                                            << "Command4" << 0;
    QTest::newRow("ended at start-up, no loop run") << false << QString() << QString() << 1;
}

void tst_QtRuntime::execExitStatus()
{
    QFETCH(bool, withList);
    QFETCH(QString, mode);
    QFETCH(QString, exit);
    QFETCH(int, status);
    if (withList) {
        QVERIFY(startWindow());
        QTest::mouseClick(control(mode), Qt::LeftButton);
        QWidget *button = control(exit);
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
    } else {
        QTimer::singleShot(0, qApp, [] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(!m_runtime->start(*m_window));
    }
    // A loop that does not end would say 99.
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(m_runtime->exec(), status);
    QVERIFY(!form()->isVisible());
}

QTEST_MAIN(tst_QtRuntime)
#include "tst_qtruntime.moc"
