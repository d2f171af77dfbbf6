// Takes the screenshots the README shows: the splash, the main window, the info dialog and the
// conversion dialog after a conversion. Run under an X server (see screenshots.sh); it clicks
// and types like a user and photographs the screen, not the widgets, so what it saves is what
// the window system shows.

#include "mainwindow.h"
#include "startup.h"
#include "windowslook.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplashScreen>
#include <QTest>

namespace {

void photograph(const QWidget *window, const QString &path)
{
    const QRect area = window->frameGeometry();
    QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(path);
}

QWidget *topLevel(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

template <typename T>
T *child(const QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

} // namespace

int main(int argc, char *argv[])
{
    followScreenDensity();
    QApplication app(argc, argv);
    useWindowsLook();
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));

    QSplashScreen *splash = showSplash();
    MainWindow window;
    window.move(40, 40);
    handOver(splash, &window);
    QTest::qWait(400);
    photograph(splash, out.filePath(QStringLiteral("splash.png")));
    QTest::qWait(1600);
    photograph(&window, out.filePath(QStringLiteral("mainwindow.png")));

    QTest::mouseClick(child<QPushButton>(&window, "Info"), Qt::LeftButton);
    QWidget *about = topLevel("About");
    about->move(40, 400);
    QTest::qWait(300);
    photograph(about, out.filePath(QStringLiteral("about.png")));

    QTest::mouseClick(child<QPushButton>(&window, "Compute"), Qt::LeftButton);
    QWidget *compute = topLevel("Compute");
    compute->move(300, 400);
    QTest::keyClicks(child<QLineEdit>(compute, "lineEdit"), QStringLiteral("05.12.2013 12:00"));
    for (const char *box : { "checkBox_2", "checkBox", "checkBox_3" })
        QTest::mouseClick(child<QCheckBox>(compute, box), Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
    QTest::mouseClick(child<QPushButton>(compute, "Computes"), Qt::LeftButton);
    QTest::qWait(300);
    photograph(compute, out.filePath(QStringLiteral("compute.png")));

    window.close();
    return 0;
}
