// The window's fonts by name ("Tahoma", "Courier New", "MS Sans Serif", "Arial"), with a
// metric-compatible or close stand-in where the machine lacks one.
#pragma once

#include <QFont>

#include "text/text.hpp"

namespace tw {

// The size of every font of the two windows, in points.
inline constexpr int kFontPointSize = 8;

// Registers the stand-ins for the named fonts that are not installed (Liberation Sans for
// Arial, Tahoma and MS Sans Serif; Liberation Mono for Courier New; else the generic
// families). Call once, after the application object exists.
void InstallFontSubstitutions();

// The font called `name`, at kFontPointSize.
QFont NamedFont(TextView name);

}  // namespace tw
