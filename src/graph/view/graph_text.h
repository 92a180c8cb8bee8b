// Text on the graph as a window toolkit's aligned text output draws it: anchored at a point by
// its left, right or centre and its top, bottom or baseline, on an opaque background.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>
#include <vector>

enum class TextAlignX { Left, Right, Centre };
enum class TextAlignY { Top, Bottom, Baseline };

// The rectangle the text's cell covers for this anchor with the painter's font.
QRect LabelRect(const QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
                const QString& text);
void DrawLabel(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
               const QString& text, const QColor& foreground, const QColor& background);

// Axis labels that never overlap: a label whose cell would touch one already drawn on the same
// axis is left out (its grid line stays).
class AxisLabels {
  public:
    void Draw(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
              const QString& text, const QColor& foreground, const QColor& background);

  private:
    std::vector<QRect> drawn_;
};
