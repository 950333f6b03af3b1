// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#include "fonts.h"

#include <QStringList>

QFont windowFont(const QString &face, qreal pointSize, bool bold)
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

    QFont font(face);
    font.setStyleHint(face.contains(QLatin1StringView("Sans")) ? QFont::SansSerif : QFont::Serif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
