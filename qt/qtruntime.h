// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The forms runtime on Qt Widgets: the form is a QWidget, frames are group
// boxes, text boxes line edits, command buttons push buttons and option
// buttons radio buttons, each named after its control. Their signals and
// events are raised to the window as forms::Events.

#include "forms.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class QLineEdit;
class QKeyEvent;

class QtRuntime final : public QObject, public forms::Runtime
{
    Q_OBJECT

public:
    explicit QtRuntime(const forms::FormDef &form);
    ~QtRuntime() override;

    // Raises Load and, unless the window ended the program there, shows the
    // window. False when the program has ended.
    bool start(forms::Events &events);
    // Runs the event loop until the program ends; returns its exit status.
    int exec();

    // The session is ending (log-off, shutdown): closes must go through.
    // What QGuiApplication::commitDataRequest calls.
    void sessionEnding() { m_sessionEnding = true; }

    bool ended() const { return m_ended; }
    int exitCode() const { return m_exitCode; }
    QWidget *form() const;
    QWidget *control(int index) const { return m_controls.at(std::size_t(index)); }

    std::u16string caption() const;
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
    bool visible(int control) const;
    void setVisible(int control, bool visible) override;
    std::u16string text(int control) const override;
    void setText(int control, std::u16string_view text) override;
    bool locked(int control) const override;
    void setLocked(int control, bool locked) override;
    forms::Colour backColor(int control) const;
    void setBackColor(int control, forms::Colour colour) override;
    int maxLength(int control) const;
    void setMaxLength(int control, int maxLength);
    void setFocus(int control) override;
    bool value(int control) const;
    void setValue(int control, bool value) override;
    int msgBox(std::u16string_view prompt, int style, std::u16string_view title) override;
    bool fileExists(std::u16string_view name) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class Form;
    friend class Form;

    void createControls(const forms::FormDef &form);
    QLineEdit *edit(int control) const;
    int indexOf(const QObject *object) const;
    bool keyPress(int control, QKeyEvent *event);
    void formShown();
    void formStateChanged();
    bool formClosing(bool spontaneous);

    forms::Events *m_events = nullptr;
    QPointer<Form> m_form;
    std::vector<QWidget *> m_controls;
    std::vector<forms::Colour> m_backColors;
    bool m_ended = false;
    int m_exitCode = 0;
    bool m_sessionEnding = false;
    bool m_replacingKey = false;
    bool m_inLoop = false;
};
