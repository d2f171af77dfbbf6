#include "artwork.h"

#include <QDir>
#include <QImageReader>

QPixmap picture(const QString &path)
{
    // A QPixmap loaded by path is always the 1x picture; QIcon looks for the "@2x" one.
    return QIcon(path).pixmap(QImageReader(path).size());
}

QIcon programIcon()
{
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &name : icons.entryList(QDir::Files))
        icon.addFile(icons.filePath(name));
    return icon;
}
