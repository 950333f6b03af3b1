// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

// The runtime's colours: each control's pair from the form model's colour
// rule over the application palette (GNOME's through the GTK theme, KDE's,
// qt6ct's), again whenever that palette changes (the form's changeEvent).

#include "qtconvert.h"
#include "qtruntime.h"

#include <QApplication>
#include <QLineEdit>
#include <QPalette>

forms::PlatformColours QtRuntime::platformColours()
{
    // Qt's Base and Text are Windows' window colours (a box's ground), its
    // Window and WindowText the button face's (the form's).
    const QPalette palette = QApplication::palette();
    forms::PlatformColours p;
    p.window = toColour(palette.color(QPalette::Base));
    p.windowText = toColour(palette.color(QPalette::Text));
    p.buttonFace = toColour(palette.color(QPalette::Window));
    p.buttonText = toColour(palette.color(QPalette::WindowText));
    p.highlight = toColour(palette.color(QPalette::Highlight));
    p.highlightText = toColour(palette.color(QPalette::HighlightedText));
    return p;
}

void QtRuntime::applyColours()
{
    const forms::PlatformColours platform = platformColours();
    for (int i = 0; i < int(m_controls.size()); ++i)
        applyColours(i, platform);
}

void QtRuntime::applyColours(int control, const forms::PlatformColours &platform)
{
    // A push button paints in Button and ButtonText, which the table leaves
    // to the platform.
    if (m_model[control].kind == forms::Kind::CommandButton)
        return;
    QWidget *widget = m_controls.at(std::size_t(control));
    const forms::ColourPair pair = m_model.colours(control, platform);
    // A line edit paints its text area in Base; the other controls in Window.
    // Both roles are set on every control, so a frame's caption colour never
    // reaches what lies in it.
    const bool box = qobject_cast<QLineEdit *>(widget) != nullptr;
    QPalette palette = widget->palette();
    palette.setColor(box ? QPalette::Base : QPalette::Window, toQColor(pair.back));
    palette.setColor(box ? QPalette::Text : QPalette::WindowText, toQColor(pair.text));
    widget->setPalette(palette);
}
