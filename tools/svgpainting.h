#ifndef SVGPAINTING_H
#define SVGPAINTING_H

#include <QPaintDevice>
#include <QSize>

#include <memory>

class SvgEngine;

// A paint device that writes what a QPainter draws on it as an SVG document, so that a picture
// drawn for the pixel images can also be had as a scalable one from the same drawing code.
// Qt's own SVG generator (QSvgGenerator of Qt 5.15 and 6.4) leaves out the clips and strokes
// gradient pens in black, and the emblem's ring needs both; this one knows filled and stroked
// paths with solid or gradient paint, transforms and clips, which is all the emblem draws with.
class SvgPainting : public QPaintDevice
{
public:
    explicit SvgPainting(const QSize &size);
    ~SvgPainting() override;

    QPaintEngine *paintEngine() const override;

    // The document, once the painter has ended.
    QByteArray document() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size;
    std::unique_ptr<SvgEngine> engine;
};

#endif // SVGPAINTING_H
