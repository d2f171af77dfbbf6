#ifndef SCREENPICTURES_H
#define SCREENPICTURES_H

#include <functional>

class QWidget;

// Has a window show its pictures for the pixel density of its screen, now and again whenever
// that density changes: when the window is moved onto a screen of another scale, or the user sets
// another scale for its screen. showPictures sets the window's pictures, each from picture().
void showPicturesPerScreen(QWidget *window, std::function<void()> showPictures);

#endif // SCREENPICTURES_H
