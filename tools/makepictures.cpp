// Draws the program's pictures: the five images of the resource bundle, and the application
// icon for the Windows executable and the Linux desktop. Run by hand when the art changes; see
// README.md.

#include "emblem.h"
#include "headerstrip.h"
#include "icofile.h"
#include "look.h"
#include "splash.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QTextStream>

namespace {

using Piece = StripPiece;

// Each window has its own strip, shown along its top and its bottom edge: the main window's in
// orange, the conversion dialog's with violet, the info dialog's with pale blue. The codes on the
// bars are the clock's own numbers: hours, minutes and days.
QImage mainWindowStrip()
{
    return headerStrip(800, 20, 20,
                       {{Piece::Bar, 96, Colours::orange, QStringLiteral("24")},
                        {Piece::Bar, 38, Colours::apricot},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Title, 0, Colours::orange, QStringLiteral("STERNZEIT")},
                        {Piece::Bar, 22, Colours::gold},
                        {Piece::Bar, 118, Colours::orange, QStringLiteral("365")},
                        {Piece::Pill, 40, Colours::rust},
                        {Piece::Bar, 54, Colours::apricot, QStringLiteral("60")}});
}

// The conversion dialog shows its strip in labels 16 pixels high, which cut off the image's two
// outer rows each side; its bars keep clear of them.
QImage computeStrip()
{
    return headerStrip(800, 20, 16,
                       {{Piece::Bar, 80, Colours::violet, QStringLiteral("1440")},
                        {Piece::Bar, 150, Colours::orange},
                        {Piece::Bar, 30, Colours::lilac},
                        {Piece::Title, 0, Colours::lilac, QStringLiteral("UMRECHNUNG")},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Pill, 34, Colours::violet},
                        {Piece::Bar, 64, Colours::apricot, QStringLiteral("24")},
                        {Piece::Bar, 40, Colours::violet}});
}

QImage infoStrip()
{
    return headerStrip(539, 20, 20,
                       {{Piece::Bar, 70, Colours::paleBlue, QStringLiteral("12")},
                        {Piece::Bar, 0, Colours::orange},
                        {Piece::Title, 0, Colours::paleBlue, QStringLiteral("INFO")},
                        {Piece::Bar, 26, Colours::blue},
                        {Piece::Bar, 90, Colours::orange, QStringLiteral("365")},
                        {Piece::Bar, 36, Colours::paleBlue}});
}

bool savePicture(const QImage &image, const QString &fileName)
{
    QImageWriter writer(fileName, "png");
    if (writer.write(image))
        return true;
    QTextStream(stderr) << fileName << ": " << writer.errorString() << '\n';
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
    if (!out.mkpath(QStringLiteral("Bilder"))) {
        QTextStream(stderr) << "Cannot create " << out.filePath(QStringLiteral("Bilder")) << '\n';
        return 1;
    }

    const struct
    {
        const char *name;
        QImage image;
    } pictures[] = {
        {"lcarsinfo.png", infoStrip()},
        {"logo.png", logo()},
        {"lcarssternezeit.png", mainWindowStrip()},
        {"Splashscreen.png", splashPicture()},
        {"lcarscompute.png", computeStrip()},
    };
    bool ok = true;
    for (const auto &picture : pictures)
        ok = savePicture(picture.image, out.filePath(QStringLiteral("Bilder/") + picture.name)) && ok;

    const QImage icon = applicationIcon();
    ok = savePicture(icon, out.filePath(QStringLiteral("sternzeit-128.png"))) && ok;
    const QString iconFile = out.filePath(QStringLiteral("sternzeit.ico"));
    if (!writeIcoFile(iconFile, icon)) {
        QTextStream(stderr) << iconFile << ": cannot write\n";
        ok = false;
    }
    return ok ? 0 : 1;
}
