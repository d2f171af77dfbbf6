#include "svgpainting.h"

#include <QBrush>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPen>
#include <QTextStream>

namespace {

QString number(qreal value)
{
    QString text = QString::number(value, 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

QString pathData(const QPainterPath &path)
{
    QStringList parts;
    QPointF start;
    QPointF last;
    // Qt closes a subpath by returning to its start; SVG needs to be told, or a stroke gets ends.
    const auto closeIfReturned = [&] {
        if (!parts.isEmpty() && last == start)
            parts.append(QStringLiteral("Z"));
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        const QString point = number(e.x) + QLatin1Char(' ') + number(e.y);
        if (e.isMoveTo()) {
            closeIfReturned();
            parts.append(QLatin1String("M") + point);
            start = e;
        } else if (e.isLineTo()) {
            parts.append(QLatin1String("L") + point);
        } else if (e.isCurveTo()) {
            parts.append(QLatin1String("C") + point);
        } else {
            parts.append(point);
        }
        last = e;
    }
    closeIfReturned();
    return parts.join(QLatin1Char(' '));
}

// Path operations turn curves into short lines; done sixteen times larger, the lines stay finer
// than the picture is ever shown.
QPainterPath intersected(const QPainterPath &path, const QPainterPath &area)
{
    const QTransform up = QTransform::fromScale(16, 16);
    return up.inverted().map(up.map(path).intersected(up.map(area)));
}

QString colourText(const QColor &colour)
{
    return colour.name(QColor::HexRgb);
}

} // namespace

class SvgEngine : public QPaintEngine
{
public:
    SvgEngine() : QPaintEngine(AllFeatures) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState &changed) override;
    void drawPath(const QPainterPath &path) override;
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override;
    // The emblem draws no images.
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}

    QString definitions;
    QString body;

private:
    QString paint(const QBrush &brush, const char *property);
    QString strokeAttributes(const QPen &pen);
    void clipTo(const QPainterPath &path, const QPaintEngineState &changed);
    void writeElement(const QPainterPath &path, const QString &paintAttributes);
    void write(const QPainterPath &path, bool fill);

    QPainterPath clip; // in the document's coordinates
    bool clipped = false;
    bool clipEnabled = true;
    int ids = 0;
};

void SvgEngine::updateState(const QPaintEngineState &changed)
{
    const QPaintEngine::DirtyFlags flags = changed.state();
    if (flags & DirtyClipEnabled)
        clipEnabled = changed.isClipEnabled();
    if (flags & DirtyClipPath)
        clipTo(changed.clipPath(), changed);
    if (flags & DirtyClipRegion) {
        QPainterPath path;
        path.addRegion(changed.clipRegion());
        clipTo(path, changed);
    }
}

// A clip comes in the coordinates of the transform it was set under (which a restoring painter
// hands over with it); it is kept in the document's own.
void SvgEngine::clipTo(const QPainterPath &path, const QPaintEngineState &changed)
{
    const Qt::ClipOperation operation = changed.clipOperation();
    const QPainterPath placed = changed.transform().map(path);
    if (operation == Qt::NoClip) {
        clipped = false;
        return;
    }
    clip = operation == Qt::IntersectClip && clipped ? clip.intersected(placed) : placed;
    clipped = true;
}

// The fill or stroke attribute for a brush; gradients are defined in the element's own user
// space, as QPainter places them in logical coordinates.
QString SvgEngine::paint(const QBrush &brush, const char *property)
{
    const QString name = QLatin1String(property);
    if (brush.style() == Qt::SolidPattern) {
        QString text = QStringLiteral(" %1=\"%2\"").arg(name, colourText(brush.color()));
        if (brush.color().alpha() != 255)
            text += QStringLiteral(" %1-opacity=\"%2\"").arg(name, number(brush.color().alphaF()));
        return text;
    }
    const QGradient *gradient = brush.gradient();
    if (!gradient || (gradient->type() != QGradient::LinearGradient
                      && gradient->type() != QGradient::RadialGradient))
        return QStringLiteral(" %1=\"none\"").arg(name);

    const QString id = QStringLiteral("g%1").arg(++ids);
    QTextStream out(&definitions);
    if (gradient->type() == QGradient::LinearGradient) {
        const auto *linear = static_cast<const QLinearGradient *>(gradient);
        out << QStringLiteral(R"(<linearGradient id="%1" gradientUnits="userSpaceOnUse" )"
                              R"(x1="%2" y1="%3" x2="%4" y2="%5">)")
                   .arg(id, number(linear->start().x()), number(linear->start().y()),
                        number(linear->finalStop().x()), number(linear->finalStop().y()));
    } else {
        const auto *radial = static_cast<const QRadialGradient *>(gradient);
        out << QStringLiteral(R"(<radialGradient id="%1" gradientUnits="userSpaceOnUse" )"
                              R"(cx="%2" cy="%3" r="%4" fx="%5" fy="%6">)")
                   .arg(id, number(radial->center().x()), number(radial->center().y()),
                        number(radial->radius()), number(radial->focalPoint().x()),
                        number(radial->focalPoint().y()));
    }
    for (const QGradientStop &stop : gradient->stops())
        out << "<stop offset=\"" << number(stop.first) << "\" stop-color=\""
            << colourText(stop.second) << "\" stop-opacity=\"" << number(stop.second.alphaF())
            << "\"/>";
    out << (gradient->type() == QGradient::LinearGradient ? "</linearGradient>\n"
                                                          : "</radialGradient>\n");
    return QStringLiteral(" %1=\"url(#%2)\"").arg(name, id);
}

