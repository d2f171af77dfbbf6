#ifndef ARTWORK_H
#define ARTWORK_H

#include <QIcon>
#include <QPixmap>

class QString;

// The picture at a resource path as the screen needs it: at a device pixel ratio of 2 the
// "@2x" picture beside it, so that nothing is scaled up. Its logical size is the 1x picture's.
QPixmap picture(const QString &path);

// The program's icon, at every size the resource collection holds it.
QIcon programIcon();

#endif // ARTWORK_H
