#include <QtTest>

#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QXmlStreamReader>

namespace {

const int pngRgb = 2;
const int pngIndexed = 3;

quint32 bigEndian32(const QByteArray &bytes, int at)
{
    return qFromBigEndian<quint32>(reinterpret_cast<const uchar *>(bytes.constData() + at));
}

quint16 littleEndian16(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint16>(reinterpret_cast<const uchar *>(bytes.constData() + at));
}

quint32 littleEndian32(const QByteArray &bytes, int at)
{
    return qFromLittleEndian<quint32>(reinterpret_cast<const uchar *>(bytes.constData() + at));
}

// The chunks of a PNG file by type, each with its data; empty if the signature is wrong.
QMultiMap<QByteArray, QByteArray> pngChunks(const QByteArray &file)
{
    QMultiMap<QByteArray, QByteArray> chunks;
    if (!file.startsWith("\x89PNG\r\n\x1a\n"))
        return chunks;
    int at = 8;
    while (at + 12 <= file.size()) {
        const int length = int(bigEndian32(file, at));
        if (length < 0 || at + 12 + length > file.size())
            break;
        chunks.insert(file.mid(at + 4, 4), file.mid(at + 8, length));
        at += 12 + length;
    }
    return chunks;
}

// One resource of a compiled resource file (.res); ids are written "#<number>".
struct WindowsResource
{
    QString type;
    QString name;
    quint16 language;
    QByteArray data;
};

QString resourceId(const QByteArray &header, int &at)
{
    if (littleEndian16(header, at) == 0xffff) {
        QString id = QLatin1Char('#') + QString::number(littleEndian16(header, at + 2));
        at += 4;
        return id;
    }
    QString name;
    for (; at + 1 < header.size() && littleEndian16(header, at) != 0; at += 2)
        name += QChar(littleEndian16(header, at));
    at += 2;
    return name;
}

QVector<WindowsResource> readResFile(const QByteArray &file)
{
    QVector<WindowsResource> resources;
    int at = 0;
    while (at + 8 <= file.size()) {
        const int dataSize = int(littleEndian32(file, at));
        const int headerSize = int(littleEndian32(file, at + 4));
        if (headerSize < 16 || at + headerSize + dataSize > file.size())
            break;
        const QByteArray header = file.mid(at, headerSize);
        int field = 8;
        WindowsResource resource;
        resource.type = resourceId(header, field);
        resource.name = resourceId(header, field);
        field = (field + 3) & ~3;
        resource.language = littleEndian16(header, field + 6);
        resource.data = file.mid(at + headerSize, dataSize);
        // The file starts with an empty entry that only marks it as 32-bit.
        if (resource.type != QLatin1String("#0"))
            resources.append(resource);
        at = (at + headerSize + dataSize + 3) & ~3;
    }
    return resources;
}

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
    void folderHoldsTheFivePictures();
    void wrongPathsDoNotResolve_data();
    void wrongPathsDoNotResolve();
    void iconFileStructure();
    void windowsIconMatchesDesktopIcon();
    void manifest_data();
    void manifest();
    void resourceScriptCompiles();

private:
    QString iconFile() const { return QFINDTESTDATA("../resources/sternzeit.ico"); }
    QString desktopIconFile() const { return QFINDTESTDATA("../resources/sternzeit-128.png"); }
    QString manifestFile() const { return QFINDTESTDATA("../resources/sternzeit.manifest"); }
    QString resourceScript() const { return QFINDTESTDATA("../resources/sternzeit.rc"); }
};

void TestResources::pictures_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("colourType");

    QTest::newRow("info dialog strip") << ":/Bilder/lcarsinfo.png" << QSize(539, 20) << pngRgb;
    QTest::newRow("logo") << ":/Bilder/logo.png" << QSize(134, 112) << pngIndexed;
    QTest::newRow("main window strip")
        << ":/Bilder/lcarssternezeit.png" << QSize(800, 20) << pngRgb;
    QTest::newRow("splash picture") << ":/Bilder/Splashscreen.png" << QSize(300, 225) << pngRgb;
    QTest::newRow("conversion dialog strip")
        << ":/Bilder/lcarscompute.png" << QSize(800, 20) << pngRgb;
}

