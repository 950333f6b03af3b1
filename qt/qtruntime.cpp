// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "qtruntime.h"

#include "failure.h"
#include "fonts.h"
#include "qtconvert.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QValidator>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace {

double twips(int pixels)
{
    return forms::toTwips(pixels, forms::designDpi);
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & forms::vbIconMask) {
    case forms::vbCritical:
        return QMessageBox::Critical;
    case forms::vbQuestion:
        return QMessageBox::Question;
    case forms::vbExclamation:
        return QMessageBox::Warning;
    case forms::vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int shiftOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? forms::vbShiftMask : 0)
        | (modifiers & Qt::ControlModifier ? forms::vbCtrlMask : 0)
        | (modifiers & Qt::AltModifier ? forms::vbAltMask : 0);
}

// The key's Windows virtual-key code where it has an obvious one.
int keyCodeOf(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return key;
    return int(event->nativeVirtualKey());
}

// Tab and Shift+Tab move the focus; like the dialog keys on Windows, they
// never reach a box as keys.
bool movesFocus(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// A box's limit over every way the user adds text (keys, a paste, a drop,
// an input method): QLineEdit's own maxLength would also cut what the
// program writes, and cuts inside a surrogate pair. The model says how much
// of what was added goes in; the program's writes pass whole.
class BoxLimit final : public QValidator
{
public:
    BoxLimit(const forms::FormModel &model, int control, QLineEdit *box)
        : QValidator(box)
        , m_model(model)
        , m_control(control)
        , m_last(box->text())
    { }

    void write(QLineEdit *box, const QString &text) const
    {
        m_writing = true;
        box->setText(text);
        m_writing = false;
    }

    // `input` is the box's text after the edit, the cursor at `pos` just
    // after what was added; what follows the cursor was there before.
    State validate(QString &input, int &pos) const override
    {
        if (!m_writing && input.size() > m_last.size()) {
            const qsizetype tail = input.size() - pos;
            const QStringView before = QStringView(m_last).first(std::max<qsizetype>(m_last.size() - tail, 0));
            qsizetype head = 0;
            while (head < pos && head < before.size() && before[head] == input[head])
                ++head;
            const std::u16string_view added(reinterpret_cast<const char16_t *>(input.utf16()) + head,
                                            std::size_t(pos - head));
            const std::size_t admitted = m_model.admits(m_control, added, std::size_t(head + tail));
            if (admitted < added.size()) {
                const QString kept = input.first(head + qsizetype(admitted)) + input.sliced(pos);
                // Nothing of it went in: Qt takes the edit back, with no change.
                if (kept == m_last)
                    return Invalid;
                input = kept;
                pos = head + qsizetype(admitted);
            }
        }
        m_last = input;
        return Acceptable;
    }

private:
    const forms::FormModel &m_model;
    int m_control;
    // Qt validates through a const function: what it learns is mutable.
    mutable bool m_writing = false;
    mutable QString m_last; // the text as last accepted
};

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// News away from the focus, as a screen reader hears it before Qt 6.8: a
// widget that draws nothing and takes no focus, seen by assistive
// technology as a notification named by the news and shown as each comes
// (Orca speaks a notification as it becomes showing).
class Announcer final : public QWidget
{
public:
    using QWidget::QWidget;
};

// Without Q_OBJECT, Announcer reaches the factory under QWidget's name.
QAccessibleInterface *announcerAccessible(const QString &, QObject *object)
{
    auto *announcer = dynamic_cast<Announcer *>(object);
    return announcer ? new QAccessibleWidget(announcer, QAccessible::Notification) : nullptr;
}
#endif

} // namespace

// The form's own widget: its window events go to the runtime.
class QtRuntime::Window final : public QWidget
{
public:
    explicit Window(QtRuntime &runtime)
        : QWidget(nullptr,
                  Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                      | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
        , m_runtime(runtime)
    { }

protected:
    void changeEvent(QEvent *event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange)
            m_runtime.formStateChanged();
        // The application palette changed (a desktop switched to dark, or
        // back): the form, which sets none of its own, follows it.
        else if (event->type() == QEvent::PaletteChange)
            m_runtime.applyColours();
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (m_runtime.formClosing(event->spontaneous()))
            event->accept();
        else
            event->ignore();
    }
    // Every control passes Tab up to its window: the model says where it goes.
    bool focusNextPrevChild(bool next) override
    {
        m_runtime.tab(!next);
        return true;
    }

private:
    QtRuntime &m_runtime;
};

