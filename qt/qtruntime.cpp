// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "qtruntime.h"

#include "fonts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace {

// Qt lays out in device-independent pixels, 96 to the logical inch.
constexpr double twipsPerPixel = 15;

int pixels(double twips)
{
    return int(std::lround(twips / twipsPerPixel));
}

QRect pixels(const forms::Rect &r)
{
    return {pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height)};
}

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

QColor toQColor(forms::Colour c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

void setColour(QWidget *widget, QPalette::ColorRole role, forms::Colour colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role,
                     colour == forms::defaultColour ? QApplication::palette(widget).color(role) : toQColor(colour));
    widget->setPalette(palette);
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int shiftOf(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

// The key's Windows virtual-key code where it has an obvious one.
int keyCodeOf(const QKeyEvent *event)
{
    const int key = event->key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9) || key == Qt::Key_Space)
        return key;
    return int(event->nativeVirtualKey());
}

} // namespace

// The form's own widget: its window events go to the runtime.
class QtRuntime::Form final : public QWidget
{
public:
    explicit Form(QtRuntime &runtime)
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
    }
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        if (!event->spontaneous())
            m_runtime.formShown();
    }
    void closeEvent(QCloseEvent *event) override
    {
        if (m_runtime.formClosing(event->spontaneous()))
            event->accept();
        else
            event->ignore();
    }

private:
    QtRuntime &m_runtime;
};

QtRuntime::QtRuntime(const forms::FormDef &form)
{
    m_form = new Form(*this);
    m_form->setObjectName(QString::fromUtf8(form.name.data(), qsizetype(form.name.size())));
    m_form->setFixedSize(pixels(form.clientWidth), pixels(form.clientHeight));
    QIcon icon;
    for (const char *size : {"16", "32", "256"})
        icon.addFile(QStringLiteral(":/codelook/codelook-%1.png").arg(QLatin1StringView(size)));
    m_form->setWindowIcon(icon);
    // Without a focus of its own, the window would hand the focus to the
    // first mode button when shown, and so choose a mode unasked.
    m_form->setFocusPolicy(Qt::ClickFocus);
    createControls(form);
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

void QtRuntime::createControls(const forms::FormDef &form)
{
    m_controls.reserve(form.controls.size());
    m_backColors.assign(form.controls.size(), forms::defaultColour);
    std::vector<std::pair<int, QWidget *>> focusOrder;
    for (const forms::ControlDef &def : form.controls) {
        QWidget *parent = def.container == forms::onForm ? m_form.data() : m_controls.at(std::size_t(def.container));
        const QString text = toQString(def.text);
        QWidget *widget = nullptr;
        switch (def.kind) {
        case forms::Kind::Frame: {
            auto *frame = new QGroupBox(text, parent);
            widget = frame;
            break;
        }
        case forms::Kind::Label: {
            auto *label = new QLabel(text, parent);
            label->setAutoFillBackground(true);
            widget = label;
            break;
        }
        case forms::Kind::TextBox: {
            auto *edit = new QLineEdit(text, parent);
            if (def.maxLength > 0)
                edit->setMaxLength(def.maxLength);
            connect(edit, &QLineEdit::textChanged, this, [this, edit] {
                if (m_events && !m_ended)
                    m_events->Change(indexOf(edit));
            });
            widget = edit;
            break;
        }
        case forms::Kind::CommandButton: {
            auto *button = new QPushButton(text, parent);
            // Enter and Esc must press nothing: no button is a default button.
            button->setAutoDefault(false);
            button->setDefault(false);
            connect(button, &QPushButton::clicked, this, [this, button] {
                if (m_events && !m_ended)
                    m_events->Click(indexOf(button));
            });
            widget = button;
            break;
        }
        case forms::Kind::OptionButton:
            widget = new QRadioButton(text, parent);
            break;
        }
        widget->setObjectName(QString::fromUtf8(def.name.data(), qsizetype(def.name.size())));
        widget->setGeometry(pixels(def.twips));
        if (!def.font.face.empty())
            widget->setFont(windowFont(toQString(def.font.face), def.font.points, def.font.bold));
        if (def.kind != forms::Kind::Frame && def.kind != forms::Kind::Label) {
            widget->installEventFilter(this);
            focusOrder.emplace_back(def.tabIndex, widget);
        }
        m_controls.push_back(widget);
        if (def.backColor != forms::defaultColour)
            setBackColor(int(m_controls.size() - 1), def.backColor);
        if (def.foreColor != forms::defaultColour)
            setColour(widget, QPalette::WindowText, def.foreColor);
        widget->setVisible(def.visible);
    }

    // A frame's fore colour is its caption's: what lies inside keeps the
    // default text colour.
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const int container = form.controls[i].container;
        if (container != forms::onForm && form.controls[std::size_t(container)].foreColor != forms::defaultColour
            && form.controls[i].foreColor == forms::defaultColour)
            setColour(m_controls[i], QPalette::WindowText, forms::defaultColour);
    }

    // Accessible names: a button says its caption, a box its label: the
    // label of its frame beside or above it, nearest to its middle.
    for (std::size_t i = 0; i < form.controls.size(); ++i) {
        const forms::ControlDef &def = form.controls[i];
        if (auto *button = qobject_cast<QAbstractButton *>(m_controls[i]))
            button->setAccessibleName(button->text());
        if (def.kind != forms::Kind::TextBox)
            continue;
        const int middle = def.twips.top + def.twips.height / 2;
        int best = -1;
        for (std::size_t j = 0; j < form.controls.size(); ++j) {
            const forms::ControlDef &label = form.controls[j];
            if (label.kind != forms::Kind::Label || label.container != def.container
                || label.twips.top > def.twips.top + def.twips.height)
                continue;
            const auto distance
                = [&](const forms::ControlDef &l) { return std::abs(l.twips.top + l.twips.height / 2 - middle); };
            if (best < 0 || distance(label) < distance(form.controls[std::size_t(best)]))
                best = int(j);
        }
        if (best >= 0)
            m_controls[i]->setAccessibleName(toQString(form.controls[std::size_t(best)].text));
    }

    std::stable_sort(focusOrder.begin(), focusOrder.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusOrder.size(); ++i)
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);
}

