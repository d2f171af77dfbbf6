#include "splash.h"

#include "headerstrip.h"
#include "look.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <cmath>
#include <random>

namespace {

const int width = 300;
const int height = 225;

// The planet fills the bottom; its horizon rises to its highest point left of the middle.
const QPointF planetCentre(110, 612);
const qreal planetRadius = 432;
// The sun, just below the horizon.
const QPointF sunrise(62, 186);

// Random numbers that are the same on every machine: the raw Mersenne twister output is fixed
// by the C++ standard, the library's distributions are not.
class Dice
{
public:
    qreal next() { return qreal(engine()) / 4294967296.0; }
    qreal between(qreal low, qreal high) { return low + (high - low) * next(); }

private:
    std::mt19937 engine{20131205};
};

// Smooth value noise in [0, 1] on an integer lattice, summed over octaves.
qreal lattice(int x, int y)
{
    quint32 h = quint32(x) * 374761393u + quint32(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xffff) / 65535.0;
}

qreal valueNoise(qreal x, qreal y)
{
    const int ix = qFloor(x);
    const int iy = qFloor(y);
    const qreal fx = x - ix;
    const qreal fy = y - iy;
    const qreal sx = fx * fx * (3 - 2 * fx);
    const qreal sy = fy * fy * (3 - 2 * fy);
    const qreal top = lattice(ix, iy) + sx * (lattice(ix + 1, iy) - lattice(ix, iy));
    const qreal bottom = lattice(ix, iy + 1) + sx * (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1));
    return top + sy * (bottom - top);
}

qreal clouds(qreal x, qreal y)
{
    qreal sum = 0;
    qreal amplitude = 0.5;
    for (int octave = 0; octave < 5; ++octave) {
        sum += amplitude * valueNoise(x, y);
        x = x * 2 + 17.3;
        y = y * 2 + 5.1;
        amplitude /= 2;
    }
    return sum / 0.96875;
}

qreal smoothStep(qreal edge0, qreal edge1, qreal x)
{
    const qreal t = qBound<qreal>(0, (x - edge0) / (edge1 - edge0), 1);
    return t * t * (3 - 2 * t);
}

// How close a point lies to the band of the galaxy, which runs from lower left to upper right.
qreal bandWeight(qreal x, qreal y)
{
    const qreal distance = (0.45 * x + y - 190) / std::sqrt(1 + 0.45 * 0.45);
    return std::exp(-distance * distance / (2 * 38.0 * 38.0));
}

// Where a pixel of the picture drawn at the given ratio takes its colour from, in the picture's
// own coordinates: at ratio 1 the pixel's top left corner, at ratio 2 the places that keep the
// pixel centres of both pictures over the same art.
qreal samplePoint(int pixel, int ratio)
{
    return (pixel + 0.5) / ratio - 0.5;
}

// Deep blue night with a violet and blue nebula along the galaxy's band.
void paintSky(QImage &image, int ratio)
{
    for (int row = 0; row < image.height(); ++row) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        const qreal y = samplePoint(row, ratio);
        for (int column = 0; column < image.width(); ++column) {
            const qreal x = samplePoint(column, ratio);
            const qreal depth = y / qreal(height);
            qreal r = 2 + 6 * depth;
            qreal g = 3 + 8 * depth;
            qreal b = 10 + 22 * depth;

            const qreal density = smoothStep(0.42, 0.85, clouds(x / 46.0, y / 46.0))
                                  * bandWeight(x, y);
            const qreal tint = clouds(x / 70.0 + 40, y / 70.0 + 40);
            r += density * (70 + 60 * tint);
            g += density * (40 + 40 * (1 - tint));
            b += density * (150 + 40 * (1 - tint));
            // A warm glow where the cloud is thickest.
            const qreal core = smoothStep(0.62, 0.9, clouds(x / 46.0, y / 46.0)) * bandWeight(x, y);
            r += core * 90;
            g += core * 40;

            line[column] = qRgb(qMin(255, qRound(r)), qMin(255, qRound(g)), qMin(255, qRound(b)));
        }
    }
}

