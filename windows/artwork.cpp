#include "artwork.h"

#include "iconfiles.h"

#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QScreen>
#include <QWidget>

QPixmap picture(const QString &path, const QWidget *window)
{
    // The screen the window is on, or will be shown on.
    const QScreen *screen = window->screen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1;
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
    // A screen between the ratios of the two pictures gets the larger one made smaller, smoothly.
    const QSize onScreen = pixmap.size() / pictureRatio * ratio;
    if (pixmap.width() > onScreen.width() || pixmap.height() > onScreen.height()) {
        pixmap = pixmap.scaled(onScreen, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        pictureRatio = ratio;
    }
    pixmap.setDevicePixelRatio(pictureRatio);
    return pixmap;
}

QIcon programIcon()
{
    // Made once and kept as the application's icon, which every window shares.
    if (QGuiApplication::windowIcon().isNull())
        QGuiApplication::setWindowIcon(QIcon(new IconFiles(QStringLiteral(":/icons"))));
    return QGuiApplication::windowIcon();
}
