// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The window's colours as the X server holds them on a dark desktop (GNOME
// in Adwaita's dark style through Qt's GTK theme, as the test's command
// sets it) and after the palette changes while the window is open: every
// text readable, the table's grounds kept, on a light palette exactly the
// table's colours.

#include "contrast.h"
#include "frmmain.h"
#include "listfolder.h"
#include "qtconvert.h"
#include "qtruntime.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

namespace {

// Where a control draws its text, inside its edges.
QRect textArea(QWidget *widget)
{
    if (auto *frame = qobject_cast<QGroupBox *>(widget))
        return {0, 0, widget->fontMetrics().horizontalAdvance(frame->title()), widget->fontMetrics().height()};
    return widget->rect().adjusted(qobject_cast<QRadioButton *>(widget) ? 24 : 4, 4, -4, -4);
}

} // namespace

class tst_Theme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readable_data();
    void readable();
};

void tst_Theme::readable_data()
{
    QTest::addColumn<int>("stage");
    QTest::newRow("the choice") << 0;
    QTest::newRow("a code found") << 1;
    QTest::newRow("then DELETE") << 2;
}

void tst_Theme::readable()
{
    QFETCH(int, stage);
    static const QPalette dark = QApplication::palette();
    const QPalette light(QColor(239, 239, 239)); // Fusion's grey, white boxes, black text
    QVERIFY2(wcag::luminance(toColour(dark.color(QPalette::Window))) < 0.1, "the dark style did not reach Qt");
    QApplication::setPalette(dark);

    const testing::ListFolder folder("EGLL London Heathrow Airport\r\n");
    QtRuntime runtime(frmMain::layout());
    frmMain window(runtime);
    QVERIFY(runtime.start(window));
    runtime.form()->activateWindow(); // no window manager here gives it the focus a mode button needs
    QVERIFY(QTest::qWaitForWindowActive(runtime.form()));
    QList<int> shown{frmMain::Frame3, frmMain::Option1_0, frmMain::Option1_1};
    if (stage > 0) {
        QTest::mouseClick(runtime.control(frmMain::Option1_0), Qt::LeftButton);
        QTest::keyClicks(runtime.control(frmMain::Text1), QStringLiteral("EGLL"));
        QTest::mouseClick(runtime.control(frmMain::Command1), Qt::LeftButton);
        shown = {frmMain::Label1, frmMain::Label2, frmMain::Text1, frmMain::Text2, frmMain::Command1};
    }
    if (stage > 1)
        QTest::mouseClick(runtime.control(frmMain::Command2), Qt::LeftButton);

    // Dark from the start, then light and dark again while the window is open.
    for (const QPalette *palette : {&dark, &light, &dark}) {
        QApplication::setPalette(*palette);
        runtime.form()->repaint();
        QTest::qWait(100);
        const QImage shot = runtime.form()->screen()->grabWindow(0).toImage();
        for (const int i : shown) {
            QWidget *widget = runtime.control(i);
            const QRect area = textArea(widget).translated(widget->mapToGlobal(QPoint(0, 0)));
            std::vector<std::uint32_t> pixels;
            for (int y = area.top(); y <= area.bottom(); ++y) {
                for (int x = area.left(); x <= area.right(); ++x)
                    pixels.push_back(toColour(QColor(shot.pixel(x, y))));
            }
            wcag::Painted p = wcag::painted(pixels);
            auto *box = qobject_cast<QLineEdit *>(widget);
            if (box && box->text().isEmpty()) // no text to see: the colour it would be typed in
                p.text = toColour(box->palette().color(QPalette::Text));
            const double ratio = wcag::contrast(p.text, p.ground);
            qInfo("%s on the %s palette: text #%06x on #%06x (0xBBGGRR), %.2f : 1", qPrintable(widget->objectName()),
                  palette == &light ? "light" : "dark", p.text, p.ground, ratio);
            QVERIFY(ratio >= wcag::needed(widget->font().pointSizeF(), widget->font().bold()));
            if (box)
                QCOMPARE(p.ground, stage == 1 ? frmMain::highlightColour : frmMain::plainColour);
            if (qobject_cast<QLabel *>(widget))
                QCOMPARE(p.ground, 0x00FFFF80u);
            if (palette == &light && (box || qobject_cast<QLabel *>(widget)))
                QCOMPARE(p.text, 0u);
            if (i == frmMain::Frame3) // the table's blue, lighter on a dark ground
                QVERIFY((p.text & 0xFF) == ((p.text >> 8) & 0xFF) && p.text >> 16 == 0xFF);
            if (i == frmMain::Frame3 && palette == &light)
                QCOMPARE(p.text, 0x00FF0000u);
        }
    }
}

QTEST_MAIN(tst_Theme)
#include "tst_theme.moc"
