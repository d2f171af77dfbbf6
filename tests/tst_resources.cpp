#include "artwork.h"

#include <QDir>
#include <QImageReader>
#include <QtTest>

namespace {

const QList<int> iconSides = {16, 24, 32, 48, 64, 128, 256};
const QByteArray pngSignature("\x89PNG\r\n\x1a\n");

QImage argb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray contents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void iconAnswersAsOneHoldingItsFiles_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("mode"); // a QIcon::Mode
        QTest::newRow("a size it holds") << QSize(32, 32) << int(QIcon::Normal);
        QTest::newRow("a tray's size, made from the next larger") << QSize(22, 22) << int(QIcon::Normal);
        QTest::newRow("not square") << QSize(40, 20) << int(QIcon::Normal);
        QTest::newRow("beyond the largest") << QSize(300, 300) << int(QIcon::Normal);
        QTest::newRow("greyed out") << QSize(48, 48) << int(QIcon::Disabled);
    }

    // The program's icon reads a size only when a window asks for it; it answers as an icon that
    // holds all its files does, for every size and look a window or a tray may ask for.
    void iconAnswersAsOneHoldingItsFiles()
    {
        QFETCH(QSize, size);
        QFETCH(int, mode);
        const auto look = QIcon::Mode(mode);
        QIcon expected;
        const QDir icons(QStringLiteral(":/icons"));
        for (const QString &name : icons.entryList(QDir::Files))
            expected.addFile(icons.filePath(name));
        const QIcon icon = programIcon();
        QCOMPARE(icon.availableSizes().size(), iconSides.size());
        QCOMPARE(icon.availableSizes(), expected.availableSizes());
        QCOMPARE(icon.actualSize(size, look), expected.actualSize(size, look));
        QCOMPARE(argb(icon.pixmap(size, look).toImage()), argb(expected.pixmap(size, look).toImage()));
    }

    // The shell picks the picture nearest the size it draws: each size is there once, as the
    // picture the Linux desktop gets at that size, and the largest as PNG data, as Windows takes it.
    void windowsIcon()
    {
        const QString fileName = QStringLiteral(RESOURCES_DIR "/sternzeit.ico");
        QImageReader reader(fileName, "ico");
        QList<int> sides;
        for (int i = 0; i < reader.imageCount(); ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage shown = reader.read();
            sides << shown.width();
            const QString drawn = QStringLiteral(RESOURCES_DIR "/icons/sternzeit-%1.png").arg(shown.width());
            QVERIFY2(argb(shown) == argb(QImage(drawn)), qPrintable(drawn));
        }
        std::sort(sides.begin(), sides.end());
        QCOMPARE(sides, iconSides);
        // After a header of 6 bytes, 16 a picture: a width of 0 stands for 256, the data's place
        // is at byte 12.
        const QByteArray ico = contents(fileName);
        for (int at = 6; at < 6 + 16 * int(sides.size()) && at + 16 <= ico.size(); at += 16) {
            if (ico.at(at) == 0)
                QCOMPARE(ico.mid(int(qFromLittleEndian<quint32>(ico.constData() + at + 12)), 8), pngSignature);
        }
    }

    // The icon goes in under the name the toolkit looks up, the manifest as it is.
    void resourceScriptCompiles()
    {
        const QString windres = QStandardPaths::findExecutable("x86_64-w64-mingw32-windres");
        if (windres.isEmpty())
            QSKIP("x86_64-w64-mingw32-windres is not installed");
        // windres preprocesses with the cross compiler; without it, the host's preprocessor does.
        QStringList arguments;
        if (QStandardPaths::findExecutable("x86_64-w64-mingw32-gcc").isEmpty())
            arguments << "--preprocessor=cpp";
        QTemporaryDir output;
        const QString res = output.filePath("sternzeit.res");
        arguments << "-i" << RESOURCES_DIR "/sternzeit.rc" << "-O" << "res" << "-o" << res;
        QCOMPARE(QProcess::execute(windres, arguments), 0);
        const QByteArray compiled = contents(res);
        QVERIFY(compiled.contains(QByteArray(reinterpret_cast<const char *>(u"IDI_ICON1"), 18)));
        QVERIFY(compiled.contains(pngSignature));
        QVERIFY(compiled.contains(contents(RESOURCES_DIR "/sternzeit.manifest")));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
