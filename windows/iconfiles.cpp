#include "iconfiles.h"

#include <QApplication>
#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>

#include <algorithm>

namespace {

int area(const QSize &size)
{
    return size.width() * size.height();
}

} // namespace

IconFiles::IconFiles(const QString &folder)
{
    // Only the headers are read here, for the sizes.
    const QDir files(folder);
    for (const QString &name : files.entryList(QDir::Files)) {
        const QString path = files.filePath(name);
        const QSize size = QImageReader(path).size();
        if (size.isValid())
            pictures.append({ size, path });
    }
}

// The smallest picture that covers the size, or else the largest, as QIcon picks among its files.
const IconFiles::Picture &IconFiles::bestFor(const QSize &size) const
{
    const Picture *best = &pictures.constFirst();
    for (const Picture &picture : pictures) {
        const bool bothCover = std::min(area(picture.size), area(best->size)) >= area(size);
        if (bothCover == (area(picture.size) < area(best->size)))
            best = &picture;
    }
    return *best;
}

QPixmap IconFiles::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    if (pictures.isEmpty())
        return QPixmap();
    const QSize shown = actualSize(size, mode, state);
    QPixmap pixmap = read(bestFor(size).path);
    // Made smaller as QIcon does it, from the premultiplied picture: Qt 6 blends the other one
    // differently.
    if (pixmap.size() != shown)
        pixmap = QPixmap::fromImage(pixmap.toImage()).scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (mode != QIcon::Normal) {
        QStyleOption option;
        option.palette = QGuiApplication::palette();
        pixmap = QApplication::style()->generatedIconPixmap(mode, pixmap, &option);
    }
    return pixmap;
}

QPixmap IconFiles::read(const QString &path)
{
    if (!recentlyRead->contains(path)) {
        if (recentlyRead->isEmpty())
            QTimer::singleShot(0, [recentlyRead = recentlyRead] { recentlyRead->clear(); });
        // Kept unpremultiplied as the file has it: a window system takes it so, and converting the
        // largest picture there and back would set Qt's conversion threads going.
        recentlyRead->insert(path, QPixmap::fromImage(QImageReader(path).read(), Qt::NoFormatConversion));
    }
    return recentlyRead->value(path);
}

QSize IconFiles::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    if (pictures.isEmpty())
        return QSize();
    QSize shown = bestFor(size).size;
    if (shown.width() > size.width() || shown.height() > size.height())
        shown.scale(size, Qt::KeepAspectRatio);
    return shown;
}

void IconFiles::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    const QSize pixels = rect.size() * painter->device()->devicePixelRatioF();
    painter->drawPixmap(rect, pixmap(pixels, mode, state));
}

QIconEngine *IconFiles::clone() const
{
    return new IconFiles(*this);
}

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
QList<QSize> IconFiles::availableSizes(QIcon::Mode mode, QIcon::State state) const
#else
QList<QSize> IconFiles::availableSizes(QIcon::Mode mode, QIcon::State state)
#endif
{
    // The files are the normal look of the icon; the others are made from it.
    QList<QSize> sizes;
    if (mode == QIcon::Normal && state == QIcon::Off) {
        for (const Picture &picture : pictures)
            sizes.append(picture.size);
    }
    return sizes;
}
