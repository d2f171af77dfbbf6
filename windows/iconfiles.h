#ifndef ICONFILES_H
#define ICONFILES_H

#include <QHash>
#include <QIconEngine>
#include <QSharedPointer>
#include <QVector>

// An icon drawn at several sizes, one picture file each in a folder. A size is read from its file
// when it is asked for and let go again once the event loop comes round: a window system takes
// the sizes it wants when it makes a window (on X11 all of them, twice over) and keeps them
// itself, so the pictures need not stay in the program's memory meanwhile. It answers as an icon
// built from the same files with QIcon::addFile does.
class IconFiles : public QIconEngine
{
public:
    explicit IconFiles(const QString &folder);

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;
    // Qt 6 took the const off this one function.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) const override;
#else
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
#endif

private:
    struct Picture
    {
        QSize size;
        QString path;
    };

    const Picture &bestFor(const QSize &size) const;
    QPixmap read(const QString &path);

    QVector<Picture> pictures;
    QSharedPointer<QHash<QString, QPixmap>> recentlyRead = QSharedPointer<QHash<QString, QPixmap>>::create();
};

#endif // ICONFILES_H
