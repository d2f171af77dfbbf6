#include "headerstrip.h"

#include "look.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {

// The outline of a block whose left and/or right end is a half circle.
QPainterPath blockPath(const QRectF &rect, bool roundLeft, bool roundRight)
{
    const qreal r = rect.height() / 2;
    QPainterPath path;
    path.moveTo(rect.left() + (roundLeft ? r : 0), rect.top());
    path.lineTo(rect.right() - (roundRight ? r : 0), rect.top());
    if (roundRight)
        path.arcTo(QRectF(rect.right() - 2 * r, rect.top(), 2 * r, 2 * r), 90, -180);
    else
        path.lineTo(rect.right(), rect.bottom());
    path.lineTo(rect.left() + (roundLeft ? r : 0), rect.bottom());
    if (roundLeft)
        path.arcTo(QRectF(rect.left(), rect.top(), 2 * r, 2 * r), 270, -180);
    else
        path.lineTo(rect.left(), rect.top());
    path.closeSubpath();
    return path;
}

} // namespace

void paintStrip(QPainter &painter, const QRectF &rect, const QVector<StripPiece> &pieces)
{
    const qreal barHeight = rect.height();
    const qreal gap = qMax<qreal>(2, barHeight / 5);
    const QFont titleFont = narrowFont(barHeight * 0.78);
    const QFont codeFont = narrowFont(barHeight * 0.5, QFont::DemiBold);

    // Titles take their measured width, one piece of width 0 takes the rest.
    QVector<qreal> widths;
    qreal used = gap * (pieces.size() - 1);
    int flexible = -1;
    for (int i = 0; i < pieces.size(); ++i) {
        const StripPiece &piece = pieces.at(i);
        qreal w = piece.width;
        if (piece.kind == StripPiece::Title)
            w = QFontMetricsF(titleFont).boundingRect(QRectF(), 0, piece.text).width()
                + 0.6 * barHeight;
        else if (w == 0)
            flexible = i;
        widths.append(w);
        used += w;
    }
    if (flexible >= 0)
        widths[flexible] = qMax<qreal>(0, rect.width() - used);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    qreal x = rect.left();
    for (int i = 0; i < pieces.size(); ++i) {
        const StripPiece &piece = pieces.at(i);
        const QRectF pieceRect(x, rect.top(), widths.at(i), barHeight);
        x += widths.at(i) + gap;

        if (piece.kind == StripPiece::Title) {
            painter.setFont(titleFont);
            painter.setPen(QColor(piece.colour));
            painter.drawText(pieceRect, Qt::AlignCenter, piece.text);
            continue;
        }

        const bool pill = piece.kind == StripPiece::Pill;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(piece.colour));
        painter.drawPath(blockPath(pieceRect, pill || i == 0, pill || i == pieces.size() - 1));
        if (!piece.text.isEmpty()) {
            // Codes sit low and to the right, as on a panel label.
            painter.setFont(codeFont);
            painter.setPen(Qt::black);
            const QRectF textRect =
                pieceRect.adjusted(0, 0, -barHeight * 0.25, -barHeight * 0.08);
            painter.drawText(textRect, Qt::AlignRight | Qt::AlignBottom, piece.text);
        }
    }
    painter.restore();
}

QImage headerStrip(int width, int height, int barHeight, const QVector<StripPiece> &pieces,
                   int ratio)
{
    QImage image(width * ratio, height * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    paintStrip(painter, QRectF(0, (height - barHeight) / 2.0, width, barHeight), pieces);
    return image;
}
