// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The scenarios on the Qt runtime, offscreen: real key and mouse events sent
// to the widgets, the window system's own close event, and what shows read
// back from the widgets, found by their control's name.

#include "driver.h"
#include "formmodel.h"
#include "frmmain.h"
#include "qtconvert.h"
#include "qtruntime.h"

#include <doctest/doctest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <utility>

namespace {

// The message box styles by the icon each shows.
int styleOf(QMessageBox::Icon icon)
{
    constexpr std::pair<QMessageBox::Icon, int> styles[] = {
        {QMessageBox::Critical, forms::vbCritical},
        {QMessageBox::Question, forms::vbQuestion},
        {QMessageBox::Warning, forms::vbExclamation},
        {QMessageBox::Information, forms::vbInformation},
    };
    for (const auto &[shown, style] : styles) {
        if (shown == icon)
            return style;
    }
    return 0;
}

Qt::Key qtKey(Key key)
{
    constexpr Qt::Key keys[] = {Qt::Key_Left, Qt::Key_Return, Qt::Key_Escape, Qt::Key_Space};
    static_assert(int(Key::Space) == 3, "one Qt key for each Key, in its order");
    return keys[int(key)];
}

forms::Rect toRect(const QRect &r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

class QtDriver final : public Driver
{
public:
    QtDriver()
    {
        // Every message box is answered with OK once it shows.
        m_answer.setInterval(10);
        QObject::connect(&m_answer, &QTimer::timeout, &m_answer, [this] { answerMessageBox(); });
        m_answer.start();
    }

    bool start() override
    {
        if (!m_runtime.start(m_log))
            return false;
        form()->activateWindow();
        return QTest::qWaitForWindowActive(form());
    }

    void click(int control) override { QTest::mouseClick(widget(control), Qt::LeftButton); }
    void type(int control, std::u16string_view text) override
    {
        // keyClick takes ASCII only; other characters come as key events
        // with their text, a surrogate pair whole, as an input method sends
        // them.
        const QString chars = toQString(text);
        for (qsizetype i = 0; i < chars.size(); ++i) {
            if (chars[i].unicode() < 0x80) {
                QTest::keyClick(widget(control), char(chars[i].unicode()));
                continue;
            }
            const qsizetype units = chars[i].isHighSurrogate() && i + 1 < chars.size() ? 2 : 1;
            QTest::sendKeyEvent(QTest::Click, widget(control), Qt::Key_unknown, chars.sliced(i, units), Qt::NoModifier);
            i += units - 1;
        }
    }
    void pressKey(int control, Key key) override { QTest::keyClick(widget(control), qtKey(key)); }
    void paste(int control, std::u16string_view text) override
    {
        QApplication::clipboard()->setText(toQString(text));
        QTest::keyClick(widget(control), Qt::Key_V, Qt::ControlModifier);
    }
    void tab(bool backwards) override
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : form();
        if (backwards)
            QTest::keyClick(target, Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(target, Qt::Key_Tab);
    }
    void focus(int control) override { widget(control)->setFocus(Qt::OtherFocusReason); }
    void minimise() override { form()->setWindowState(Qt::WindowMinimized); }
    void restore() override { form()->setWindowState(Qt::WindowNoState); }
    bool askClose(int unloadMode) override
    {
        switch (unloadMode) {
        case forms::vbFormCode:
            form()->close();
            return true;
        case forms::vbAppWindows:
            m_runtime.sessionEnding();
            [[fallthrough]];
        case forms::vbFormControlMenu:
            // Close box, Alt+F4 and the window menu all come as this one
            // event from the window system.
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                form()->windowHandle());
            return true;
        default:
            return false; // Qt tells no close by another program from the user's
        }
    }

    std::u16string caption() const override { return form()->windowTitle().toStdU16String(); }
    std::u16string text(int control) const override { return edit(control)->text().toStdU16String(); }
    bool locked(int control) const override { return edit(control)->isReadOnly(); }
    forms::Colour backColor(int control) const override
    {
        QWidget *w = widget(control);
        return toColour(w->palette().color(qobject_cast<QLineEdit *>(w) ? QPalette::Base : QPalette::Window));
    }
    bool shows(int control) const override { return form()->isVisible() && widget(control)->isVisibleTo(form()); }
    bool checked(int control) const override { return qobject_cast<QAbstractButton *>(widget(control))->isChecked(); }
    int focused() const override
    {
        const QWidget *focus = form()->focusWidget();
        return focus && focus != form() ? indexOf(focus) : -1;
    }
    bool windowShown() const override { return form()->isVisible(); }
    bool pinned() const override { return form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    forms::Rect windowPixels() const override { return toRect(form()->frameGeometry()); }
    forms::Rect screenPixels() const override { return toRect(QGuiApplication::primaryScreen()->geometry()); }
    bool ended() const override { return m_runtime.ended(); }
    int exitCode() const override { return m_runtime.exitCode(); }
    const std::vector<forms::Message> &messages() const override { return m_messages; }
    EventLog &events() override { return m_log; }

private:
    QWidget *form() const { return m_runtime.form(); }
    QWidget *widget(int control) const
    {
        const std::string_view name = frmMain::layout().controls[std::size_t(control)].name;
        QWidget *w = form()->findChild<QWidget *>(QLatin1StringView(name.data(), qsizetype(name.size())));
        REQUIRE(w);
        return w;
    }
    QLineEdit *edit(int control) const
    {
        auto *box = qobject_cast<QLineEdit *>(widget(control));
        REQUIRE(box);
        return box;
    }
    int indexOf(const QWidget *w) const
    {
        const QByteArray name = w->objectName().toUtf8();
        return forms::FormModel(frmMain::layout())
            .indexOf(std::string_view(name.constData(), std::size_t(name.size())));
    }

    void answerMessageBox()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        m_messages.push_back({box->text().toStdU16String(), styleOf(box->icon()), box->windowTitle().toStdU16String()});
        box->button(QMessageBox::Ok)->click();
    }

    QtRuntime m_runtime{frmMain::layout()};
    frmMain m_window{m_runtime};
    EventLog m_log{m_window};
    QTimer m_answer;
    std::vector<forms::Message> m_messages;
};

} // namespace

std::unique_ptr<Driver> makeDriver()
{
    return std::make_unique<QtDriver>();
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    doctest::Context context(argc, argv);
    return context.run();
}
