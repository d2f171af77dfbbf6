#ifndef EMBLEM_H
#define EMBLEM_H

#include <QImage>

class QPainter;
class QPointF;

// The program's emblem: a ringed planet inside a clock dial whose rim is cut into segments
// like the header strips. Everything stays inside the circle of the given radius.
void drawEmblem(QPainter &painter, const QPointF &centre, qreal radius);

// The logo of the main window: the emblem on black, 134 x 112 at the given device pixel ratio,
// 8-bit indexed colour.
QImage logo(int ratio);

// The application icon: the emblem on a transparent ground, size x size pixels with alpha.
QImage applicationIcon(int size);

#endif // EMBLEM_H
