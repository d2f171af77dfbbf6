#include "artwork.h"

#include <QDir>
#include <QtTest>

// The program's icon reads its sizes only when a window asks for them; what it gives must be what
// an icon holding all its files gives, for every size and look a window or a tray may ask for.
class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void iconAnswersAsOneHoldingItsFiles_data();
    void iconAnswersAsOneHoldingItsFiles();
};

namespace {

QIcon iconHoldingItsFiles()
{
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString &name : icons.entryList(QDir::Files))
        icon.addFile(icons.filePath(name));
    return icon;
}

} // namespace

void TestArtwork::iconAnswersAsOneHoldingItsFiles_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("mode"); // a QIcon::Mode
    QTest::newRow("a size it holds") << QSize(32, 32) << int(QIcon::Normal);
    QTest::newRow("the largest it holds") << QSize(256, 256) << int(QIcon::Normal);
    QTest::newRow("a tray's size, made from the next larger") << QSize(22, 22) << int(QIcon::Normal);
    QTest::newRow("between two larger sizes") << QSize(96, 96) << int(QIcon::Normal);
    QTest::newRow("not square") << QSize(40, 20) << int(QIcon::Normal);
    QTest::newRow("beyond the largest") << QSize(300, 300) << int(QIcon::Normal);
    QTest::newRow("greyed out") << QSize(48, 48) << int(QIcon::Disabled);
    QTest::newRow("selected, made smaller") << QSize(20, 20) << int(QIcon::Selected);
}

void TestArtwork::iconAnswersAsOneHoldingItsFiles()
{
    QFETCH(QSize, size);
    QFETCH(int, mode);
    const auto look = static_cast<QIcon::Mode>(mode);
    const QIcon icon = programIcon();
    const QIcon expected = iconHoldingItsFiles();

    QCOMPARE(icon.availableSizes(), expected.availableSizes());
    QCOMPARE(icon.actualSize(size, look), expected.actualSize(size, look));
    const QImage image = icon.pixmap(size, look).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image, expected.pixmap(size, look).toImage().convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
