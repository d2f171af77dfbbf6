#include "shownwindow.h"
#include "startup.h"

#include <QLabel>
#include <QSplashScreen>
#include <QtTest>

// Runs on a screen of device pixel ratio 2 (QT_SCALE_FACTOR=2): windows keep their logical
// sizes, and every picture is drawn from the one made for that ratio.
class TestScaling : public QObject
{
    Q_OBJECT

public:
    static void initMain() { followScreenDensity(); }

private slots:
    void labelsShowPicturesMadeForTheRatio_data();
    void labelsShowPicturesMadeForTheRatio();
    void windowsKeepTheirSizeAndCarryTheProgramIcon_data();
    void windowsKeepTheirSizeAndCarryTheProgramIcon();
};

namespace {

std::unique_ptr<QWidget> windowOrSplash(const QString &kind)
{
    return kind == QLatin1String("QSplashScreen") ? std::unique_ptr<QWidget>(showSplash()) : makeWindow(kind);
}

} // namespace

void TestScaling::labelsShowPicturesMadeForTheRatio_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QSize>("pictureSize");

    QTest::newRow("main window, top strip") << "MainWindow" << "label_8" << QSize(800, 20);
    QTest::newRow("main window, logo") << "MainWindow" << "label" << QSize(134, 112);
    QTest::newRow("main window, bottom strip") << "MainWindow" << "label_7" << QSize(800, 20);
    QTest::newRow("info dialog, top strip") << "About" << "label_2" << QSize(539, 20);
    QTest::newRow("info dialog, bottom strip") << "About" << "label_3" << QSize(539, 20);
    QTest::newRow("conversion dialog, top strip") << "Compute" << "label" << QSize(800, 20);
    QTest::newRow("conversion dialog, bottom strip") << "Compute" << "label_2" << QSize(800, 20);
    QTest::newRow("splash") << "QSplashScreen" << "" << QSize(300, 225);
}

void TestScaling::labelsShowPicturesMadeForTheRatio()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    QFETCH(QSize, pictureSize);
    QCOMPARE(qApp->devicePixelRatio(), 2.0);

    const std::unique_ptr<QWidget> shown = windowOrSplash(window);
    const auto *splash = qobject_cast<QSplashScreen *>(shown.get());
    const QLabel *picture = shown->findChild<QLabel *>(label);
    const QPixmap pixmap = splash ? splash->pixmap() : picture->pixmap(Qt::ReturnByValue);
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.size(), pictureSize * 2);
    if (!splash)
        QCOMPARE(picture->sizeHint(), pictureSize);
}

void TestScaling::windowsKeepTheirSizeAndCarryTheProgramIcon_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("size");
    QTest::newRow("main window") << "MainWindow" << QSize(820, 313);
    QTest::newRow("info dialog") << "About" << QSize(559, 348);
    QTest::newRow("conversion dialog") << "Compute" << QSize(817, 411);
    QTest::newRow("splash") << "QSplashScreen" << QSize(300, 225);
}

void TestScaling::windowsKeepTheirSizeAndCarryTheProgramIcon()
{
    QFETCH(QString, window);
    QFETCH(QSize, size);
    const std::unique_ptr<QWidget> shown = windowOrSplash(window);
    QCOMPARE(shown->size(), size);
    // Its own icon, not the application's that a window without one falls back to.
    QVERIFY(shown->testAttribute(Qt::WA_SetWindowIcon));
    const QIcon icon = shown->windowIcon();
    for (int side : {16, 24, 32, 48, 64, 128, 256})
        QVERIFY2(icon.availableSizes().contains(QSize(side, side)), qPrintable(QString::number(side)));

    // A taskbar's 32 pixel place takes the 64 pixel picture at this ratio.
    QImage expected = QImage(QStringLiteral(":/icons/sternzeit-64.png")).convertToFormat(QImage::Format_ARGB32);
    expected.setDevicePixelRatio(2);
    QCOMPARE(icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32), expected);
}

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