QtRuntime::QtRuntime(const forms::FormDef &form)
    : m_model(form)
{
    m_form = new Window(*this);
    m_form->setObjectName(QString::fromUtf8(form.name.data(), qsizetype(form.name.size())));
    m_form->setFixedSize(m_model.clientWidthPixels(forms::designDpi), m_model.clientHeightPixels(forms::designDpi));
    QIcon icon;
    for (const char *size : {"16", "32", "256"})
        icon.addFile(QStringLiteral(":/codelook/codelook-%1.png").arg(QLatin1StringView(size)));
    m_form->setWindowIcon(icon);
    // Without a focus of its own, the window would hand the focus to the
    // first mode button when shown, and so choose a mode unasked.
    m_form->setFocusPolicy(Qt::ClickFocus);
    createControls();
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool factoryInstalled = (QAccessible::installFactory(announcerAccessible), true);
    Q_UNUSED(factoryInstalled);
    m_announcer = new Announcer(m_form);
    m_announcer->setGeometry(0, 0, 0, 0);
    m_announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_announcer->hide();
#endif
    // The platform window, early: at Load the program centres the window by
    // its outer size, which only the platform window can tell before it shows.
    m_form->winId();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &QtRuntime::sessionEnding);
}

QtRuntime::~QtRuntime()
{
    delete m_form;
}

QWidget *QtRuntime::form() const
{
    return m_form;
}

QWidget *QtRuntime::createWidget(int control, QWidget *parent)
{
    const QString text = toQString(m_model[control].text);
    switch (m_model[control].kind) {
    case forms::Kind::Frame:
        return new QGroupBox(text, parent);
    case forms::Kind::Label: {
        auto *label = new QLabel(text, parent);
        label->setAutoFillBackground(true);
        return label;
    }
    case forms::Kind::TextBox: {
        auto *edit = new QLineEdit(text, parent);
        edit->setValidator(new BoxLimit(m_model, control, edit));
        return edit;
    }
    case forms::Kind::CommandButton: {
        auto *button = new QPushButton(text, parent);
        // Enter and Esc must press nothing: no button is a default button.
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case forms::Kind::OptionButton: {
        auto *option = new QRadioButton(text, parent);
        // The model's group, which Qt puts before its own grouping by parent.
        // (Still auto-exclusive: screen readers hear a radio button by it.)
        QButtonGroup *&group = m_groups[m_model.optionGroup(control)];
        if (!group)
            group = new QButtonGroup(m_form);
        group->addButton(option);
        return option;
    }
    }
    return nullptr;
}

// The events the model says the control's kind raises: the signals that
// carry them, and the focus and keys through the event filter.
void QtRuntime::connectEvents(int control, QWidget *widget)
{
    if (m_model.raises(control, forms::Event::Click)) {
        connect(static_cast<QAbstractButton *>(widget), &QAbstractButton::clicked, this,
                [this, control] { raise([control](forms::Events &e) { e.Click(control); }); });
    }
    if (m_model.raises(control, forms::Event::Change)) {
        connect(static_cast<QLineEdit *>(widget), &QLineEdit::textChanged, this,
                [this, control] { raise([control](forms::Events &e) { e.Change(control); }); });
    }
    if (m_model.takesFocus(control))
        widget->installEventFilter(this);
}

void QtRuntime::createControls()
{
    m_controls.reserve(std::size_t(m_model.count()));
    for (int i = 0; i < m_model.count(); ++i) {
        const forms::ControlDef &def = m_model[i];
        const int container = m_model.containerOf(i);
        QWidget *widget = createWidget(i, container == forms::onForm ? m_form.data() : control(container));
        m_controls.push_back(widget);
        widget->setObjectName(QString::fromUtf8(def.name.data(), qsizetype(def.name.size())));
        const forms::Rect r = m_model.pixelsInContainer(i, forms::designDpi);
        widget->setGeometry(r.left, r.top, r.width, r.height);
        widget->setFont(windowFont(m_model.fontOf(i)));
        if (def.kind != forms::Kind::Label)
            widget->setAccessibleName(toQString(m_model.accessibleName(i)));
        connectEvents(i, widget);
        widget->setVisible(m_model.visible(i));
    }

    applyColours();

    for (int i = 0; i < m_model.count(); ++i) {
        if (const int label = m_model.labelOf(i); label >= 0)
            static_cast<QLabel *>(control(label))->setBuddy(control(i));
    }
}

template <typename Raise>
void QtRuntime::raise(Raise &&raise)
{
    if (m_events && !m_ended)
        forms::guard([&] { raise(*m_events); }, [this](const char *what) { fail(what); });
}

void QtRuntime::fail(const char *what)
{
    forms::endWithFailure(*this, *m_events, QString::fromLocal8Bit(what).toStdU16String());
}

bool QtRuntime::start(forms::Events &events)
{
    m_events = &events;
    return forms::start([this](auto &&handler) { raise(handler); },
                        [this] {
                            m_form->show();
                            m_form->setFocus();
                        },
                        [this] { return m_ended; });
}

int QtRuntime::exec()
{
    if (m_ended)
        return m_exitCode;
    m_inLoop = true;
    const int status = QApplication::exec();
    m_inLoop = false;
    return status;
}

int QtRuntime::indexOf(const QObject *object) const
{
    const auto at = std::find(m_controls.begin(), m_controls.end(), object);
    return at == m_controls.end() ? -1 : int(at - m_controls.begin());
}

QLineEdit *QtRuntime::edit(int control) const
{
    return static_cast<QLineEdit *>(m_controls.at(std::size_t(control)));
}

void QtRuntime::tab(bool backwards)
{
    const int next = m_model.nextTabStop(indexOf(m_form->focusWidget()), backwards);
    if (next >= 0)
        focus(next, backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

// A focus change the runtime makes raises GotFocus once Qt has told
// assistive technology of it: a handler that moves the focus on then does so
// after, and the screen reader's last word is where the focus ends. Still
// within this turn of the event loop, so keys typed next reach the control
// the handler chose.
void QtRuntime::focus(int control, Qt::FocusReason reason)
{
    m_focusing = true;
    m_focused = -1;
    this->control(control)->setFocus(reason);
    m_focusing = false;
    if (const int focused = std::exchange(m_focused, -1); focused >= 0)
        raise([focused](forms::Events &e) { e.GotFocus(focused); });
}

void QtRuntime::gotFocus(int control)
{
    if (m_focusing) {
        m_focused = control;
        return;
    }
    // A change Qt made (a click, a screen reader's own move): Qt tells
    // assistive technology of this control only after the handler, so where
    // the handler moved the focus on, that is told again once Qt is done.
    raise([control](forms::Events &e) { e.GotFocus(control); });
    if (m_form->focusWidget() != this->control(control)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (QWidget *widget = m_form->focusWidget()) {
                    QAccessibleEvent event(widget, QAccessible::Focus);
                    QAccessible::updateAccessibility(&event);
                }
            },
            Qt::QueuedConnection);
    }
}

// Politely, after whatever the screen reader is saying; the focus stays.
void QtRuntime::announce(const QString &text)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(m_form, text);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    m_announcer->hide();
    m_announcer->setAccessibleName(text);
    m_announcer->show();
#endif
}

