// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include "lookup.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The program's one window. Three frames of the window's size lie on top of
// one another: Frame3, the choice of mode, is shown at start; picking a mode
// shows its panel (Frame1 code to name, Frame2 name to code) and hides the
// choice for the rest of the run. Each panel's SEARCH hands its two boxes to
// codelook::Lookup, which reads codelook.txt from the current directory.
//
// The handlers keep the names under which the program's behaviour is
// documented: control, underscore, event.
class frmMain : public QWidget
{
    Q_OBJECT

public:
    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // Centres the window and checks that the list is there. False when it is
    // not: the user has been told, and the program should end unshown.
    bool Form_Load();

    static int Upper(int &KeyAscii);

    static QString startupCaption();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    // The session is ending (log-off, shutdown): closes must go through.
    void sessionEnding() { m_sessionEnding = true; }

private:
    void createControls();
    void Form_Resize();
    void Form_QueryUnload(QCloseEvent *event);
    void Option1_GotFocus(int index);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Text1_KeyDown();
    void Text3_KeyDown();
    void Text1_KeyPress(int &KeyAscii);
    void Text3_KeyPress(int &KeyAscii);
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    void Text4_Change();

    bool filterKeyPress(QLineEdit *box, QKeyEvent *event);
    void clearPanel(QLineEdit *input, QLineEdit *output);
    void reportUnreadable(const codelook::SearchResult &result);

    codelook::Lookup m_lookup;
    bool m_sessionEnding = false;

    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QGroupBox *Frame3 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *Text3 = nullptr;
    QLineEdit *Text4 = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QRadioButton *Option1[2] = {};
};
