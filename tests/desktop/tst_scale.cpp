// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window on a real X server at a display scale (QT_SCALE_FACTOR, set by
// the test's command, 1 when unset): the client area the server holds, and
// every caption inside the room its widget gives it, on one line, measured
// in the font it is drawn in at that scale.

#include "frmmain.h"
#include "listfolder.h"
#include "qtruntime.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QWindow>

#include <memory>

namespace {

const double scale = qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();

// The caption's text and the rectangle its widget draws it in.
struct Caption
{
    QString text;
    QRect room;
};

Caption captionOf(QWidget *widget)
{
    QStyle *style = widget->style();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return {label->text(), label->contentsRect()};
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return {button->text(), style->subElementRect(QStyle::SE_PushButtonContents, &option, button)};
    }
    if (auto *option = qobject_cast<QRadioButton *>(widget)) {
        QStyleOptionButton styleOption;
        styleOption.initFrom(option);
        styleOption.text = option->text();
        return {option->text(), style->subElementRect(QStyle::SE_RadioButtonContents, &styleOption, option)};
    }
    if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        // The style sizes the caption's box from the text itself, so it must
        // also lie inside the frame.
        const QRect label = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        return {frame->title(), label.intersected(frame->rect())};
    }
    return {};
}

} // namespace

class tst_Scale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void clientArea();
    void captionFits_data();
    void captionFits();

private:
    std::unique_ptr<testing::ListFolder> m_folder;
    std::unique_ptr<QtRuntime> m_runtime;
    std::unique_ptr<frmMain> m_window;
};

void tst_Scale::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    m_folder = std::make_unique<testing::ListFolder>("EGLL London Heathrow Airport\r\n");
    m_runtime = std::make_unique<QtRuntime>(frmMain::layout());
    m_window = std::make_unique<frmMain>(*m_runtime);
    QVERIFY(m_runtime->start(*m_window));
    QVERIFY(QTest::qWaitForWindowExposed(m_runtime->form()));
    QCOMPARE(m_runtime->form()->devicePixelRatioF(), scale);
}

void tst_Scale::cleanupTestCase()
{
    m_window.reset();
    m_runtime.reset();
}

// As the X server holds the window: the form's pixels, each one scaled.
void tst_Scale::clientArea()
{
    QWidget *form = m_runtime->form();
    QCOMPARE(form->size(), QSize(289, 153));
    QProcess xwininfo;
    // The platform window's own id: pinning the window on top makes the X
    // window again, and the widget keeps the first one's id.
    const WId id = form->windowHandle()->winId();
    xwininfo.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(id)});
    QVERIFY2(xwininfo.waitForFinished(10000), "xwininfo did not answer");
    QCOMPARE(xwininfo.exitCode(), 0);
    const QString info = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto field = [&info](const char *name) {
        const QRegularExpression pattern(QStringLiteral("^\\s*%1:\\s*(\\d+)$").arg(QLatin1StringView(name)),
                                         QRegularExpression::MultilineOption);
        return pattern.match(info).captured(1).toInt();
    };
    QCOMPARE(QSize(field("Width"), field("Height")), QSize(289, 153) * scale);
}

void tst_Scale::captionFits_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"Label1", "Label2", "Label3", "Label4", "Command1", "Command2", "Command3", "Command4",
                             "Command5", "Command6", "Option1_0", "Option1_1", "Frame3"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The whole advance within the room's width, so nothing is cut or wrapped;
// the letters' ink within its height as the widget centres the line. (A
// line's full height, descent included, is more than Label1's 17 pixels on
// any platform, but its capitals have no descent.)
void tst_Scale::captionFits()
{
    QFETCH(QString, name);
    QWidget *widget = m_runtime->form()->findChild<QWidget *>(name);
    QVERIFY(widget);
    const Caption caption = captionOf(widget);
    QVERIFY(!caption.text.isEmpty());
    QVERIFY(caption.room.isValid());

    const QFontMetricsF metrics(widget->font(), widget);
    const qreal advance = metrics.horizontalAdvance(caption.text);
    const QRectF ink = metrics.tightBoundingRect(caption.text);
    QVERIFY2(
        advance <= caption.room.width(),
        qPrintable(
            QStringLiteral("%1 is %2 wide in a room of %3").arg(caption.text).arg(advance).arg(caption.room.width())));

    const qreal baseline = (caption.room.height() - metrics.height()) / 2 + metrics.ascent();
    QVERIFY2(baseline + ink.top() >= 0 && baseline + ink.bottom() <= caption.room.height(),
             qPrintable(QStringLiteral("%1: ink from %2 to %3 in a room %4 high")
                            .arg(caption.text)
                            .arg(baseline + ink.top())
                            .arg(baseline + ink.bottom())
                            .arg(caption.room.height())));
}

QTEST_MAIN(tst_Scale)
#include "tst_scale.moc"