QString SvgEngine::strokeAttributes(const QPen &pen)
{
    if (pen.style() == Qt::NoPen)
        return QStringLiteral(" stroke=\"none\"");
    const char *cap = pen.capStyle() == Qt::FlatCap  ? "butt"
                      : pen.capStyle() == Qt::RoundCap ? "round"
                                                       : "square";
    const char *join = pen.joinStyle() == Qt::RoundJoin  ? "round"
                       : pen.joinStyle() == Qt::BevelJoin ? "bevel"
                                                          : "miter";
    return paint(pen.brush(), "stroke")
           + QStringLiteral(" stroke-width=\"%1\" stroke-linecap=\"%2\" stroke-linejoin=\"%3\"")
                 .arg(number(pen.widthF()), QLatin1String(cap), QLatin1String(join));
}

void SvgEngine::writeElement(const QPainterPath &path, const QString &paintAttributes)
{
    QTextStream out(&body);
    out << "<path d=\"" << pathData(path) << '"';
    const QTransform t = state->transform();
    if (!t.isIdentity())
        out << " transform=\"matrix(" << number(t.m11()) << ' ' << number(t.m12()) << ' '
            << number(t.m21()) << ' ' << number(t.m22()) << ' ' << number(t.dx()) << ' '
            << number(t.dy()) << ")\"";
    if (path.fillRule() == Qt::OddEvenFill)
        out << " fill-rule=\"evenodd\"";
    out << paintAttributes << "/>\n";
}

void SvgEngine::write(const QPainterPath &path, bool fill)
{
    const QPen pen = state->pen();
    const QString noFill = QStringLiteral(" fill=\"none\"");
    const QString noStroke = QStringLiteral(" stroke=\"none\"");
    fill = fill && state->brush().style() != Qt::NoBrush;
    if (!clipped || !clipEnabled) {
        writeElement(path, (fill ? paint(state->brush(), "fill") : noFill) + strokeAttributes(pen));
        return;
    }

    // Renderers of SVG Tiny, the desktop's icon loaders among them, know no clip paths, so a
    // clipped shape is cut to its clip here, its stroke as the outline the pen covers.
    const QPainterPath area = state->transform().inverted().map(clip);
    if (fill)
        writeElement(intersected(path, area), paint(state->brush(), "fill") + noStroke);
    if (pen.style() != Qt::NoPen)
        writeElement(intersected(QPainterPathStroker(pen).createStroke(path), area),
                     paint(pen.brush(), "fill") + noStroke);
}

void SvgEngine::drawPath(const QPainterPath &path)
{
    write(path, true);
}

void SvgEngine::drawPolygon(const QPointF *points, int count, PolygonDrawMode mode)
{
    if (count < 1)
        return;
    QPainterPath path(points[0]);
    for (int i = 1; i < count; ++i)
        path.lineTo(points[i]);
    if (mode != PolylineMode)
        path.closeSubpath();
    path.setFillRule(mode == OddEvenMode ? Qt::OddEvenFill : Qt::WindingFill);
    write(path, mode != PolylineMode);
}

SvgPainting::SvgPainting(const QSize &size) : size(size), engine(new SvgEngine) {}

SvgPainting::~SvgPainting() = default;

QPaintEngine *SvgPainting::paintEngine() const
{
    return engine.get();
}

QByteArray SvgPainting::document() const
{
    QString text;
    QTextStream out(&text);
    out << QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>)" "\n"
                          R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%2" )"
                          R"(viewBox="0 0 %1 %2">)" "\n<defs>\n")
               .arg(size.width())
               .arg(size.height())
        << engine->definitions << "</defs>\n"
        << engine->body << "</svg>\n";
    return text.toUtf8();
}

int SvgPainting::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return size.width();
    case PdmHeight:
        return size.height();
    case PdmWidthMM:
        return qRound(size.width() * 25.4 / 96);
    case PdmHeightMM:
        return qRound(size.height() * 25.4 / 96);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return 0;
}
