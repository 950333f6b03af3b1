// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's colours as the X server holds them, on a dark desktop (GNOME
// in Adwaita's dark style, through Qt's GTK theme: the test's command sets
// it) and after the palette is changed while the window is open: every
// caption, label, box text and button caption readable by the WCAG 2
// contrast ratio, the table's grounds kept, and on the light palette the
// table's colours exactly.

#include "frmmain.h"
#include "qtruntime.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

double luminance(const QColor &c)
{
    const auto linear = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where a control draws its text.
QRect textArea(QWidget *widget)
{
    QStyle *style = widget->style();
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(button);
        return style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    if (auto *radio = qobject_cast<QRadioButton *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(radio);
        option.text = radio->text();
        return style->subElementRect(QStyle::SE_RadioButtonContents, &option, radio);
    }
    if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        return style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    }
    if (qobject_cast<QLineEdit *>(widget))
        return widget->rect().adjusted(4, 4, -4, -4); // inside the frame
    return widget->rect();
}

struct Painted
{
    QColor ground; // the commonest colour
    QColor text; // of the colours seen often enough to be strokes, the one farthest from the ground
};

Painted painted(const QImage &image)
{
    QMap<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    }
    Painted p;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            p.ground = QColor(it.key());
        }
    }
    p.text = p.ground;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() >= 4 && contrast(QColor(it.key()), p.ground) > contrast(p.text, p.ground))
            p.text = QColor(it.key());
    }
    return p;
}

// 4.5 : 1; 3 : 1 for 14 pt bold and larger.
double needed(const QFont &font)
{
    return font.pointSizeF() >= 18 || (font.bold() && font.pointSizeF() >= 14) ? 3.0 : 4.5;
}

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void readable_data();
    void readable();

private:
    QPalette m_dark;
    QPalette m_light;
};

void tst_Theme::initTestCase()
{
    m_dark = QApplication::palette();
    m_light = QPalette(QColor(239, 239, 239)); // Fusion's light grey; white boxes, black text
    // Otherwise this would test a light desktop twice.
    QVERIFY2(luminance(m_dark.color(QPalette::Window)) < 0.1 && luminance(m_dark.color(QPalette::Base)) < 0.1,
             "the desktop's dark palette did not reach Qt");
    QVERIFY(luminance(m_light.color(QPalette::Window)) > 0.7);
}

void tst_Theme::readable_data()
{
    QTest::addColumn<bool>("startDark");
    QTest::addColumn<bool>("switchWhileOpen");
    QTest::addColumn<int>("mode"); // -1: the choice; 0 or 1: that panel
    QTest::addColumn<QString>("typed"); // into the panel's input box, then SEARCH
    QTest::addColumn<bool>("deleted"); // then DELETE
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<QColor>("boxGround"); // what the boxes must show; invalid: the platform's

    const QStringList choice{"Frame3", "Option1_0", "Option1_1"};
    const QStringList code{"Label1", "Label2", "Text1", "Text2", "Command1", "Command2", "Command3"};
    const QStringList name{"Label3", "Label4", "Text3", "Text4", "Command4", "Command5", "Command6"};
    const QColor yellow(255, 255, 0);
    const QColor white(255, 255, 255);
    for (const bool dark : {true, false}) {
        for (const bool switched : {false, true}) {
            const bool endsDark = dark != switched;
            const QString desktop = QLatin1StringView(dark ? "dark" : "light")
                + QLatin1StringView(switched ? (dark ? ", then light" : ", then dark") : "");
            if (!endsDark && !switched)
                continue; // a light desktop from the start is tst_qtruntime's
            QTest::addRow("%s: the choice", qPrintable(desktop))
                << dark << switched << -1 << QString() << false << choice << QColor();
            QTest::addRow("%s: code panel, found", qPrintable(desktop))
                << dark << switched << 0 << "EGLL" << false << code << yellow;
            QTest::addRow("%s: code panel, deleted", qPrintable(desktop))
                << dark << switched << 0 << "EGLL" << true << code << white;
            QTest::addRow("%s: name panel, found", qPrintable(desktop))
                << dark << switched << 1 << "LONDON" << false << name << yellow;
            QTest::addRow("%s: name panel, as it opens", qPrintable(desktop))
                << dark << switched << 1 << QString() << false << name << QColor();
        }
    }
}

