#include <QtTest>

#include <QImage>
#include <QImageReader>

#include <algorithm>

namespace {

const int pngRgb = 2;
const int pngIndexed = 3;

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One picture of an icon file as its directory describes it, with its data.
struct IconEntry
{
    int size = 0;
    int bitCount = 0;
    QByteArray data;
};

// The entries of an icon file; none when its directory is broken.
QVector<IconEntry> iconEntries(const QByteArray &ico)
{
    const auto word = [&ico](int at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    const auto dword = [&ico](int at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    QVector<IconEntry> entries;
    if (ico.size() < 6 || word(0) != 0 || word(2) != 1 || ico.size() < 6 + 16 * word(4))
        return entries;
    for (int i = 0, at = 6; i < word(4); ++i, at += 16) {
        const int width = quint8(ico.at(at)) == 0 ? 256 : quint8(ico.at(at));
        const int height = quint8(ico.at(at + 1)) == 0 ? 256 : quint8(ico.at(at + 1));
        if (width != height || word(at + 4) != 1 || dword(at + 12) + dword(at + 8) > quint32(ico.size()))
            return {};
        entries.append({width, word(at + 6), ico.mid(int(dword(at + 12)), int(dword(at + 8)))});
    }
    return entries;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void pictures_data();
    void pictures();
    void pathsKeepTheirLetterCase() { QVERIFY(!QFile::exists(":/Bilder/splashscreen.png")); }
    void windowsIcon_data();
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

void TestResources::windowsIcon_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("16 pixels, title bars and small icons") << 16;
    QTest::newRow("24 pixels") << 24;
    QTest::newRow("32 pixels, taskbar") << 32;
    QTest::newRow("48 pixels, medium icons") << 48;
    QTest::newRow("64 pixels") << 64;
    QTest::newRow("128 pixels") << 128;
    QTest::newRow("256 pixels, extra large icons, as PNG data") << 256;
}

// The shell picks the entry nearest the size it draws, so each size must be there once and show
// the same picture the Linux desktop gets at that size.
void TestResources::windowsIcon()
{
    QFETCH(int, size);
    const QString fileName = SOURCE_DIR "/resources/sternzeit.ico";
    const QVector<IconEntry> entries = iconEntries(readFile(fileName));
    QCOMPARE(entries.size(), 7);
    const auto entry = std::find_if(entries.cbegin(), entries.cend(), [size](const IconEntry &e) { return e.size == size; });
    QVERIFY(entry != entries.cend());
    QCOMPARE(entry->bitCount, 32);

    QImageReader reader(fileName, "ico");
    QVERIFY(reader.jumpToImage(int(entry - entries.cbegin())));
    const QImage shown = reader.read().convertToFormat(QImage::Format_ARGB32);
    const QImage drawn = QImage(QString(SOURCE_DIR "/resources/icons/sternzeit-%1.png").arg(size))
                             .convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shown.size(), QSize(size, size));
    QVERIFY(shown == drawn);

    // Windows takes the largest size as PNG data, the others as bitmaps: a 40-byte header, twice
    // the height for colour and mask rows, one plane, 32 bits, uncompressed.
    if (size == 256) {
        QVERIFY(entry->data.startsWith("\x89PNG\r\n\x1a\n"));
        return;
    }
    const char *bitmap = entry->data.constData();
    QCOMPARE(qFromLittleEndian<qint32>(bitmap), 40);
    QCOMPARE(qFromLittleEndian<qint32>(bitmap + 4), size);
    QCOMPARE(qFromLittleEndian<qint32>(bitmap + 8), 2 * size);
    QCOMPARE(qFromLittleEndian<quint16>(bitmap + 12), quint16(1));
    QCOMPARE(qFromLittleEndian<quint16>(bitmap + 14), quint16(32));
    QCOMPARE(qFromLittleEndian<quint32>(bitmap + 16), quint32(0));

    // The mask must let through exactly the fully transparent pixels, or shells that draw with the
    // mask show a black square or holes.
    const int colours = 40;
    const int mask = colours + size * size * 4;
    const int maskStride = (size + 31) / 32 * 4;
    QCOMPARE(entry->data.size(), mask + maskStride * size);
    for (int pixel = 0; pixel < size * size; ++pixel) {
        const int row = pixel / size;
        const int column = pixel % size;
        const bool masked = (quint8(entry->data.at(mask + row * maskStride + column / 8)) & (0x80 >> column % 8)) != 0;
        QVERIFY2(masked == (entry->data.at(colours + pixel * 4 + 3) == 0), qPrintable(QString::number(pixel)));
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
    arguments << "-i" << SOURCE_DIR "/resources/sternzeit.rc" << "-O" << "res" << "-o" << res;

    QCOMPARE(QProcess::execute(windres, arguments), 0);

    // The icon's pictures and the manifest go in as they are, and the icon under the name the toolkit looks up.
    const QByteArray compiled = readFile(res);
    const QVector<IconEntry> icons = iconEntries(readFile(SOURCE_DIR "/resources/sternzeit.ico"));
    QVERIFY(!icons.isEmpty());
    for (const IconEntry &icon : icons)
        QVERIFY2(compiled.contains(icon.data), qPrintable(QString::number(icon.size)));
    QVERIFY(compiled.contains(readFile(SOURCE_DIR "/resources/sternzeit.manifest")));
    QVERIFY(compiled.contains(QByteArray(reinterpret_cast<const char *>(u"IDI_ICON1"), 18)));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
