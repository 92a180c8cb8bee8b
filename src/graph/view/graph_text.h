// Text on the graph as a window toolkit's aligned text output draws it: anchored at a point by
// its left, right or centre and its top, bottom or baseline, on an opaque background.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>

enum class TextAlignX { Left, Right, Centre };
enum class TextAlignY { Top, Bottom, Baseline };

// The rectangle the text's cell covers for this anchor with the painter's font.
QRect LabelRect(const QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
                const QString& text);
void DrawLabel(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
               const QString& text, const QColor& foreground, const QColor& background);
