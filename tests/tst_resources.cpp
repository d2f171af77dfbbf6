#include <QtTest>

#include <QImage>

namespace {

const int pngRgb = 2;
const int pngIndexed = 3;

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void pathsKeepTheirLetterCase() { QVERIFY(!QFile::exists(":/Bilder/splashscreen.png")); }
    void windowsIcon();
    void resourceScriptCompiles();
};

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("colourType");

    QTest::newRow("info dialog strip") << ":/Bilder/lcarsinfo.png" << QSize(539, 20) << pngRgb;
    QTest::newRow("logo") << ":/Bilder/logo.png" << QSize(134, 112) << pngIndexed;
    QTest::newRow("main window strip") << ":/Bilder/lcarssternezeit.png" << QSize(800, 20) << pngRgb;
    QTest::newRow("splash picture") << ":/Bilder/Splashscreen.png" << QSize(300, 225) << pngRgb;
    QTest::newRow("conversion dialog strip") << ":/Bilder/lcarscompute.png" << QSize(800, 20) << pngRgb;
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, colourType);

    // Beside each picture lies its twin for screens of twice the pixel density, of the same kind.
    QString twin = path;
    twin.insert(twin.lastIndexOf('.'), "@2x");
    for (const QString &file : { path, twin }) {
        const QImage image(file);
        QCOMPARE(image.size(), file == path ? size : size * 2);
        QVERIFY(!image.hasAlphaChannel());

        // The header chunk comes first; after width and height: 8 bits per sample or palette index, colour type.
        const QByteArray png = readFile(file);
        QVERIFY(png.startsWith("\x89PNG\r\n\x1a\n"));
        QCOMPARE(png.mid(12, 4), QByteArray("IHDR"));
        QCOMPARE(int(png.at(24)), 8);
        QCOMPARE(int(png.at(25)), colourType);
        if (colourType == pngIndexed) {
            const int palette = png.indexOf("PLTE");
            QVERIFY(palette > 0);
            QCOMPARE(qFromBigEndian<quint32>(png.constData() + palette - 4), quint32(256 * 3));
        }
    }
}

void TestResources::windowsIcon()
{
    const QByteArray ico = readFile(QFINDTESTDATA("../resources/sternzeit.ico"));
    QCOMPARE(ico.size(), 6 + 16 + 67624);
    // Directory: reserved, type icon, one entry. The entry: 128 x 128, no palette, one plane,
    // 32 bits, 67,624 bytes at offset 22. A bitmap header, not PNG data: 40 bytes, 128 wide,
    // 256 high (colour and mask rows), one plane, 32 bits, uncompressed.
    const QByteArray header = QByteArray::fromHex("0000 0100 0100"
                                                  "80 80 00 00 0100 2000 28080100 16000000"
                                                  "28000000 80000000 00010000 0100 2000 00000000");
    QCOMPARE(ico.left(header.size()).toHex(), header.toHex());

    // The mask must let through exactly the fully transparent pixels, or shells that draw with the
    // mask show a black square or holes.
    const int colours = 22 + 40;
    const int mask = colours + 128 * 128 * 4;
    for (int pixel = 0; pixel < 128 * 128; ++pixel) {
        const bool masked = (quint8(ico.at(mask + pixel / 8)) & (0x80 >> pixel % 8)) != 0;
        QVERIFY2(masked == (ico.at(colours + pixel * 4 + 3) == 0), qPrintable(QString::number(pixel)));
    }
}

void TestResources::resourceScriptCompiles()
{
    const QString windres = QStandardPaths::findExecutable("x86_64-w64-mingw32-windres");
    if (windres.isEmpty())
        QSKIP("x86_64-w64-mingw32-windres is not installed");
    // windres preprocesses with the cross compiler; without it, the host's preprocessor does.
    QStringList arguments;
    if (QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc").isEmpty())
        arguments << "--preprocessor=cpp";
    QTemporaryDir output;
    QVERIFY(output.isValid());
    const QString res = output.filePath("sternzeit.res");
    arguments << "-i" << QFINDTESTDATA("../resources/sternzeit.rc") << "-O" << "res" << "-o" << res;

    QCOMPARE(QProcess::execute(windres, arguments), 0);

    // The icon's bitmap and the manifest go in as they are, and the icon under the name the toolkit looks up.
    const QByteArray compiled = readFile(res);
    QVERIFY(compiled.contains(readFile(QFINDTESTDATA("../resources/sternzeit.ico")).mid(22)));
    QVERIFY(compiled.contains(readFile(QFINDTESTDATA("../resources/sternzeit.manifest"))));
    QVERIFY(compiled.contains(QByteArray(reinterpret_cast<const char *>(u"IDI_ICON1"), 18)));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
