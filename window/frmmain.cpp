// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "frmmain.h"

#include "box.h"
#include "fonts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace {

const QColor highlightColour(0xFF, 0xFF, 0x00);
const QColor plainColour(0xFF, 0xFF, 0xFF);
const QColor labelColour(0x80, 0xFF, 0xFF);
const QColor choiceCaptionColour(0x00, 0x00, 0xFF);

// A panel's line edit as the searches see it. Its lock is the read-only
// flag; its writes go through setText, so they raise the box's change signal.
class LineEditBox final : public codelook::Box
{
public:
    explicit LineEditBox(QLineEdit *edit)
        : m_edit(edit)
    { }
    std::u16string text() const override { return m_edit->text().toStdU16String(); }
    void setText(std::u16string_view text) override
    {
        m_edit->setText(QStringView(text).toString());
        m_edit->setCursorPosition(0); // show a long name from its start
    }
    bool isLocked() const override { return m_edit->isReadOnly(); }
    void setLocked(bool locked) override { m_edit->setReadOnly(locked); }

private:
    QLineEdit *m_edit;
};

void setBackColor(QWidget *widget, const QColor &colour, QPalette::ColorRole role = QPalette::Base)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

template <typename T>
T *make(QWidget *parent, const char *name, const QRect &geometry, const QFont &font)
{
    auto *widget = new T(parent);
    widget->setObjectName(QLatin1StringView(name));
    widget->setGeometry(geometry);
    widget->setFont(font);
    return widget;
}

QGroupBox *makeFrame(QWidget *parent, const char *name)
{
    auto *frame = make<QGroupBox>(parent, name, QRect(0, 0, 289, 153), parent->font());
    frame->hide();
    return frame;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &text, const QRect &geometry, const QFont &font)
{
    auto *label = make<QLabel>(parent, name, geometry, font);
    label->setText(text);
    label->setAutoFillBackground(true);
    setBackColor(label, labelColour, QPalette::Window);
    return label;
}

QLineEdit *makeText(QWidget *parent, const char *name, int maxLength, const QRect &geometry, const QFont &font,
                    const QString &accessibleName)
{
    auto *edit = make<QLineEdit>(parent, name, geometry, font);
    edit->setMaxLength(maxLength);
    edit->setAccessibleName(accessibleName);
    return edit;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &text, const QRect &geometry,
                        const QFont &font)
{
    auto *button = make<QPushButton>(parent, name, geometry, font);
    button->setText(text);
    button->setAccessibleName(text);
    // Enter and Esc must press nothing: no button is a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

frmMain::frmMain(QWidget *parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setFixedSize(289, 153);
    QIcon icon;
    for (const char *size : {"16", "32", "256"})
        icon.addFile(QStringLiteral(":/codelook/codelook-%1.png").arg(QLatin1StringView(size)));
    setWindowIcon(icon);
    // Without a focus of its own, the window would hand the focus to the
    // first mode button when shown, and so choose a mode unasked.
    setFocusPolicy(Qt::ClickFocus);
    createControls();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmMain::sessionEnding);
}

frmMain::~frmMain() = default;

QString frmMain::startupCaption()
{
    return QStringLiteral("GET ICAO/AIRPORT NAME - BY MELVO VERNASCO");
}

