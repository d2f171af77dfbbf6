#include "icofile.h"

#include <QDataStream>
#include <QFile>
#include <QImage>

namespace {

const quint32 dirSize = 6;
const quint32 entrySize = 16;
const quint32 bitmapHeaderSize = 40;

} // namespace

bool writeIcoFile(const QString &fileName, const QImage &image)
{
    if (image.isNull() || image.width() > 256 || image.height() > 256)
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();
    const quint32 colourBytes = quint32(w * h * 4);
    const int maskStride = (w + 31) / 32 * 4;
    const quint32 maskBytes = quint32(maskStride * h);
    const quint32 entryBytes = bitmapHeaderSize + colourBytes + maskBytes;

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);

    // Directory: reserved, type 1 = icon, one entry. A size of 256 is written as 0.
    out << quint16(0) << quint16(1) << quint16(1);
    out << quint8(w & 0xff) << quint8(h & 0xff) << quint8(0) << quint8(0) << quint16(1)
        << quint16(32) << entryBytes << quint32(dirSize + entrySize);

    // The bitmap's height counts colour rows and mask rows together.
    out << bitmapHeaderSize << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32)
        << quint32(0) << colourBytes + maskBytes << qint32(0) << qint32(0) << quint32(0)
        << quint32(0);

    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x)
            out << quint8(qBlue(line[x])) << quint8(qGreen(line[x])) << quint8(qRed(line[x]))
                << quint8(qAlpha(line[x]));
    }

    // A set mask bit lets the desktop show through, for shells that ignore the alpha.
    for (int y = h - 1; y >= 0; --y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0)
                row[x / 8] = char(row.at(x / 8) | (0x80 >> (x % 8)));
        out.writeRawData(row.constData(), row.size());
    }
    return out.status() == QDataStream::Ok && file.flush();
}
