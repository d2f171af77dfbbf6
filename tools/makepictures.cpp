// Draws the program's pictures: the five images of the resource bundle, each also for screens of
// twice the pixel density, and the application icon for the windows, the Windows executable and
// the Linux desktop. Run by hand when the art changes; see README.md.

#include "debiantools.h"
#include "emblem.h"
#include "headerstrip.h"
#include "look.h"
#include "splash.h"
#include "svgpainting.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>

namespace {

using Piece = StripPiece;

// Each window has its own strip, shown along its top and its bottom edge: the main window's in
// orange, the conversion dialog's with violet, the info dialog's with pale blue. The codes on the
// bars are the clock's own numbers: hours, minutes and days.
QImage mainWindowStrip(int ratio)
{
    return headerStrip(800, 20, 20,
                       {{Piece::Bar, 96, Colours::orange, QStringLiteral("24")},
                        {Piece::Bar, 38, Colours::apricot},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Title, 0, Colours::orange, QStringLiteral("STERNZEIT")},
                        {Piece::Bar, 22, Colours::gold},
                        {Piece::Bar, 118, Colours::orange, QStringLiteral("365")},
                        {Piece::Pill, 40, Colours::rust},
                        {Piece::Bar, 54, Colours::apricot, QStringLiteral("60")}},
                       ratio);
}

// The conversion dialog shows its strip in labels 16 pixels high, which cut off the image's two
// outer rows each side; its bars keep clear of them.
QImage computeStrip(int ratio)
{
    return headerStrip(800, 20, 16,
                       {{Piece::Bar, 80, Colours::violet, QStringLiteral("1440")},
                        {Piece::Bar, 150, Colours::orange},
                        {Piece::Bar, 30, Colours::lilac},
                        {Piece::Title, 0, Colours::lilac, QStringLiteral("UMRECHNUNG")},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Pill, 34, Colours::violet},
                        {Piece::Bar, 64, Colours::apricot, QStringLiteral("24")},
                        {Piece::Bar, 40, Colours::violet}},
                       ratio);
}

QImage infoStrip(int ratio)
{
    return headerStrip(539, 20, 20,
                       {{Piece::Bar, 70, Colours::paleBlue, QStringLiteral("12")},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Title, 0, Colours::paleBlue, QStringLiteral("INFO")},
                        {Piece::Bar, 26, Colours::blue},
                        {Piece::Bar, 90, Colours::orange, QStringLiteral("365")},
                        {Piece::Bar, 36, Colours::paleBlue}},
                       ratio);
}

bool savePicture(const QImage &image, const QString &fileName)
{
    QImageWriter writer(fileName, "png");
    if (!writer.write(image)) {
        QTextStream(stderr) << fileName << ": " << writer.errorString() << '\n';
        return false;
    }
    return packTighter(fileName);
}

// The emblem once more as a scalable picture, drawn by the same code as the icon's pixels.
bool saveScalableIcon(const QString &fileName)
{
    SvgPainting svg(QSize(128, 128));
    QPainter painter(&svg);
    drawEmblem(painter, QPointF(64, 64), 63.5);
    painter.end();
    QSaveFile file(fileName);
    if (file.open(QIODevice::WriteOnly) && file.write(svg.document()) >= 0 && file.commit())
        return true;
    QTextStream(stderr) << fileName << ": " << file.errorString() << '\n';
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    // Everything is drawn into images; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = app.arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "Usage: makepictures <resources directory>\n";
        return 2;
    }
    const QDir out(arguments.at(1));
    for (const char *folder : {"Bilder", "icons"}) {
        if (!out.mkpath(QLatin1String(folder))) {
            QTextStream(stderr) << "Cannot create " << out.filePath(QLatin1String(folder)) << '\n';
            return 1;
        }
    }

    // The windows take "name@2x.png" beside "name.png" on screens of device pixel ratio 2.
    const struct
    {
        const char *name;
        QImage (*draw)(int ratio);
    } pictures[] = {
        {"lcarsinfo", infoStrip},
        {"logo", logo},
        {"lcarssternezeit", mainWindowStrip},
        {"Splashscreen", splashPicture},
        {"lcarscompute", computeStrip},
    };
    bool ok = true;
    for (const auto &picture : pictures) {
        const QString name = QStringLiteral("Bilder/") + QLatin1String(picture.name);
        ok = savePicture(picture.draw(1), out.filePath(name + QStringLiteral(".png"))) && ok;
        ok = savePicture(picture.draw(2), out.filePath(name + QStringLiteral("@2x.png"))) && ok;
    }

    // The sizes desktops ask for, from menu entries to large launcher tiles; the Windows shell
    // takes the same seven from the executable.
    QStringList icons;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icons.append(out.filePath(QStringLiteral("icons/sternzeit-%1.png").arg(size)));
        ok = savePicture(applicationIcon(size), icons.constLast()) && ok;
    }
    ok = saveScalableIcon(out.filePath(QStringLiteral("icons/sternzeit.svg"))) && ok;

    const QString large = icons.takeLast();
    ok = ok && writeIcoFile(out.filePath(QStringLiteral("sternzeit.ico")), icons, large);
    return ok ? 0 : 1;
}
