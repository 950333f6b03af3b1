// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The forms runtime on Qt Widgets: the form is a QWidget, frames are group
// boxes, text boxes line edits, command buttons push buttons and option
// buttons radio buttons, each named after its control. The form model says
// where each lies, its font, its name for screen readers and where Tab goes;
// this class only builds the widgets and raises their signals and events to
// the window as forms::Events. Qt lays out in device-independent pixels, so
// the model's rectangles are taken at its design DPI on every screen.

#include "formmodel.h"
#include "forms.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <map>
#include <vector>

class QButtonGroup;
class QLineEdit;
class QKeyEvent;

class QtRuntime final : public QObject, public forms::Runtime
{
    Q_OBJECT

public:
    explicit QtRuntime(const forms::FormDef &form);
    ~QtRuntime() override;

    // Starts the form in the model's order. False when the program has
    // ended.
    bool start(forms::Events &events);
    // Runs the event loop until the program ends; returns its exit status.
    int exec();

    // The session is ending (log-off, shutdown): closes must go through.
    // What QGuiApplication::commitDataRequest calls.
    void sessionEnding() { m_sessionEnding = true; }

    // Every control's colours again, from the application palette.
    void applyColours();

    bool ended() const { return m_ended; }
    int exitCode() const { return m_exitCode; }
    QWidget *form() const;
    QWidget *control(int index) const { return m_controls.at(std::size_t(index)); }

    // A modal box with the style's icon and an OK button, as every message
    // of the program is shown.
    static void showMessage(std::u16string_view prompt, int style, std::u16string_view title, QWidget *parent);

    void setCaption(std::u16string_view caption) override;
    int windowState() const override;
    void refresh() override;
    double width() const override;
    double height() const override;
    void move(double left, double top) override;
    double screenWidth() const override;
    double screenHeight() const override;
    void pinOnTop() override;
    void end(int exitCode) override;
    void setVisible(int control, bool visible) override;
    std::u16string text(int control) const override;
    void setText(int control, std::u16string_view text) override;
    bool locked(int control) const override;
    void setLocked(int control, bool locked) override;
    void setBackColor(int control, forms::Colour colour) override;
    void setFocus(int control) override;
    void setValue(int control, bool value) override;
    int msgBox(std::u16string_view prompt, int style, std::u16string_view title) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Window;
    friend class Window;

    void createControls();
    QWidget *createWidget(int control, QWidget *parent);
    void connectEvents(int control, QWidget *widget);
    // Raises one event; a failure the handler lets out ends the program
    // with the program's failure box.
    template <typename Raise>
    void raise(Raise &&raise);
    void fail(const char *what);
    QLineEdit *edit(int control) const;
    // Colours: colours.cpp.
    static forms::PlatformColours platformColours();
    void applyColours(int control, const forms::PlatformColours &platform);
    int indexOf(const QObject *object) const;
    bool keyPress(int control, QKeyEvent *event);
    void tab(bool backwards);
    // Screen readers: focus(), gotFocus() and announce() in qtruntime.cpp.
    void focus(int control, Qt::FocusReason reason);
    void gotFocus(int control);
    void announce(const QString &text);
    QSize outerSize() const;
    void formStateChanged();
    bool formClosing(bool spontaneous);

    forms::FormModel m_model;
    forms::Events *m_events = nullptr;
    QPointer<Window> m_form;
    std::vector<QWidget *> m_controls;
    std::map<int, QButtonGroup *> m_groups; // by the model's option group
    QWidget *m_announcer = nullptr; // before Qt 6.8
    bool m_focusing = false; // inside focus()
    int m_focused = -1; // the control that took the focus inside focus()
    bool m_ended = false;
    int m_exitCode = 0;
    bool m_sessionEnding = false;
    bool m_replacingKey = false;
    bool m_inLoop = false;
};
