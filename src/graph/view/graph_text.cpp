#include "graph/view/graph_text.h"

#include <QFontMetrics>

QRect LabelRect(const QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
                const QString& text) {
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    int left = x;
    if (alignX == TextAlignX::Right) {
        left = x - width;
    } else if (alignX == TextAlignX::Centre) {
        left = x - width / 2;
    }
    int top = y;
    if (alignY == TextAlignY::Bottom) {
        top = y - height;
    } else if (alignY == TextAlignY::Baseline) {
        top = y - metrics.ascent();
    }
    return {left, top, width, height};
}

void DrawLabel(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
               const QString& text, const QColor& foreground, const QColor& background) {
    if (text.isEmpty()) {
        return;
    }
    const QRect cell = LabelRect(painter, x, y, alignX, alignY, text);
    painter.fillRect(cell, background);
    painter.setPen(foreground);
    painter.drawText(cell.left(), cell.top() + QFontMetrics(painter.font()).ascent(), text);
}

bool AxisLabels::CutByBand(const QPainter& painter, const QRect& cell) const {
    if (!top_ || !bottom_) {
        return false;
    }
    // Digits and units stand between the baseline and the cap height; the rest of the cell is
    // blank and may be cut.
    const QFontMetrics metrics(painter.font());
    const int baseline = cell.top() + metrics.ascent();
    return baseline - metrics.capHeight() < *top_ || baseline > *bottom_;
}

void AxisLabels::Draw(QPainter& painter, int x, int y, TextAlignX alignX, TextAlignY alignY,
                      const QString& text, const QColor& foreground, const QColor& background) {
    if (text.isEmpty()) {
        return;
    }
    // A gap of a few pixels keeps neighbours apart where their cells would just touch.
    const QRect cell = LabelRect(painter, x, y, alignX, alignY, text).adjusted(-2, 0, 2, 0);
    if (CutByBand(painter, cell)) {
        return;
    }
    for (const QRect& other : drawn_) {
        if (other.intersects(cell)) {
            return;
        }
    }
    drawn_.push_back(cell);
    DrawLabel(painter, x, y, alignX, alignY, text, foreground, background);
}
