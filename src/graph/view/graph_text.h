// Text on the graph as a window toolkit's aligned text output draws it: anchored at a point by
// its left, right or centre and its top, bottom or baseline, on an opaque background.
#pragma once

#include <QColor>
#include <QPainter>
#include <QRect>
#include <QString>
#include <optional>
#include <vector>

enum class TextAlignX { Left, Right, Centre };
enum class TextAlignY { Top, Bottom, Baseline };

// The rectangle the text's cell covers for this anchor with the painter's font.
QRect LabelRect(const QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
                const QString& text);
void DrawLabel(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
               const QString& text, const QColor& foreground, const QColor& background);

// Axis labels that never overlap: a label whose cell would touch one already drawn on the same
// axis is left out (its grid line stays), as is one whose glyphs would be cut at the top or the
// bottom of its band.
class AxisLabels {
  public:
    AxisLabels() = default;
    // top and bottom: the rows the labels' glyphs (cap height above the baseline) stay within.
    AxisLabels(int top, int bottom) : top_(top), bottom_(bottom) {}

    void Draw(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
              const QString& text, const QColor& foreground, const QColor& background);

  private:
    bool CutByBand(const QPainter& painter, const QRect& cell) const;

    std::optional<int> top_;
    std::optional<int> bottom_;
    std::vector<QRect> drawn_;
};