void QtRuntime::formStateChanged()
{
    raise([](forms::Events &e) { e.Resize(); });
}

bool QtRuntime::formClosing(bool spontaneous)
{
    if (!m_events || m_ended)
        return true;
    // A close the window system sends (close box, Alt+F4, the window menu)
    // is the user's, unless the session is ending.
    int unloadMode = forms::vbFormCode;
    if (m_sessionEnding)
        unloadMode = forms::vbAppWindows;
    else if (spontaneous)
        unloadMode = forms::vbFormControlMenu;
    bool cancel = false;
    raise([&](forms::Events &e) { cancel = e.QueryUnload(unloadMode); });
    return !cancel || m_ended;
}

// Key down first, then the typed character through the box's handler: the
// handler may replace the character or drop it.
bool QtRuntime::keyPress(int control, QKeyEvent *event)
{
    int keyCode = keyCodeOf(event);
    raise([&](forms::Events &e) { e.KeyDown(control, keyCode, shiftOf(event->modifiers())); });
    if (m_ended)
        return true;
    if (event->text().size() != 1 || !m_model.raises(control, forms::Event::KeyPress))
        return false;
    const int typed = event->text().at(0).unicode();
    int keyAscii = typed;
    raise([&](forms::Events &e) { e.KeyPress(control, keyAscii); });
    if (m_ended)
        return true;
    if (keyAscii == typed)
        return false;
    if (keyAscii > 0 && keyAscii <= 0xFFFF) {
        QKeyEvent replaced(QEvent::KeyPress, event->key(), event->modifiers(), QString(QChar(char16_t(keyAscii))),
                           event->isAutoRepeat(), event->count());
        m_replacingKey = true;
        QCoreApplication::sendEvent(m_controls[std::size_t(control)], &replaced);
        m_replacingKey = false;
    }
    return true;
}