void paintStar(QPainter &p, const QPointF &at, qreal brightness, const QColor &tint)
{
    QColor core = tint;
    core.setAlphaF(qMin<qreal>(1, brightness));
    if (brightness < 0.55) {
        p.setBrush(core);
        p.drawEllipse(at, 0.55, 0.55);
        return;
    }
    const qreal glowRadius = 1 + 3.5 * (brightness - 0.55);
    QRadialGradient glow(at, glowRadius);
    glow.setColorAt(0, core);
    glow.setColorAt(0.35, QColor(tint.red(), tint.green(), tint.blue(), int(90 * brightness)));
    glow.setColorAt(1, QColor(tint.red(), tint.green(), tint.blue(), 0));
    p.setBrush(glow);
    p.drawEllipse(at, glowRadius, glowRadius);
}

void paintSparkle(QPainter &p, const QPointF &at, qreal arm)
{
    for (int vertical = 0; vertical < 2; ++vertical) {
        const QPointF direction = vertical ? QPointF(0, arm) : QPointF(arm, 0);
        QLinearGradient ray(at - direction, at + direction);
        ray.setColorAt(0, QColor(255, 255, 255, 0));
        ray.setColorAt(0.5, QColor(255, 255, 255, 220));
        ray.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(QPen(QBrush(ray), 1));
        p.drawLine(at - direction, at + direction);
    }
    p.setPen(Qt::NoPen);
    paintStar(p, at, 1, Qt::white);
}

void paintStars(QPainter &p)
{
    Dice dice;
    const QColor tints[] = {QColor(255, 255, 255), QColor(0xcf, 0xe0, 0xff),
                            QColor(0xff, 0xe4, 0xc4), QColor(0xdd, 0xd4, 0xff)};
    p.setPen(Qt::NoPen);
    // The band of the galaxy holds many faint stars, the rest of the sky fewer, brighter ones.
    for (int i = 0; i < 900; ++i) {
        const QPointF at(dice.between(0, width), dice.between(0, height));
        const bool inBand = dice.next() < bandWeight(at.x(), at.y());
        const qreal magnitude = std::pow(dice.next(), inBand ? 5.0 : 7.0);
        if (!inBand && i % 3 != 0)
            continue;
        const QColor tint = tints[int(dice.next() * 4) % 4];
        paintStar(p, at, 0.18 + 0.9 * magnitude, tint);
    }
    paintSparkle(p, QPointF(246, 38), 7);
    paintSparkle(p, QPointF(31, 58), 4.5);
    paintSparkle(p, QPointF(191, 139), 3.5);
}

void paintSunrise(QPainter &p)
{
    p.save();
    p.translate(sunrise);
    p.scale(1.9, 1);
    QRadialGradient glow(QPointF(0, 0), 90);
    glow.setColorAt(0, QColor(255, 244, 214, 255));
    glow.setColorAt(0.06, QColor(255, 214, 140, 230));
    glow.setColorAt(0.22, QColor(234, 133, 0, 120));
    glow.setColorAt(0.55, QColor(160, 60, 90, 40));
    glow.setColorAt(1, QColor(80, 30, 90, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(0, 0), 90, 90);
    p.restore();
}

// The night side of the planet with its cloud bands, lit only near the sun; transparent
// outside the disc, with an edge one pixel wide.
QImage planetSurface(int ratio)
{
    QImage image(width * ratio, height * ratio, QImage::Format_ARGB32);
    image.setDevicePixelRatio(ratio);
    for (int row = 0; row < image.height(); ++row) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(row));
        const qreal y = samplePoint(row, ratio);
        for (int column = 0; column < image.width(); ++column) {
            const qreal x = samplePoint(column, ratio);
            const QPointF fromCentre = QPointF(x + 0.5, y + 0.5) - planetCentre;
            const qreal distance = std::hypot(fromCentre.x(), fromCentre.y());
            const qreal coverage = qBound<qreal>(0, (planetRadius - distance) * ratio + 0.5, 1);
            if (coverage == 0) {
                line[column] = 0;
                continue;
            }
            // Bands follow the curve of the horizon and crowd together towards it.
            const qreal depth = planetRadius - distance;
            const qreal along = std::atan2(fromCentre.x(), -fromCentre.y()) * planetRadius;
            const qreal across = std::sqrt(qMax<qreal>(0, depth)) * 3;
            const qreal cloud = smoothStep(0.45, 0.8, clouds(along / 120.0, across / 2.6));

            const QPointF fromSun = QPointF(x, y) - sunrise;
            const qreal light = 0.12 + 0.95 * std::exp(-std::hypot(fromSun.x() * 0.7, fromSun.y())
                                                       / 70.0);
            const qreal warmth = std::exp(-std::hypot(fromSun.x() * 0.8, fromSun.y()) / 45.0);
            const qreal r = (14 + 95 * cloud) * light + 120 * warmth * (0.4 + cloud);
            const qreal g = (22 + 125 * cloud) * light + 60 * warmth * (0.4 + cloud);
            const qreal b = (64 + 160 * cloud) * light + 10 * warmth;
            line[column] = qRgba(qMin(255, qRound(r)), qMin(255, qRound(g)), qMin(255, qRound(b)),
                                 qRound(255 * coverage));
        }
    }
    return image;
}

