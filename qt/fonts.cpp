// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "fonts.h"

#include <QStringList>

QFont windowFont(FontFace face, qreal pointSize)
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

    QFont font(face == FontFace::Serif ? QStringLiteral("Times New Roman") : QStringLiteral("MS Sans Serif"));
    font.setStyleHint(face == FontFace::Serif ? QFont::Serif : QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(true);
    return font;
}