void TestResources::pictures()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QFETCH(int, colourType);

    const QImage image(path);
    QCOMPARE(image.size(), size);
    QVERIFY(!image.hasAlphaChannel());

    const QByteArray file = readFile(path);
    const QMultiMap<QByteArray, QByteArray> chunks = pngChunks(file);
    QVERIFY2(!chunks.isEmpty(), "not a PNG file");
    const QByteArray header = chunks.value("IHDR");
    QCOMPARE(header.size(), 13);
    QCOMPARE(QSize(int(bigEndian32(header, 0)), int(bigEndian32(header, 4))), size);
    QCOMPARE(int(header.at(8)), 8); // bits per sample or palette index
    QCOMPARE(int(header.at(9)), colourType);
    QVERIFY2(!chunks.contains("tRNS"), "the picture has transparent parts");
    if (colourType == pngIndexed)
        QCOMPARE(chunks.value("PLTE").size(), 256 * 3);

#if QT_VERSION >= QT_VERSION_CHECK(5, 13, 0)
    QCOMPARE(QResource(path).compressionAlgorithm(), QResource::NoCompression);
#endif
}

void TestResources::folderHoldsTheFivePictures()
{
    QStringList expected = {"lcarsinfo.png", "logo.png", "lcarssternezeit.png",
                            "Splashscreen.png", "lcarscompute.png"};
    QStringList found = QDir(":/Bilder").entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    expected.sort();
    found.sort();
    QCOMPARE(found, expected);
}

void TestResources::wrongPathsDoNotResolve_data()
{
    QTest::addColumn<QString>("path");

    QTest::newRow("splash with a lower-case s") << ":/Bilder/splashscreen.png";
    QTest::newRow("logo with a capital L") << ":/Bilder/Logo.png";
    QTest::newRow("folder in lower case") << ":/bilder/logo.png";
    QTest::newRow("strip outside its folder") << ":/lcarsinfo.png";
}

void TestResources::wrongPathsDoNotResolve()
{
    QFETCH(QString, path);

    QVERIFY(!QFile::exists(path));
    QVERIFY(QImage(path).isNull());
}

void TestResources::iconFileStructure()
{
    const QByteArray ico = readFile(iconFile());
    const int imageBytes = 40 + 128 * 128 * 4 + 128 * 16;
    QCOMPARE(ico.size(), 6 + 16 + imageBytes);

    // Directory: reserved, type icon, one entry.
    QCOMPARE(littleEndian16(ico, 0), quint16(0));
    QCOMPARE(littleEndian16(ico, 2), quint16(1));
    QCOMPARE(littleEndian16(ico, 4), quint16(1));

    // The entry: 128 x 128, no colour table, one plane, 32 bits, its bytes right after it.
    QCOMPARE(quint8(ico.at(6)), quint8(128));
    QCOMPARE(quint8(ico.at(7)), quint8(128));
    QCOMPARE(quint8(ico.at(8)), quint8(0));
    QCOMPARE(littleEndian16(ico, 10), quint16(1));
    QCOMPARE(littleEndian16(ico, 12), quint16(32));
    QCOMPARE(littleEndian32(ico, 14), quint32(imageBytes));
    QCOMPARE(littleEndian32(ico, 18), quint32(22));

    // A device-independent bitmap, not PNG data: header size, width, colour and mask rows.
    const QByteArray bitmap = ico.mid(22);
    QCOMPARE(littleEndian32(bitmap, 0), quint32(40));
    QCOMPARE(littleEndian32(bitmap, 4), quint32(128));
    QCOMPARE(littleEndian32(bitmap, 8), quint32(256));
    QCOMPARE(littleEndian16(bitmap, 12), quint16(1));
    QCOMPARE(littleEndian16(bitmap, 14), quint16(32));
    QCOMPARE(littleEndian32(bitmap, 16), quint32(0)); // uncompressed

    // The mask must let through exactly the fully transparent pixels, or shells that draw
    // with the mask show a black square or holes; and the icon must use its alpha.
    int transparent = 0;
    int opaque = 0;
    for (int row = 0; row < 128; ++row) {
        for (int x = 0; x < 128; ++x) {
            const int alpha = quint8(bitmap.at(40 + (row * 128 + x) * 4 + 3));
            const bool masked = quint8(bitmap.at(40 + 65536 + row * 16 + x / 8)) & (0x80 >> x % 8);
            QVERIFY2(masked == (alpha == 0),
                     qPrintable(QStringLiteral("mask disagrees with alpha at %1,%2").arg(x).arg(row)));
            transparent += alpha == 0;
            opaque += alpha == 255;
        }
    }
    QVERIFY(transparent > 0);
    QVERIFY(opaque > 128 * 128 / 2);
}

