#pragma once
// Colours and fonts of the editor configuration as Qt values.

#include <QColor>
#include <QFont>
#include <QPalette>

#include "model/ColorNames.h"
#include "model/TConfigFont.h"

// A configuration colour: red + 256 * green + 65536 * blue, or a Windows
// system colour (0xFF000000 + index) taken from the application palette. An
// invalid QColor for clNone, clDefault and any other value, which means
// "leave the default".
QColor QColorFromConfig(TColor color);
// The palette group and role that stand for a Windows system-colour index;
// false for an index without one.
bool SystemColorRole(unsigned index, QPalette::ColorGroup& group, QPalette::ColorRole& role);
// A configuration font (name, size in points, styles; the colour is separate).
QFont QFontFromConfig(const TConfigFont& font);
