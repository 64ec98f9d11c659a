// Dialog units. A template places controls in units of the dialog's font, so that a layout
// scales with its font: horizontally a quarter of the font's average character width,
// vertically an eighth of its character height (the Windows rule, with its rounding).
#pragma once

#include <QFont>
#include <QRect>
#include <string>

#include "framework/messages.h"

struct DialogBaseUnits {
    int charWidth = 0;   // average width of the Latin letters, rounded
    int charHeight = 0;  // the font's line height
};

// The template's font on this system: the Windows shell dialog font is replaced by a
// metric-compatible sans font, falling back to the default sans font if it is missing.
QFont DialogFont(const std::string& face, int pointSize);

DialogBaseUnits BaseUnitsOf(const QFont& font);

// number * numerator / denominator rounded half away from zero (denominator > 0).
int MulDiv(int number, int numerator, int denominator);

// A rectangle in dialog units to logical pixels; each edge is converted on its own.
QRect MapDialogRect(const RECT& rect, DialogBaseUnits units);
