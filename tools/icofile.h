#ifndef ICOFILE_H
#define ICOFILE_H

class QImage;
class QString;

// Writes the image as a Windows icon file with a single entry: a 32-bit device-independent
// bitmap (colour and alpha, bottom-up) followed by its 1-bit mask, the form every version of
// the Windows shell reads. The image may be at most 256 pixels wide and high.
bool writeIcoFile(const QString &fileName, const QImage &image);

#endif // ICOFILE_H
