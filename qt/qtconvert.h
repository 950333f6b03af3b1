// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

// The window's texts and colours to Qt's and back.

#include "forms.h"

#include <QColor>
#include <QString>

#include <string_view>

inline QString toQString(std::u16string_view s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

inline QColor toQColor(forms::Colour c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline forms::Colour toColour(const QColor &c)
{
    return forms::Colour(c.red()) | forms::Colour(c.green()) << 8 | forms::Colour(c.blue()) << 16;
}
