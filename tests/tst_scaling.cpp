#include "about.h"
#include "compute.h"
#include "mainwindow.h"
#include "startup.h"

#include <QLabel>
#include <QSplashScreen>
#include <QtTest>

#include <memory>

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
    void splashShowsAPictureMadeForTheRatio();
    void everyWindowCarriesTheProgramIcon_data();
    void everyWindowCarriesTheProgramIcon();
};

namespace {

std::unique_ptr<QWidget> makeWindow(const QString &className)
{
    if (className == QLatin1String("MainWindow"))
        return std::make_unique<MainWindow>();
    if (className == QLatin1String("About"))
        return std::make_unique<About>();
    if (className == QLatin1String("QSplashScreen"))
        return std::unique_ptr<QWidget>(showSplash());
    return std::make_unique<Compute>();
}

} // namespace

void TestScaling::labelsShowPicturesMadeForTheRatio_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("windowSize");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QSize>("pictureSize");

    const QSize mainWindow(820, 313);
    const QSize info(559, 348);
    const QSize conversion(817, 411);
    QTest::newRow("main window, top strip") << "MainWindow" << mainWindow << "label_8" << QSize(800, 20);
    QTest::newRow("main window, logo") << "MainWindow" << mainWindow << "label" << QSize(134, 112);
    QTest::newRow("main window, bottom strip") << "MainWindow" << mainWindow << "label_7" << QSize(800, 20);
    QTest::newRow("info dialog, top strip") << "About" << info << "label_2" << QSize(539, 20);
    QTest::newRow("info dialog, bottom strip") << "About" << info << "label_3" << QSize(539, 20);
    QTest::newRow("conversion dialog, top strip") << "Compute" << conversion << "label" << QSize(800, 20);
    QTest::newRow("conversion dialog, bottom strip") << "Compute" << conversion << "label_2" << QSize(800, 20);
}

void TestScaling::labelsShowPicturesMadeForTheRatio()
{
    QFETCH(QString, window);
    QFETCH(QSize, windowSize);
    QFETCH(QString, label);
    QFETCH(QSize, pictureSize);
    QCOMPARE(qApp->devicePixelRatio(), 2.0);

    const std::unique_ptr<QWidget> shown = makeWindow(window);
    const QLabel *picture = shown->findChild<QLabel *>(label);
    const QPixmap pixmap = picture->pixmap(Qt::ReturnByValue);
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.size(), pictureSize * 2);
    QCOMPARE(picture->sizeHint(), pictureSize);
    QCOMPARE(shown->size(), windowSize);
}

void TestScaling::splashShowsAPictureMadeForTheRatio()
{
    const std::unique_ptr<QSplashScreen> splash(showSplash());
    QCOMPARE(splash->pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(splash->pixmap().size(), QSize(600, 450));
    QCOMPARE(splash->size(), QSize(300, 225));
}

void TestScaling::everyWindowCarriesTheProgramIcon_data()
{
    QTest::addColumn<QString>("window");
    QTest::newRow("main window") << "MainWindow";
    QTest::newRow("info dialog") << "About";
    QTest::newRow("conversion dialog") << "Compute";
    QTest::newRow("splash") << "QSplashScreen";
}

void TestScaling::everyWindowCarriesTheProgramIcon()
{
    QFETCH(QString, window);
    const std::unique_ptr<QWidget> shown = makeWindow(window);
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
