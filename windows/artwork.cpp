#include "artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageReader>

QPixmap picture(const QString &path)
{
    // A QPixmap loaded by path is always the 1x picture; QIcon looks for the "@2x" one.
    return QIcon(path).pixmap(QImageReader(path).size());
}

QIcon programIcon()
{
    // Seven pictures take a few milliseconds to read, so they are read once and kept as the
    // application's icon, which every window shares.
    if (QGuiApplication::windowIcon().isNull()) {
        QIcon icon;
        const QDir icons(QStringLiteral(":/icons"));
        for (const QString &name : icons.entryList(QDir::Files))
            icon.addFile(icons.filePath(name));
        QGuiApplication::setWindowIcon(icon);
    }
    return QGuiApplication::windowIcon();
}
