#ifndef QUANTIZE_H
#define QUANTIZE_H

#include <QImage>

// The image as 8-bit indexed colour with a colour table of exactly 256 entries, chosen by median
// cut over the image's own colours (unused entries are black). Transparency is dropped.
QImage toIndexed256(const QImage &image);

#endif // QUANTIZE_H
