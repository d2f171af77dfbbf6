#include "shownwindow.h"

#include <QMouseEvent>
#include <QWindow>
#include <QtTest>

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
    QTest::addColumn<QString>("grip"); // an object name, or none for the background
    QTest::addColumn<bool>("moves");

    for (const char *kind : { "MainWindow", "About", "Compute" }) {
        QTest::addRow("%s: left button on the background", kind) << kind << int(Qt::LeftButton) << "" << true;
        QTest::addRow("%s: right button", kind) << kind << int(Qt::RightButton) << "" << false;
        QTest::addRow("%s: middle button", kind) << kind << int(Qt::MiddleButton) << "" << false;
        QTest::addRow("%s: no button", kind) << kind << int(Qt::NoButton) << "" << false;
        QTest::addRow("%s: left button on a push button", kind) << kind << int(Qt::LeftButton) << "Schliessen" << false;
    }
    // A value of the clock opens its copy menu on a right press, and is the clock's background else.
    QTest::newRow("MainWindow: left button on a value") << "MainWindow" << int(Qt::LeftButton) << "myFormat" << true;
    QTest::newRow("MainWindow: right button on a value") << "MainWindow" << int(Qt::RightButton) << "myFormat" << false;
}

void TestDragging::drag()
{
    QFETCH(QString, kind);
    QFETCH(int, button);
    QFETCH(QString, grip);
    QFETCH(bool, moves);

    const std::unique_ptr<QWidget> window = shownWindow(kind);
    QVERIFY(window);
    QWindow *handle = window->windowHandle();
    const QWidget *gripped = window->findChild<QWidget *>(grip);
    const QPoint at = grip.isEmpty() ? QPoint(3, window->height() / 2)
                                     : gripped->mapTo(window.get(), gripped->rect().center());
    const QPoint start = window->pos();
    const QPoint offset(37, -21);

    if (button != Qt::NoButton)
        QTest::mousePress(handle, Qt::MouseButton(button), Qt::NoModifier, at);
    if (QWidget *menu = QApplication::activePopupWidget())
        menu->close();
    QTest::mouseMove(handle, at + offset);
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

    const std::unique_ptr<QWidget> window = shownWindow(kind);
    QVERIFY(window);
    const auto send = [&window](QEvent::Type type, const QPoint &at, Qt::MouseButton cause, Qt::MouseButtons held) {
        QMouseEvent event(type, at, window->mapToGlobal(at), cause, held, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &event);
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
