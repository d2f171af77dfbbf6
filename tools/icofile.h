#ifndef ICOFILE_H
#define ICOFILE_H

#include <QVector>

class QImage;
class QString;

// Writes the images as one Windows icon file, an entry for each, in the order given. An image of
// 256 pixels goes in as PNG data, as Windows expects it at that size; the smaller ones as 32-bit
// device-independent bitmaps (colour and alpha, bottom-up) followed by their 1-bit masks, the
// form every version of the Windows shell reads. No image may be larger than 256 pixels either
// way.
bool writeIcoFile(const QString &fileName, const QVector<QImage> &images);

#endif // ICOFILE_H
