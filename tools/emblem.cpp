#include "emblem.h"

#include "debiantools.h"
#include "look.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

QPointF polar(const QPointF &centre, qreal radius, qreal degrees)
{
    const qreal a = qDegreesToRadians(degrees);
    return centre + QPointF(radius * qCos(a), -radius * qSin(a));
}

void drawFace(QPainter &p, const QPointF &c, qreal r)
{
    QRadialGradient face(c + QPointF(-0.25 * r, -0.3 * r), 1.1 * r);
    face.setColorAt(0, QColor(0x16, 0x1d, 0x3e));
    face.setColorAt(0.7, QColor(0x0a, 0x0c, 0x1e));
    face.setColorAt(1, QColor(0x04, 0x04, 0x0a));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(c, r, r);
}

// The rim: four arcs with a gap at each quarter hour, and the twelve hour ticks inside it.
void drawDial(QPainter &p, const QPointF &c, qreal r)
{
    const qreal rimWidth = 0.15 * r;
    const qreal rimRadius = r - rimWidth / 2;
    const QRectF rimRect(c.x() - rimRadius, c.y() - rimRadius, 2 * rimRadius, 2 * rimRadius);
    const QRgb quarters[] = {Colours::orange, Colours::paleBlue, Colours::violet, Colours::apricot};
    const qreal gapDegrees = 9;
    for (int q = 0; q < 4; ++q) {
        p.setPen(QPen(QColor(quarters[q]), rimWidth, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(rimRect, qRound((q * 90 + gapDegrees / 2) * 16),
                  qRound((90 - gapDegrees) * 16));
    }

    for (int hour = 0; hour < 12; ++hour) {
        const qreal angle = 90 - hour * 30;
        const bool quarter = hour % 3 == 0;
        const qreal outer = r - rimWidth - 0.05 * r;
        const qreal inner = outer - (quarter ? 0.13 : 0.07) * r;
        p.setPen(QPen(QColor(quarter ? Colours::gold : Colours::apricot),
                      (quarter ? 0.045 : 0.03) * r, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(polar(c, inner, angle), polar(c, outer, angle));
    }
}

void drawSparkle(QPainter &p, const QPointF &at, qreal size)
{
    QRadialGradient glow(at, size);
    glow.setColorAt(0, QColor(255, 255, 255, 200));
    glow.setColorAt(0.25, QColor(0xbf, 0xdc, 0xff, 90));
    glow.setColorAt(1, QColor(0x9f, 0xc9, 0xf2, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, size, size);

    QPainterPath star;
    const qreal arm = size;
    const qreal waist = size * 0.12;
    star.moveTo(at + QPointF(0, -arm));
    star.lineTo(at + QPointF(waist, -waist));
    star.lineTo(at + QPointF(arm, 0));
    star.lineTo(at + QPointF(waist, waist));
    star.lineTo(at + QPointF(0, arm));
    star.lineTo(at + QPointF(-waist, waist));
    star.lineTo(at + QPointF(-arm, 0));
    star.lineTo(at + QPointF(-waist, -waist));
    star.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(star);
}

// The planet's ring as a band around the origin of a tilted coordinate system; the clip decides
// whether the half behind or the half in front of the planet is drawn.
void drawRing(QPainter &p, qreal r)
{
    QLinearGradient band(-0.7 * r, 0, 0.7 * r, 0);
    band.setColorAt(0, QColor(Colours::rust));
    band.setColorAt(0.35, QColor(Colours::orange));
    band.setColorAt(0.6, QColor(Colours::gold));
    band.setColorAt(1, QColor(Colours::orange));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(band), 0.07 * r));
    p.drawEllipse(QPointF(0, 0), 0.68 * r, 0.17 * r);
    p.setPen(QPen(QColor(Colours::apricot), 0.02 * r));
    p.drawEllipse(QPointF(0, 0), 0.56 * r, 0.12 * r);
}

void drawPlanet(QPainter &p, const QPointF &c, qreal r)
{
    const qreal pr = 0.38 * r;
    QRadialGradient body(c + QPointF(-0.4 * pr, -0.45 * pr), 1.45 * pr);
    body.setColorAt(0, QColor(0xe0, 0xf0, 0xff));
    body.setColorAt(0.18, QColor(0x9f, 0xc9, 0xf2));
    body.setColorAt(0.5, QColor(0x4f, 0x6f, 0xc8));
    body.setColorAt(0.78, QColor(0x3a, 0x26, 0x86));
    body.setColorAt(1, QColor(0x12, 0x0a, 0x2c));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(c, pr, pr);

    // Faint cloud bands, following the ring's tilt.
    p.save();
    QPainterPath disc;
    disc.addEllipse(c, pr, pr);
    p.setClipPath(disc);
    p.translate(c);
    p.rotate(-18);
    p.setBrush(Qt::NoBrush);
    const qreal bands[] = {-0.55, -0.2, 0.3, 0.62};
    for (qreal y : bands) {
        p.setPen(QPen(QColor(255, 255, 255, 28), 0.09 * pr));
        p.drawLine(QPointF(-pr, y * pr), QPointF(pr, y * pr));
    }
    p.restore();
}

} // namespace

void drawEmblem(QPainter &p, const QPointF &centre, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    drawFace(p, centre, radius);

    const QPointF stars[] = {{-0.45, -0.25}, {-0.2, -0.6}, {0.15, 0.62}, {-0.55, 0.3},
                             {0.6, 0.28}, {0.32, -0.18}, {-0.1, 0.45}};
    p.setPen(Qt::NoPen);
    for (const QPointF &s : stars) {
        p.setBrush(QColor(255, 255, 255, 150));
        p.drawEllipse(centre + s * radius, 0.013 * radius + 0.4, 0.013 * radius + 0.4);
    }

    drawDial(p, centre, radius);

    p.save();
    p.translate(centre);
    p.rotate(-18);
    p.setClipRect(QRectF(-radius, -radius, 2 * radius, radius));
    drawRing(p, radius);
    p.restore();

    drawPlanet(p, centre, radius);

    p.save();
    p.translate(centre);
    p.rotate(-18);
    p.setClipRect(QRectF(-radius, 0, 2 * radius, radius));
    drawRing(p, radius);
    p.restore();

    drawSparkle(p, centre + QPointF(0.4, -0.42) * radius, 0.14 * radius);
    p.restore();
}

QImage logo(int ratio)
{
    QImage image(134 * ratio, 112 * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    QPainter painter(&image);
    drawEmblem(painter, QPointF(67, 56), 54);
    painter.end();
    return toIndexed256(image);
}

QImage applicationIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    // Half a pixel inside the edge, so that the rim's antialiasing is not cut off.
    drawEmblem(painter, QPointF(size / 2.0, size / 2.0), size / 2.0 - 0.5);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}
