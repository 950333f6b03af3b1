// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QFont>

enum class FontFace { Serif, Sans };

// The window's bold fonts: Times New Roman and MS Sans Serif where they are
// installed, otherwise the closest metric-compatible faces.
QFont windowFont(FontFace face, qreal pointSize);
