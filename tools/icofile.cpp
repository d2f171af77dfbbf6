#include "icofile.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QImage>

namespace {

const int largestBitmap = 255;
const quint32 dirSize = 6;
const quint32 entrySize = 16;
const quint32 bitmapHeaderSize = 40;

QByteArray pngData(const QImage &image)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    return image.save(&buffer, "png") ? data : QByteArray();
}

QByteArray bitmapData(const QImage &image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();
    const int maskStride = (w + 31) / 32 * 4;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);

    // The bitmap's height counts colour rows and mask rows together.
    out << bitmapHeaderSize << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32)
        << quint32(0) << quint32(w * h * 4 + maskStride * h) << qint32(0) << qint32(0) << quint32(0)
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
    return data;
}

} // namespace

bool writeIcoFile(const QString &fileName, const QVector<QImage> &images)
{
    QVector<QByteArray> entries;
    for (const QImage &image : images) {
        if (image.isNull() || image.width() > 256 || image.height() > 256)
            return false;
        const bool large = image.width() > largestBitmap || image.height() > largestBitmap;
        entries.append(large ? pngData(image) : bitmapData(image));
        if (entries.constLast().isEmpty())
            return false;
    }

    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);

    // Directory: reserved, type 1 = icon, the number of entries; then each entry's size (256 is
    // written as 0), no palette, one plane, 32 bits, and where its data lies.
    out << quint16(0) << quint16(1) << quint16(entries.size());
    quint32 offset = dirSize + entrySize * quint32(entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        const QImage &image = images.at(i);
        out << quint8(image.width() & 0xff) << quint8(image.height() & 0xff) << quint8(0) << quint8(0)
            << quint16(1) << quint16(32) << quint32(entries.at(i).size()) << offset;
        offset += quint32(entries.at(i).size());
    }
    for (const QByteArray &entry : entries)
        out.writeRawData(entry.constData(), entry.size());
    return out.status() == QDataStream::Ok && file.flush();
}