void paintPlanet(QPainter &p, int ratio)
{
    p.drawImage(0, 0, planetSurface(ratio));

    // The atmosphere: a thin bright rim, warm near the sun and pale blue away from it.
    QPainterPath limb;
    limb.addEllipse(planetCentre, planetRadius, planetRadius);
    QLinearGradient rimColour(sunrise.x() - 150, 0, sunrise.x() + 260, 0);
    rimColour.setColorAt(0, QColor(0x9f, 0xc9, 0xf2, 120));
    rimColour.setColorAt(0.3, QColor(255, 226, 170, 255));
    rimColour.setColorAt(0.45, QColor(0xf2, 0xa6, 0x5a, 200));
    rimColour.setColorAt(0.75, QColor(0x9f, 0xc9, 0xf2, 150));
    rimColour.setColorAt(1, QColor(0x5f, 0x86, 0xd9, 90));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rimColour), 1.4));
    p.drawPath(limb);
    for (int layer = 1; layer <= 4; ++layer) {
        p.setOpacity(0.22 / layer);
        p.setPen(QPen(QBrush(rimColour), 1.4 + 2.2 * layer));
        p.drawPath(limb);
    }
    p.setOpacity(1);
}

void paintTitle(QPainter &p)
{
    const QString name = QStringLiteral("Sternzeit");
    const QFont font = narrowFont(40);
    QPainterPath text;
    text.addText(0, 0, font, name);
    const QRectF box = text.boundingRect();
    text.translate(QPointF((width - box.width()) / 2 - box.left(), 92));
    const QRectF placed = text.boundingRect();

    // A soft dark halo keeps the letters clear of the stars behind them.
    for (int layer = 6; layer >= 1; --layer) {
        p.setPen(QPen(QColor(0, 0, 10, 34), 2.5 * layer, Qt::SolidLine, Qt::RoundCap,
                      Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(text);
    }

    QLinearGradient fill(0, placed.top(), 0, placed.bottom());
    fill.setColorAt(0, QColor(255, 236, 190));
    fill.setColorAt(0.45, QColor(Colours::gold));
    fill.setColorAt(0.5, QColor(Colours::orange));
    fill.setColorAt(1, QColor(Colours::rust));
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(text);

    const QRectF strip(placed.left(), placed.bottom() + 9, placed.width(), 7);
    paintStrip(p, strip,
               {{StripPiece::Bar, 46, Colours::orange},
                {StripPiece::Bar, 18, Colours::violet},
                {StripPiece::Bar, 0, Colours::apricot},
                {StripPiece::Bar, 26, Colours::paleBlue},
                {StripPiece::Bar, 34, Colours::orange}});

    QFont small = narrowFont(6.5, QFont::Normal);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    p.setFont(small);
    p.setPen(QColor(Colours::paleBlue));
    p.drawText(QRectF(0, strip.bottom() + 5, width, 12), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("DATUM UND UHRZEIT ALS STERNZEIT"));
}

} // namespace

QImage splashPicture(int ratio)
{
    QImage image(width * ratio, height * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    paintSky(image, ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintStars(painter);
    paintSunrise(painter);
    paintPlanet(painter, ratio);
    paintTitle(painter);
    return image;
}
