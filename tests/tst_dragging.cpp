#include "about.h"
#include "compute.h"
#include "mainwindow.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>
#include <QtTest>

namespace {

QWidget *createWindow(const QString &kind)
{
    if (kind == QLatin1String("MainWindow"))
        return new MainWindow;
    if (kind == QLatin1String("About"))
        return new About;
    return new Compute;
}

} // namespace

// Mouse events go in through the window system, so the toolkit hands each press to the widget
// under the cursor exactly as it does for a real user, unless a case needs an order of events
// that the toolkit would smooth over.
class TestDragging : public QObject
{
    Q_OBJECT

private slots:
    void drag_data();
    void drag();
    void anotherButtonKeepsTheGrabbedPoint_data();
    void anotherButtonKeepsTheGrabbedPoint();
};

void TestDragging::drag_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("onCloseButton");
    QTest::addColumn<bool>("moves");

    for (const char *kind : { "MainWindow", "About", "Compute" }) {
        const QByteArray name(kind);
        QTest::newRow(name + ": left button on the background") << kind << int(Qt::LeftButton) << false << true;
        QTest::newRow(name + ": right button") << kind << int(Qt::RightButton) << false << false;
        QTest::newRow(name + ": middle button") << kind << int(Qt::MiddleButton) << false << false;
        QTest::newRow(name + ": no button") << kind << int(Qt::NoButton) << false << false;
        QTest::newRow(name + ": left button on a push button") << kind << int(Qt::LeftButton) << true << false;
    }
}

void TestDragging::drag()
{
    QFETCH(QString, kind);
    QFETCH(int, button);
    QFETCH(bool, onCloseButton);
    QFETCH(bool, moves);

    QScopedPointer<QWidget> window(createWindow(kind));
    window->move(200, 150);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    QWindow *handle = window->windowHandle();

    const QWidget *closeButton = window->findChild<QPushButton *>(QStringLiteral("Schliessen"));
    QVERIFY(closeButton);
    const QPoint grip = onCloseButton ? closeButton->mapTo(window.data(), closeButton->rect().center())
                                      : QPoint(3, window->height() / 2);
    const QPoint start = window->pos();
    const QPoint offset(37, -21);

    if (button != Qt::NoButton)
        QTest::mousePress(handle, Qt::MouseButton(button), Qt::NoModifier, grip);
    QTest::mouseMove(handle, grip + offset);
    QCOMPARE(window->pos(), moves ? start + offset : start);

    // Let go away from the push button, so that the release clicks nothing.
    if (button != Qt::NoButton)
        QTest::mouseRelease(handle, Qt::MouseButton(button), Qt::NoModifier, QPoint(3, 3));
    QVERIFY(window->isVisible());
}

void TestDragging::anotherButtonKeepsTheGrabbedPoint_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("button");
    for (const char *kind : { "MainWindow", "About", "Compute" }) {
        QTest::addRow("%s: right button", kind) << kind << int(Qt::RightButton);
        QTest::addRow("%s: middle button", kind) << kind << int(Qt::MiddleButton);
    }
}

// A window may lag behind the cursor while the window system places it, so a second button can go
// down over another point of the window than the one grabbed. The grabbed point stays under the
// cursor, and the drag goes on while the left button is held.
void TestDragging::anotherButtonKeepsTheGrabbedPoint()
{
    QFETCH(QString, kind);
    QFETCH(int, button);

    QScopedPointer<QWidget> window(createWindow(kind));
    window->move(200, 150);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    const auto send = [&window](QEvent::Type type, const QPoint &at, Qt::MouseButton cause, Qt::MouseButtons held) {
        QMouseEvent event(type, at, window->mapToGlobal(at), cause, held, Qt::NoModifier);
        QApplication::sendEvent(window.data(), &event);
    };
    const Qt::MouseButtons both = Qt::LeftButton | Qt::MouseButton(button);

    send(QEvent::MouseButtonPress, QPoint(5, 100), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonPress, QPoint(60, 40), Qt::MouseButton(button), both);
    send(QEvent::MouseMove, QPoint(15, 130), Qt::NoButton, both);
    QCOMPARE(window->pos(), QPoint(210, 180));
    send(QEvent::MouseButtonRelease, QPoint(5, 100), Qt::MouseButton(button), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(5, 100), Qt::LeftButton, Qt::NoButton);
}

QTEST_MAIN(TestDragging)
#include "tst_dragging.moc"
