#ifndef SPLASH_H
#define SPLASH_H

#include <QImage>

// The start-up picture, 300 x 225 at the given device pixel ratio: the program's name over a
// starfield and a planet's horizon.
QImage splashPicture(int ratio);

#endif // SPLASH_H
