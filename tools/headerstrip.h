#ifndef HEADERSTRIP_H
#define HEADERSTRIP_H

#include <QImage>
#include <QRgb>
#include <QString>
#include <QVector>

// One piece of a header strip. Pieces are laid out from left to right with a narrow black gap
// between them; the first and the last piece end in a half circle.
struct StripPiece
{
    enum Kind {
        Bar,   // a coloured block, its code (if any) in black at its right end
        Pill,  // a short block rounded at both ends
        Title, // a word in the piece's colour on the black background
    };

    Kind kind;
    int width; // 0: takes what the other pieces leave; ignored for a title, which is measured
    QRgb colour;
    QString text = QString();
};

class QPainter;
class QRectF;

// Paints the pieces as bars filling the height of the given rectangle; the gaps stay unpainted.
void paintStrip(QPainter &painter, const QRectF &rect, const QVector<StripPiece> &pieces);

// The retro console style strip along the top and bottom edge of a window: black, with the
// pieces as bars barHeight pixels high, centred vertically; drawn for a screen of the given
// device pixel ratio, so at ratio 2 it has twice the pixels each way.
QImage headerStrip(int width, int height, int barHeight, const QVector<StripPiece> &pieces,
                   int ratio);

#endif // HEADERSTRIP_H
