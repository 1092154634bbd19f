// Conversions between the program's text and Qt's: strings, line ends (CR LF in the program,
// LF in a Qt text widget), file-dialog filters and colours.
#pragma once

#include <QColor>
#include <QString>
#include <cstdint>

#include "text/text.hpp"

namespace tw {

QString ToQString(TextView text);
Text FromQString(const QString& text);

// For showing: CR LF and a lone CR become one LF.
QString ToDisplayText(TextView text);
// Back from a text widget: every LF becomes CR LF (a CR LF already there stays as it is).
Text FromDisplayText(const QString& text);
// The position in the shown text of the character at `position` in the program's text.
int DisplayPosition(TextView text, int32_t position);

// A button or check-box caption with "&" kept as a literal character.
QString ToCaption(TextView caption);

// "description (*.a, *.b) | *.a;*.b" (pairs joined by "|") in Qt's form,
// "description (*.a *.b)", several filters joined by ";;".
QString ToQtFileFilter(TextView filter);

// 0xRRGGBB.
QColor ToQColor(uint32_t rgb);

}  // namespace tw
