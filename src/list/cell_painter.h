// Text drawing of the message list cells: fitting a text into a column and drawing it with the
// occurrences of the find text highlighted.
#pragma once

#include <QColor>
#include <QString>

class QFontMetrics;
class QPainter;
class QRect;

// Characters of a cell text considered when it has to be shortened to fit.
inline constexpr int kFitTextMaxChars = 269;

// The text unchanged when it fits into width with margin pixels to spare; otherwise its longest
// prefix (of at most 269 characters) that fits together with a trailing "...", plus "...".
QString FitText(const QFontMetrics& metrics, const QString& text, int width, int margin);

// Draws the text single-line, left-aligned and vertically centred in the rectangle without
// clipping. Every case-sensitive, non-overlapping occurrence of highlight is drawn red on
// green; an empty highlight draws the text plainly. Returns the drawn width.
int DrawHighlightedText(QPainter& painter, const QRect& rect, const QString& text,
                        const QString& highlight);
