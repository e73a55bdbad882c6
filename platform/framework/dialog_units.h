#pragma once
// Dialog units as Windows computes them: the base units of a font are the
// average width of the 52 Latin letters and the character height; a
// horizontal dialog unit is a quarter of the base width, a vertical one an
// eighth of the base height.

#include "platform/framework/layout.h"

#include <QFont>

namespace platform::detail {

struct BaseUnits {
    int x = 1;  // average character width, pixels
    int y = 1;  // character height, pixels
};

// The Qt font for a layout font; "MS Sans Serif" is served by Liberation Sans,
// which has its metrics.
QFont qtFont(const Font& font);
BaseUnits baseUnits(const QFont& font);

// a * b / c rounded to the nearest integer, halves away from zero (Windows MulDiv).
int mulDiv(int a, int b, int c);

int duToPxX(int du, const BaseUnits& units);
int duToPxY(int du, const BaseUnits& units);
int pxToDuX(int px, const BaseUnits& units);
int pxToDuY(int px, const BaseUnits& units);

}  // namespace platform::detail
