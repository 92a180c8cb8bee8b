// Conversions between the stored font record (LOGFONTW layout) and a Qt font.
#pragma once

#include <QFont>

#include "settings/log_font.h"

// Face, pixel height (the absolute value of the record's height), weight, italic, underline,
// strike-out, fixed pitch and family class. A zero height keeps Qt's default size.
QFont FontFromLogFont(const LogFontRecord& record);

// The record of a Qt font: height = minus the character height in pixels (from the point size
// at 96 dots per inch when the font is sized in points), default character set, face cut to 31
// UTF-16 units.
LogFontRecord LogFontFromFont(const QFont& font);
