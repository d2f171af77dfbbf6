#ifndef SPLASH_H
#define SPLASH_H

#include <QImage>

// The start-up picture, 300 x 225: the program's name over a starfield and a planet's horizon.
QImage splashPicture();

#endif // SPLASH_H