void frmMain::createControls()
{
    const QFont serif12 = windowFont(FontFace::Serif, 12);
    const QFont serif14 = windowFont(FontFace::Serif, 14.25);
    const QFont sans12 = windowFont(FontFace::Sans, 12);
    const QFont sans975 = windowFont(FontFace::Sans, 9.75);
    const QFont sans18 = windowFont(FontFace::Sans, 18);

    Frame1 = makeFrame(this, "Frame1");
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("INSERT  ICAO CODE"), {8, 24, 161, 17}, serif12);
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("DISPLAY AIRPORT NAME"), {8, 48, 273, 25}, serif14);
    Text1 = makeText(Frame1, "Text1", 4, {176, 16, 105, 27}, sans12, Label1->text());
    Text2 = makeText(Frame1, "Text2", 250, {8, 72, 273, 27}, sans975, Label2->text());
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("SEARCH"), {8, 112, 89, 33}, sans975);
    Command2 = makeButton(Frame1, "Command2", QStringLiteral("DELETE"), {104, 112, 81, 33}, sans975);
    Command3 = makeButton(Frame1, "Command3", QStringLiteral("EXIT"), {192, 112, 89, 33}, sans975);

    Frame2 = makeFrame(this, "Frame2");
    Command4 = makeButton(Frame2, "Command4", QStringLiteral("EXIT"), {192, 112, 89, 33}, sans975);
    Command5 = makeButton(Frame2, "Command5", QStringLiteral("DELETE"), {104, 112, 81, 33}, sans975);
    Command6 = makeButton(Frame2, "Command6", QStringLiteral("SEARCH"), {8, 112, 89, 33}, sans975);
    Label3 = makeLabel(Frame2, "Label3", QStringLiteral("INSERT AIRPORT NAME"), {8, 16, 273, 25}, serif14);
    Label4 = makeLabel(Frame2, "Label4", QStringLiteral("DISPLAY  ICAO CODE"), {8, 80, 169, 25}, serif12);
    Text3 = makeText(Frame2, "Text3", 250, {8, 40, 273, 27}, sans975, Label3->text());
    Text4 = makeText(Frame2, "Text4", 4, {176, 80, 105, 27}, sans12, Label4->text());

    Frame3 = makeFrame(this, "Frame3");
    Frame3->setTitle(QStringLiteral("YOUR CHOICE"));
    Frame3->setFont(sans18);
    // The caption is blue; the buttons inside keep the default text colour.
    setBackColor(Frame3, choiceCaptionColour, QPalette::WindowText);
    const QColor buttonText = palette().color(QPalette::WindowText);
    const char *const optionNames[] = {"Option1_0", "Option1_1"};
    const QString optionTexts[] = {QStringLiteral("CODELOOK"), QStringLiteral("NAMELOOK")};
    const QRect optionPlaces[] = {{48, 32, 217, 41}, {48, 80, 217, 41}};
    for (int index = 0; index < 2; ++index) {
        QRadioButton *option = make<QRadioButton>(Frame3, optionNames[index], optionPlaces[index], sans18);
        option->setText(optionTexts[index]);
        option->setAccessibleName(optionTexts[index]);
        setBackColor(option, buttonText, QPalette::WindowText);
        option->installEventFilter(this);
        Option1[index] = option;
    }
    Frame3->show();

    // Tab order as the panels were designed, each panel's controls in turn.
    QWidget *const tabOrder[] = {Text1,    Text2,    Command1, Command2, Command3,   Command4,
                                 Command5, Command6, Text3,    Text4,    Option1[0], Option1[1]};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    for (QLineEdit *input : {Text1, Text3})
        input->installEventFilter(this);

    connect(Command1, &QPushButton::clicked, this, &frmMain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmMain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmMain::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &frmMain::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &frmMain::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &frmMain::Command6_Click);
    connect(Text1, &QLineEdit::textChanged, this, &frmMain::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &frmMain::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &frmMain::Text3_Change);
    connect(Text4, &QLineEdit::textChanged, this, &frmMain::Text4_Change);
}

bool frmMain::Form_Load()
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }

    for (QRadioButton *option : Option1) {
        // A button of an exclusive group refuses to be cleared otherwise.
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }

    if (!QFileInfo(QStringView(codelook::listFileName).toString()).isFile()) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("FILE NON FOUND"),
                        QStringLiteral("PAY ATTENTION!!! THE CODELOOK.TXT FILE ISN'T IN THE SAME FOLDER OF THE "
                                       "MAIN PROGRAM - THE SOFTWARE DON'T WORK - PUT THE CODELOOK.TXT FILE IN "
                                       "THE SAME FOLDER"),
                        QMessageBox::Ok);
        box.exec();
        return false;
    }

    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowTitle(startupCaption());
    return true;
}

void frmMain::Form_Resize()
{
    if (windowState() & Qt::WindowMinimized) {
        setWindowTitle(Text2->text());
    } else {
        setWindowTitle(startupCaption());
        update();
    }
}

void frmMain::Form_QueryUnload(QCloseEvent *event)
{
    // A close from the window system (close box, Alt+F4, the window menu)
    // is refused: the user leaves through EXIT. A close by the program or by
    // the end of the session goes through.
    if (event->spontaneous() && !m_sessionEnding)
        event->ignore();
    else
        event->accept();
}

