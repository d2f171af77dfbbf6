#ifndef LOOK_H
#define LOOK_H

#include <QFont>
#include <QRgb>

// The few colours all pictures share. The orange is the one of the push buttons, so strips,
// logo and buttons read as one set.
namespace Colours {
constexpr QRgb orange = 0xffea8500;
constexpr QRgb apricot = 0xfff2a65a;
constexpr QRgb gold = 0xfff6c25b;
constexpr QRgb rust = 0xffc8642a;
constexpr QRgb violet = 0xff9b6bd6;
constexpr QRgb lilac = 0xffc99be6;
constexpr QRgb paleBlue = 0xff9fc9f2;
constexpr QRgb blue = 0xff5f86d9;
}

// The tall, narrow sans serif of the strips and the splash, sized so that its capitals are
// capHeight pixels high.
QFont narrowFont(qreal capHeight, QFont::Weight weight = QFont::Bold);

#endif // LOOK_H
