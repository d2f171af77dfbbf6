#include "debiantools.h"

#include <QBuffer>
#include <QProcess>
#include <QTextStream>

namespace {

const int paletteSize = 256;

// Runs a tool to its end on the given input; false when it could not start or failed. What it
// writes goes to output, its own messages straight to our standard error.
bool run(const QString &program, const QStringList &arguments, const QByteArray &input,
         QByteArray *output = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (process.waitForStarted(-1)) {
        process.write(input);
        process.closeWriteChannel();
        process.waitForFinished(-1);
    }
    if (process.error() != QProcess::UnknownError || process.exitCode() != 0) {
        QTextStream(stderr) << program << ": "
                            << (process.error() != QProcess::UnknownError
                                    ? process.errorString()
                                    : QStringLiteral("exit status %1").arg(process.exitCode()))
                            << '\n';
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

} // namespace

QImage toIndexed256(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB32).save(&buffer, "png");

    // Dithering would sprinkle the emblem's smooth gradients with single pixels.
    QByteArray quantized;
    if (!run(QStringLiteral("pngquant"), {QString::number(paletteSize), QStringLiteral("--nofs"),
                                          QStringLiteral("-")},
             png, &quantized))
        return {};
    QImage indexed = QImage::fromData(quantized, "png");
    if (indexed.format() != QImage::Format_Indexed8)
        return {};

    // pngquant leaves out the entries no pixel takes; the table keeps all 256, the rest black.
    QVector<QRgb> table = indexed.colorTable();
    while (table.size() < paletteSize)
        table.append(qRgb(0, 0, 0));
    indexed.setColorTable(table);
    indexed.setDevicePixelRatio(image.devicePixelRatio());
    return indexed;
}

bool writeIcoFile(const QString &fileName, const QStringList &bitmaps, const QString &large)
{
    // A mask bit lets the desktop show through only where a pixel is fully transparent, for
    // shells that ignore the alpha.
    return run(QStringLiteral("icotool"),
               QStringList{QStringLiteral("--create"), QStringLiteral("--bit-depth=32"),
                           QStringLiteral("--alpha-threshold=0"),
                           QStringLiteral("--output=") + fileName}
                   + bitmaps + QStringList{QStringLiteral("--raw=") + large},
               {});
}

bool packTighter(const QString &fileName)
{
    // -nx: no reductions, so that each picture keeps its colour type and full palette.
    return run(QStringLiteral("optipng"),
               {QStringLiteral("-quiet"), QStringLiteral("-o7"), QStringLiteral("-nx"), fileName}, {});
}
