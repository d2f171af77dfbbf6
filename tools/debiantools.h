#ifndef DEBIANTOOLS_H
#define DEBIANTOOLS_H

#include <QImage>
#include <QStringList>

// The jobs the generator leaves to Debian's tools. Each says on standard error what went wrong.

// The image as 8-bit indexed colour with a colour table of exactly 256 entries, as pngquant
// (Debian package pngquant) chooses them; a null image when it fails. Transparency is dropped.
QImage toIndexed256(const QImage &image);

// One Windows icon file from PNG files, by icotool (Debian package icoutils): the bitmaps as
// 32-bit bitmaps with their masks, the form every version of the Windows shell reads, and then
// the large picture as PNG data, as Windows expects it at 256 pixels.
bool writeIcoFile(const QString &fileName, const QStringList &bitmaps, const QString &large);

// The PNG file written again by optipng (Debian package optipng), which tries every filter and
// compression level: the same pixels, colour type and palette in a twelfth fewer bytes than
// Qt's encoder gives.
bool packTighter(const QString &fileName);

#endif // DEBIANTOOLS_H