void frmMain::Option1_GotFocus(int index)
{
    if (index == 0) {
        Frame1->show();
        setWindowTitle(QStringLiteral("CODELOOK - BY VERNASCO"));
        Text1->setFocus();
    } else {
        Frame2->show();
        setWindowTitle(QStringLiteral("NAMELOOK - BY VERNASCO"));
        Text3->setFocus();
    }
    Frame3->hide();
}

void frmMain::Command1_Click()
{
    LineEditBox code(Text1);
    LineEditBox name(Text2);
    reportUnreadable(m_lookup.searchCode(code, name));
}

void frmMain::Command6_Click()
{
    LineEditBox name(Text3);
    LineEditBox code(Text4);
    reportUnreadable(m_lookup.searchName(name, code));
}

void frmMain::Command2_Click()
{
    clearPanel(Text1, Text2);
}

void frmMain::Command5_Click()
{
    clearPanel(Text3, Text4);
}

void frmMain::Command3_Click()
{
    QCoreApplication::exit(0);
}

void frmMain::Command4_Click()
{
    QCoreApplication::exit(0);
}

void frmMain::clearPanel(QLineEdit *input, QLineEdit *output)
{
    // Texts first: emptying a box raises its change and turns it yellow, so
    // the colours must come after for both boxes to end up white.
    input->setText(QString());
    output->setText(QString());
    setBackColor(input, plainColour);
    setBackColor(output, plainColour);
    input->setReadOnly(false);
    output->setReadOnly(false);
    input->setFocus();
}

void frmMain::reportUnreadable(const codelook::SearchResult &result)
{
    if (result.status != codelook::SearchResult::Status::Unreadable)
        return;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("FILE NOT READABLE"),
                    QStringLiteral("THE CODELOOK.TXT FILE CAN'T BE READ:\n%1\n\n%2")
                        .arg(QString::fromStdU16String(result.path), QString::fromStdU16String(result.reason)),
                    QMessageBox::Ok, this);
    box.exec();
}

int frmMain::Upper(int &KeyAscii)
{
    if (KeyAscii >= 'a' && KeyAscii <= 'z')
        KeyAscii -= 'a' - 'A';
    return KeyAscii;
}

void frmMain::Text1_KeyPress(int &KeyAscii)
{
    KeyAscii = Upper(KeyAscii);
}

void frmMain::Text3_KeyPress(int &KeyAscii)
{
    KeyAscii = Upper(KeyAscii);
}

void frmMain::Text1_KeyDown()
{
    setBackColor(Text1, highlightColour);
}

void frmMain::Text3_KeyDown()
{
    setBackColor(Text3, highlightColour);
}

void frmMain::Text1_Change()
{
    setBackColor(Text1, highlightColour);
}

void frmMain::Text2_Change()
{
    setBackColor(Text2, highlightColour);
}

void frmMain::Text3_Change()
{
    setBackColor(Text3, highlightColour);
}

void frmMain::Text4_Change()
{
    setBackColor(Text4, highlightColour);
}

// Key down, then the typed character through the box's filter: the box is
// yellow before the character shows, even when the box is locked.
bool frmMain::filterKeyPress(QLineEdit *box, QKeyEvent *event)
{
    if (box == Text1)
        Text1_KeyDown();
    else
        Text3_KeyDown();

    if (event->text().size() != 1)
        return false;
    const int typed = event->text().at(0).unicode();
    int KeyAscii = typed;
    if (box == Text1)
        Text1_KeyPress(KeyAscii);
    else
        Text3_KeyPress(KeyAscii);
    if (KeyAscii == typed)
        return false;
    QKeyEvent replaced(QEvent::KeyPress, event->key(), event->modifiers(), QString(QChar(KeyAscii)),
                       event->isAutoRepeat(), event->count());
    QCoreApplication::sendEvent(box, &replaced);
    return true;
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == Text1 || watched == Text3))
        return filterKeyPress(static_cast<QLineEdit *>(watched), static_cast<QKeyEvent *>(event));
    if (event->type() == QEvent::FocusIn) {
        for (int index = 0; index < 2; ++index) {
            if (watched == Option1[index])
                Option1_GotFocus(index);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        Form_Resize();
        setFocus();
    }
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_QueryUnload(event);
}
