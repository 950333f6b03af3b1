// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "fonts.h"

#include "qtconvert.h"

#include <QStringList>

QFont windowFont(const forms::Font &def)
{
    static const bool substitutesInstalled = [] {
        QFont::insertSubstitutions(
            QStringLiteral("Times New Roman"),
            {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("DejaVu Serif")});
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                                    QStringLiteral("Arimo"), QStringLiteral("DejaVu Sans")});
        return true;
    }();
    Q_UNUSED(substitutesInstalled);

    QFont font(toQString(def.face));
    switch (def.family) {
    case forms::FontFamily::Serif:
        font.setStyleHint(QFont::Serif);
        break;
    case forms::FontFamily::Sans:
        font.setStyleHint(QFont::SansSerif);
        break;
    case forms::FontFamily::Any:
        break;
    }
    font.setPointSizeF(def.points);
    font.setBold(def.bold);
    return font;
}