bool QtRuntime::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_events || m_ended)
        return QObject::eventFilter(watched, event);
    const int control = indexOf(watched);
    if (control < 0)
        return QObject::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress && !m_replacingKey && m_model.raises(control, forms::Event::KeyDown)
        && !movesFocus(static_cast<QKeyEvent *>(event)))
        return keyPress(control, static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn && m_model.raises(control, forms::Event::GotFocus))
        gotFocus(control);
    return QObject::eventFilter(watched, event);
}

void QtRuntime::setCaption(std::u16string_view caption)
{
    m_form->setWindowTitle(toQString(caption));
}

int QtRuntime::windowState() const
{
    const Qt::WindowStates state = m_form->windowState();
    if (state & Qt::WindowMinimized)
        return forms::vbMinimized;
    if (state & Qt::WindowMaximized)
        return forms::vbMaximized;
    return forms::vbNormal;
}

void QtRuntime::refresh()
{
    m_form->repaint();
}

QSize QtRuntime::outerSize() const
{
    // QWidget learns its frame once shown; before that, the platform window
    // tells the frame it will get, where the platform knows it unmapped.
    if (m_form->isVisible())
        return m_form->frameGeometry().size();
    const QWindow *window = m_form->windowHandle();
    return m_form->size().grownBy(window ? window->frameMargins() : QMargins());
}

double QtRuntime::width() const
{
    return twips(outerSize().width());
}

double QtRuntime::height() const
{
    return twips(outerSize().height());
}

void QtRuntime::move(double left, double top)
{
    m_form->move(forms::placeToPixels(left, forms::designDpi), forms::placeToPixels(top, forms::designDpi));
}

double QtRuntime::screenWidth() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? twips(screen->geometry().width()) : 0;
}

double QtRuntime::screenHeight() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? twips(screen->geometry().height()) : 0;
}

void QtRuntime::pinOnTop()
{
    m_form->setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void QtRuntime::end(int exitCode)
{
    m_ended = true;
    m_exitCode = exitCode;
    m_form->hide();
    // Outside the loop there is nothing to leave; asking anyway would make
    // every later local loop (a message box's) return at once.
    if (m_inLoop)
        QCoreApplication::exit(exitCode);
}

void QtRuntime::setVisible(int control, bool visible)
{
    m_model.setVisible(control, visible);
    m_controls.at(std::size_t(control))->setVisible(visible);
}

std::u16string QtRuntime::text(int control) const
{
    return edit(control)->text().toStdU16String();
}

void QtRuntime::setText(int control, std::u16string_view text)
{
    QLineEdit *box = edit(control);
    static_cast<const BoxLimit *>(box->validator())->write(box, toQString(text));
    box->setCursorPosition(0); // a long name shows from its start
    if (m_model.announces(control, text, indexOf(m_form->focusWidget())))
        announce(box->text());
}

bool QtRuntime::locked(int control) const
{
    return edit(control)->isReadOnly();
}

void QtRuntime::setLocked(int control, bool locked)
{
    edit(control)->setReadOnly(locked);
}

void QtRuntime::setBackColor(int control, forms::Colour colour)
{
    m_model.setBackColor(control, colour);
    applyColours(control, platformColours());
}

void QtRuntime::setFocus(int control)
{
    focus(control, Qt::OtherFocusReason);
}

void QtRuntime::setValue(int control, bool value)
{
    auto *option = static_cast<QRadioButton *>(m_controls.at(std::size_t(control)));
    // An exclusive group refuses to clear its checked button otherwise.
    QButtonGroup *group = option->group();
    group->setExclusive(false);
    option->setChecked(value);
    group->setExclusive(true);
}

void QtRuntime::showMessage(std::u16string_view prompt, int style, std::u16string_view title, QWidget *parent)
{
    QMessageBox box(iconOf(style), toQString(title), toQString(prompt), QMessageBox::Ok, parent);
    box.exec();
}

int QtRuntime::msgBox(std::u16string_view prompt, int style, std::u16string_view title)
{
    if (m_ended)
        return forms::vbOK;
    showMessage(prompt, style, title, m_form->isVisible() ? m_form.data() : nullptr);
    return forms::vbOK;
}

// The meta-object code compiled here, with the Qt headers this file has
// already read, rather than in a file of its own that reads them again.
#include "moc_qtruntime.cpp"
