#include "artwork.h"

#include "iconfiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QWidget>

QPixmap picture(const QString &path, const QWidget *window)
{
    const qreal ratio = screenRatio(window);
    QString file = path;
    qreal pictureRatio = 1;
    if (ratio > 1) {
        const QString twin = QString(path).insert(path.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        if (QFile::exists(twin)) {
            file = twin;
            pictureRatio = 2;
        }
    }
    // Read as it is, not through QPixmap's file cache: the splash picture is gone with the splash.
    QPixmap pixmap = QPixmap::fromImage(QImageReader(file).read());
    // A screen between the ratios of the two pictures gets the larger one made smaller, one above
    // 2 gets it made larger, smoothly either way: left to the painter, a display scale of 125 %
    // or 250 % would resize it coarsely at every paint.
    const QSize onScreen = pixmap.size() / pictureRatio * ratio;
    if (pixmap.size() != onScreen) {
        pixmap = pixmap.scaled(onScreen, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        pictureRatio = ratio;
    }
    pixmap.setDevicePixelRatio(pictureRatio);
    return pixmap;
}

qreal screenRatio(const QWidget *window)
{
    const QScreen *screen = window->screen();
    return screen ? screen->devicePixelRatio() : 1;
}

QIcon programIcon()
{
    // Made once and kept as the application's icon, which every window shares.
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(QIcon(new IconFiles(QStringLiteral(":/icons"))));
    return QGuiApplication::windowIcon();
}
