#ifndef ARTWORK_H
#define ARTWORK_H

#include <QIcon>
#include <QPixmap>

class QString;
class QWidget;

// The picture at a resource path as the screen of the given window needs it: above a device pixel
// ratio of 1 the "@2x" picture beside it, and at a ratio between or above the two pictures' that
// one smoothly resized to it, so that the screen draws it pixel for pixel. Only that one file is
// read. Its logical size is the 1x picture's.
QPixmap picture(const QString &path, const QWidget *window);

// The device pixel ratio of the screen the window is on, or will be shown on.
qreal screenRatio(const QWidget *window);

// The program's icon, at every size the resource collection holds it; a size is read from its
// file only when a window system asks for it.
QIcon programIcon();

#endif // ARTWORK_H
