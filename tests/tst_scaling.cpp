#include "shownwindow.h"
#include "startup.h"

#include <QLabel>
#include <QScreen>
#include <QSplashScreen>
#include <QtTest>

// Runs at a display scale above 1 (QT_SCREEN_SCALE_FACTORS, 2 or fractional), with Qt 6 also on
// two screens of different scales: windows keep their logical sizes, and every picture is drawn
// from the one made for that ratio, again when a window is moved onto another screen.
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
    QVERIFY(qApp->devicePixelRatio() > 1);

    const std::unique_ptr<QWidget> shown = windowOrSplash(window);
    const auto *splash = qobject_cast<QSplashScreen *>(shown.get());
    // A window moved onto the last screen, which where there are two has another scale than the
    // first, chooses its pictures again.
    if (!splash) {
        shown->show();
        QVERIFY(QTest::qWaitForWindowExposed(shown.get()));
        QScreen *last = QGuiApplication::screens().constLast();
        shown->move(last->geometry().topLeft() + QPoint(20, 20));
        QTRY_COMPARE(shown->screen(), last);
    }
    const qreal ratio = shown->screen()->devicePixelRatio();
    const QLabel *picture = shown->findChild<QLabel *>(label);
    const QPixmap pixmap = splash ? splash->pixmap() : picture->pixmap(Qt::ReturnByValue);
    QCOMPARE(pixmap.devicePixelRatio(), ratio);
    QCOMPARE(pixmap.size(), pictureSize * ratio);
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

    // A taskbar's 32 pixel place takes a picture of as many pixels as the screen gives it, the one
    // made for that size where there is one (48 at 1.5, 64 at 2).
    const qreal ratio = qApp->devicePixelRatio();
    const QImage shownIcon = icon.pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(shownIcon.size(), QSize(32, 32) * ratio);
    QImage made = QImage(QStringLiteral(":/icons/sternzeit-%1.png").arg(shownIcon.width())).convertToFormat(QImage::Format_ARGB32);
    made.setDevicePixelRatio(ratio);
    if (!made.isNull())
        QCOMPARE(shownIcon, made);
}

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