void TestResources::windowsIconMatchesDesktopIcon()
{
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("no icon reader installed");
    QImageReader reader(iconFile(), "ico");
    const QImage icon = reader.read();
    QVERIFY2(!icon.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(icon.size(), QSize(128, 128));

    // Same picture on both desktops: this also catches rows written top-down, swapped colour
    // channels and premultiplied alpha in the bitmap.
    const QImage desktopIcon(desktopIconFile());
    QCOMPARE(icon.convertToFormat(QImage::Format_ARGB32),
             desktopIcon.convertToFormat(QImage::Format_ARGB32));
}

void TestResources::manifest_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("value");

    QTest::newRow("runs with the caller's rights")
        << "requestedExecutionLevel" << "level" << "asInvoker";
    QTest::newRow("no access to other programs' windows")
        << "requestedExecutionLevel" << "uiAccess" << "false";
    QTest::newRow("common controls")
        << "assemblyIdentity" << "name" << "Microsoft.Windows.Common-Controls";
    QTest::newRow("common controls version 6") << "assemblyIdentity" << "version" << "6.0.0.0";
    QTest::newRow("common controls of any processor")
        << "assemblyIdentity" << "processorArchitecture" << "*";
    QTest::newRow("common controls in any language")
        << "assemblyIdentity" << "language" << "*";
    QTest::newRow("common controls signed by the system")
        << "assemblyIdentity" << "publicKeyToken" << "6595b64144ccf1df";
}

void TestResources::manifest()
{
    QFETCH(QString, element);
    QFETCH(QString, attribute);
    QFETCH(QString, value);

    QFile file(manifestFile());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QStringList values;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == element)
            values.append(xml.attributes().value(attribute).toString());
    }
    // Windows refuses to start a program whose manifest is not well-formed.
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(values, QStringList{value});
}

void TestResources::resourceScriptCompiles()
{
    const QString windres = QStandardPaths::findExecutable("x86_64-w64-mingw32-windres");
    if (windres.isEmpty())
        QSKIP("x86_64-w64-mingw32-windres is not installed");
    // windres preprocesses with the cross compiler; without it, the host's preprocessor does.
    QStringList arguments;
    if (QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc").isEmpty()) {
        const QString cpp = QStandardPaths::findExecutable("cpp");
        if (cpp.isEmpty())
            QSKIP("no C preprocessor for windres");
        arguments << "--preprocessor=" + cpp;
    }
    QTemporaryDir output;
    QVERIFY(output.isValid());
    const QString resFile = output.filePath("sternzeit.res");
    arguments << "-i" << resourceScript() << "-O" << "res" << "-o" << resFile;

    QProcess process;
    process.setWorkingDirectory(output.path());
    process.start(windres, arguments);
    QVERIFY(process.waitForFinished(30000));
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
             process.readAllStandardError().constData());

    // The icon, its group under the name the toolkit looks up, and the manifest; nothing else.
    QMap<QString, WindowsResource> byType;
    for (const WindowsResource &resource : readResFile(readFile(resFile))) {
        QCOMPARE(resource.language, quint16(0x409)); // English, United States
        byType.insert(resource.type, resource);
    }
    QCOMPARE(byType.keys(), QStringList({"#14", "#24", "#3"}));

    const QByteArray ico = readFile(iconFile());
    const WindowsResource image = byType.value("#3");
    QCOMPARE(image.data, ico.mid(22));

    const WindowsResource group = byType.value("#14");
    QCOMPARE(group.name, QStringLiteral("IDI_ICON1"));
    QCOMPARE(group.data.size(), 6 + 14);
    QCOMPARE(group.data.mid(6, 12), ico.mid(6, 12)); // size, colours, planes, bits, bytes
    QCOMPARE(QStringLiteral("#%1").arg(littleEndian16(group.data, 18)), image.name);

    const WindowsResource manifest = byType.value("#24");
    QCOMPARE(manifest.name, QStringLiteral("#1"));
    QCOMPARE(manifest.data, readFile(manifestFile()));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