bool QtRuntime::start(forms::Events &events)
{
    m_events = &events;
    m_events->Load();
    if (m_ended)
        return false;
    m_form->show();
    return !m_ended;
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

void QtRuntime::formShown()
{
    if (!m_events || m_ended)
        return;
    m_events->Resize();
    m_form->setFocus();
}

void QtRuntime::formStateChanged()
{
    if (m_events && !m_ended)
        m_events->Resize();
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
    return !m_events->QueryUnload(unloadMode);
}

// Key down first, then the typed character through the box's handler: the
// handler may replace the character or drop it.
bool QtRuntime::keyPress(int control, QKeyEvent *event)
{
    int keyCode = keyCodeOf(event);
    m_events->KeyDown(control, keyCode, shiftOf(event->modifiers()));
    if (m_ended || event->text().size() != 1)
        return false;
    const int typed = event->text().at(0).unicode();
    int keyAscii = typed;
    m_events->KeyPress(control, keyAscii);
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
    if (event->type() == QEvent::KeyPress && !m_replacingKey && qobject_cast<QLineEdit *>(watched))
        return keyPress(control, static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn)
        m_events->GotFocus(control);
    return QObject::eventFilter(watched, event);
}

std::u16string QtRuntime::caption() const
{
    return m_form->windowTitle().toStdU16String();
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

double QtRuntime::width() const
{
    return m_form->frameGeometry().width() * twipsPerPixel;
}

double QtRuntime::height() const
{
    return m_form->frameGeometry().height() * twipsPerPixel;
}

void QtRuntime::move(double left, double top)
{
    m_form->move(pixels(left), pixels(top));
}

double QtRuntime::screenWidth() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() * twipsPerPixel : 0;
}

double QtRuntime::screenHeight() const
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().height() * twipsPerPixel : 0;
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

bool QtRuntime::visible(int control) const
{
    return m_controls.at(std::size_t(control))->isVisibleTo(m_form);
}

void QtRuntime::setVisible(int control, bool visible)
{
    m_controls.at(std::size_t(control))->setVisible(visible);
}

std::u16string QtRuntime::text(int control) const
{
    return edit(control)->text().toStdU16String();
}

void QtRuntime::setText(int control, std::u16string_view text)
{
    QLineEdit *box = edit(control);
    box->setText(toQString(text));
    box->setCursorPosition(0); // a long name shows from its start
}

bool QtRuntime::locked(int control) const
{
    return edit(control)->isReadOnly();
}

void QtRuntime::setLocked(int control, bool locked)
{
    edit(control)->setReadOnly(locked);
}

forms::Colour QtRuntime::backColor(int control) const
{
    return m_backColors.at(std::size_t(control));
}

void QtRuntime::setBackColor(int control, forms::Colour colour)
{
    QWidget *widget = m_controls.at(std::size_t(control));
    m_backColors.at(std::size_t(control)) = colour;
    // A line edit paints its text area in Base; other controls their Window.
    setColour(widget, qobject_cast<QLineEdit *>(widget) ? QPalette::Base : QPalette::Window, colour);
}

int QtRuntime::maxLength(int control) const
{
    return edit(control)->maxLength();
}

void QtRuntime::setMaxLength(int control, int maxLength)
{
    edit(control)->setMaxLength(maxLength > 0 ? maxLength : 32767);
}

void QtRuntime::setFocus(int control)
{
    m_controls.at(std::size_t(control))->setFocus();
}

bool QtRuntime::value(int control) const
{
    return static_cast<QRadioButton *>(m_controls.at(std::size_t(control)))->isChecked();
}

void QtRuntime::setValue(int control, bool value)
{
    auto *option = static_cast<QRadioButton *>(m_controls.at(std::size_t(control)));
    // A button of an exclusive group refuses to be cleared otherwise.
    option->setAutoExclusive(false);
    option->setChecked(value);
    option->setAutoExclusive(true);
}

int QtRuntime::msgBox(std::u16string_view prompt, int style, std::u16string_view title)
{
    QMessageBox box(iconOf(style), toQString(title), toQString(prompt), QMessageBox::Ok,
                    m_form->isVisible() ? m_form.data() : nullptr);
    box.exec();
    return forms::vbOK;
}

bool QtRuntime::fileExists(std::u16string_view name) const
{
    return QFileInfo(toQString(name)).isFile();
}
