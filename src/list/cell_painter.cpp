#include "list/cell_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

QString FitText(const QFontMetrics& metrics, const QString& text, int width, int margin) {
    if (metrics.horizontalAdvance(text) + margin <= width) {
        return text;
    }
    const QString ellipsis = QStringLiteral("...");
    const QString limited = text.left(kFitTextMaxChars);
    const int budget = width - margin - metrics.horizontalAdvance(ellipsis);
    // Largest prefix that fits; prefix widths grow with their length, so a binary search finds
    // the same prefix as dropping characters from the end one at a time.
    int low = 0;
    int high = static_cast<int>(limited.size());
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (metrics.horizontalAdvance(limited.left(middle)) <= budget) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return limited.left(low) + ellipsis;
}

int DrawHighlightedText(QPainter& painter, const QRect& rect, const QString& text,
                        const QString& highlight) {
    constexpr int kFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
    const QFontMetrics metrics = painter.fontMetrics();
    if (highlight.isEmpty()) {
        painter.drawText(rect, kFlags, text);
        return metrics.horizontalAdvance(text);
    }
    int x = rect.left();
    qsizetype from = 0;
    auto drawPiece = [&](const QString& piece, bool highlighted) {
        const int pieceWidth = metrics.horizontalAdvance(piece);
        const QRect pieceRect(x, rect.top(), pieceWidth, rect.height());
        if (highlighted) {
            painter.save();
            painter.fillRect(pieceRect, QColor(0, 255, 0));
            painter.setPen(QColor(255, 0, 0));
            painter.drawText(pieceRect, kFlags, piece);
            painter.restore();
        } else {
            painter.drawText(pieceRect, kFlags, piece);
        }
        x += pieceWidth;
    };
    while (from <= text.size()) {
        const qsizetype hit = text.indexOf(highlight, from, Qt::CaseSensitive);
        if (hit < 0) {
            break;
        }
        if (hit > from) {
            drawPiece(text.mid(from, hit - from), false);
        }
        drawPiece(text.mid(hit, highlight.size()), true);
        from = hit + highlight.size();
    }
    if (from < text.size()) {
        drawPiece(text.mid(from), false);
    }
    return x - rect.left();
}