void tst_Theme::readable()
{
    QFETCH(bool, startDark);
    QFETCH(bool, switchWhileOpen);
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(bool, deleted);
    QFETCH(QStringList, controls);
    QFETCH(QColor, boxGround);

    QTemporaryDir dir;
    QVERIFY(QDir::setCurrent(dir.path()));
    QFile list(QStringLiteral("codelook.txt"));
    QVERIFY(list.open(QIODevice::WriteOnly));
    list.write("EGLL London Heathrow Airport\r\n");
    list.close();

    QApplication::setPalette(startDark ? m_dark : m_light);
    QtRuntime runtime(frmMain::layout());
    frmMain window(runtime);
    QVERIFY(runtime.start(window));
    QWidget *form = runtime.form();
    QVERIFY(QTest::qWaitForWindowExposed(form));
    // No window manager gives the window the focus a mode button needs.
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    const auto control = [form](const QString &name) { return form->findChild<QWidget *>(name); };
    if (mode >= 0) {
        QTest::mouseClick(control(mode == 0 ? "Option1_0" : "Option1_1"), Qt::LeftButton);
        if (!typed.isEmpty()) {
            QTest::keyClicks(control(mode == 0 ? "Text1" : "Text3"), typed);
            QTest::mouseClick(control(mode == 0 ? "Command1" : "Command6"), Qt::LeftButton);
        }
        if (deleted)
            QTest::mouseClick(control(mode == 0 ? "Command2" : "Command5"), Qt::LeftButton);
    }
    const bool dark = startDark != switchWhileOpen;
    if (switchWhileOpen)
        QApplication::setPalette(dark ? m_dark : m_light);
    form->repaint();
    QTest::qWait(100);

    // The screen's pixels where the window lies.
    const QImage shot
        = form->screen()->grabWindow(0).toImage().copy(QRect(form->mapToGlobal(QPoint(0, 0)), form->size()));
    for (const QString &name : controls) {
        QWidget *widget = control(name);
        QVERIFY(widget);
        const QRect area = textArea(widget).translated(widget->mapTo(form, QPoint(0, 0)));
        Painted p = painted(shot.copy(area));
        // An empty box (as it opens, after DELETE) shows no text to measure:
        // the colour it would type in, on the ground it shows.
        auto *box = qobject_cast<QLineEdit *>(widget);
        if (box && box->text().isEmpty())
            p.text = box->palette().color(QPalette::Text);
        const double ratio = contrast(p.text, p.ground);
        qInfo("%s on %s: text %s on %s, %.2f : 1", qPrintable(name), dark ? "dark" : "light", qPrintable(p.text.name()),
              qPrintable(p.ground.name()), ratio);
        QVERIFY2(ratio >= needed(widget->font()), qPrintable(name));

        if (box && boxGround.isValid())
            QCOMPARE(p.ground, boxGround);
        if (name.startsWith("Label"))
            QCOMPARE(p.ground, QColor(128, 255, 255));
        if (name == "Frame3") {
            // The caption's hue is the table's blue, lightened on the dark
            // palette.
            QCOMPARE(p.text.hue(), QColor(Qt::blue).hue());
            if (!dark)
                QCOMPARE(p.text, QColor(Qt::blue));
        }
        if (!dark && (box || name.startsWith("Label")))
            QCOMPARE(p.text, m_light.color(box ? QPalette::Text : QPalette::WindowText));
    }
}

QTEST_MAIN(tst_Theme)
#include "tst_theme.moc"
