// SPDX-FileCopyrightText: 2026 The codelook developers
// SPDX-License-Identifier: MIT

#pragma once

#include "formmodel.h"

#include <QFont>

// A font by its Windows face name: Times New Roman and MS Sans Serif where
// they are installed, otherwise the closest metric-compatible faces.
QFont windowFont(const forms::Font &font);
