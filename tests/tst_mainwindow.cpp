#include "mainwindow.h"
#include "stardate.h"
#include "valuelabel.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <algorithm>

namespace {

QLabel *label(const QWidget &window, const char *name)
{
    return window.findChild<QLabel *>(QLatin1String(name));
}

// Buttons are found by the caption a user reads on them.
QPushButton *button(const QWidget &window, const QString &caption)
{
    for (QPushButton *pushButton : window.findChildren<QPushButton *>()) {
        if (pushButton->text() == caption)
            return pushButton;
    }
    return nullptr;
}

// The texts of a window as a user reads them: column by column, each top to bottom.
QStringList reading(const QWidget &window)
{
    QList<std::tuple<int, int, QString>> texts; // x, y, text
    const auto add = [&](const QWidget *widget, const QString &text) {
        const QPoint at = widget->mapTo(&window, QPoint());
        texts.append({ at.x(), at.y(), text });
    };
    for (const QLabel *text : window.findChildren<QLabel *>()) {
        if (text->isVisible() && !text->text().isEmpty())
            add(text, text->text());
    }
    for (const QPushButton *pushButton : window.findChildren<QPushButton *>())
        add(pushButton, pushButton->text());
    std::sort(texts.begin(), texts.end());
    QStringList read;
    for (const auto &text : texts)
        read << std::get<2>(text);
    return read;
}

QWidgetList visibleWindows(const char *className)
{
    QWidgetList windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            windows.append(widget);
    }
    return windows;
}

// Counts the requests for a new layout that reach a widget.
class LayoutRequestCounter : public QObject
{
public:
    int requests = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++requests;
        return false;
    }
};

// Shows the window and lets its clock tick twice, so that its value labels have settled.
void showSettled(MainWindow *window)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_VERIFY_WITH_TIMEOUT(!label(*window, "showNormalTime")->text().isEmpty(), 2500);
    const QString first = label(*window, "showNormalTime")->text();
    QTRY_VERIFY_WITH_TIMEOUT(label(*window, "showNormalTime")->text() != first, 3000);
    QCoreApplication::processEvents();
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void isAFramelessWindowWithItsPictures();
    void eachTickShowsOneMomentInAllThreeTexts();
    void firstTickComesAfterOneSecondTheNextJustAfterAFullSecond();
    void valuesKeepTheLayoutUntilTheyOutgrowIt_data();
    void valuesKeepTheLayoutUntilTheyOutgrowIt();
    void dialogsComeBackWhereTheyWereLeft_data();
    void dialogsComeBackWhereTheyWereLeft();
};

void TestMainWindow::isAFramelessWindowWithItsPictures()
{
    MainWindow window;
    QCOMPARE(window.size(), QSize(820, 313));
    QCOMPARE(window.windowTitle(), QStringLiteral("Sternzeit"));
    QCOMPARE(window.windowFlags() & ~Qt::Window, Qt::WindowFlags(Qt::FramelessWindowHint));
    QCOMPARE(label(window, "label_8")->pixmap(Qt::ReturnByValue).size(), QSize(800, 20));
    QCOMPARE(label(window, "label_7")->pixmap(Qt::ReturnByValue).size(), QSize(800, 20));
    QCOMPARE(label(window, "label")->pixmap(Qt::ReturnByValue).size(), QSize(134, 112));
}

// The value labels stay empty until the first tick; from then on each tick shows one moment in
// all three, each caption right above the value it names.
void TestMainWindow::eachTickShowsOneMomentInAllThreeTexts()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (const char *name : { "showNormalTime", "myFormat", "otherFormat" })
        QCOMPARE(label(window, name)->text(), QString());
    QTRY_VERIFY_WITH_TIMEOUT(!label(window, "showNormalTime")->text().isEmpty(), 2500);

    const QString firstReading = label(window, "showNormalTime")->text();
    const QDateTime shown = QDateTime::fromString(firstReading, QStringLiteral("dd.MM.yyyy - hh:mm:ss"));
    QVERIFY2(shown.isValid(), qPrintable(firstReading));
    QVERIFY(qAbs(shown.secsTo(QDateTime::currentDateTime())) <= 1);
    QCOMPARE(reading(window), QStringList({ "Aktuelle Zeit:", firstReading,
                                            "Mein Sternzeitformat:", ownStardateText(shown),
                                            "Anderes Sternzeitformat:",
                                            formulaStardateText(shown.date().year(), shown.date().dayOfYear(),
                                                                shown.time().hour(), shown.time().minute()),
                                            "Berechnen", "Info", "Schließen" }));

    QTRY_VERIFY_WITH_TIMEOUT(label(window, "showNormalTime")->text() != firstReading, 3000);
}

void TestMainWindow::firstTickComesAfterOneSecondTheNextJustAfterAFullSecond()
{
    MainWindow window;
    const QList<QTimer *> timers = window.findChildren<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(timers.size(), 1);
    QTimer *timer = timers.first();
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);

    // A tick well inside a second sets the next one to just after the next full second.
    QTRY_VERIFY(QTime::currentTime().msec() >= 100 && QTime::currentTime().msec() <= 800);
    const int before = QTime::currentTime().msec();
    QVERIFY(QMetaObject::invokeMethod(&window, "showTimes"));
    const int after = QTime::currentTime().msec();
    QVERIFY2(timer->isActive() && before + timer->interval() <= 1020 && after + timer->interval() > 1000,
             qPrintable(QStringLiteral("read at %1 to %2 ms, next tick in %3 ms").arg(before).arg(after).arg(timer->interval())));
}

void TestMainWindow::valuesKeepTheLayoutUntilTheyOutgrowIt_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    // The date outgrows the column that the longest caption sets. The widest formula stardates
    // are about as wide as that caption: they outgrow it by a few pixels where the letters keep
    // their fractional widths and fit where the font engine rounds each letter to whole pixels.
    QTest::newRow("date of an eight-digit year") << "showNormalTime" << "01.01.12345678 - 00:00:00";
    QTest::newRow("formula stardate with 13 digits") << "otherFormat" << "-1234567890123.000000";
}

// A new second asks for no new layout; a value that outgrows its column gets the room it needs.
void TestMainWindow::valuesKeepTheLayoutUntilTheyOutgrowIt()
{
    QFETCH(QString, name);
    QFETCH(QString, value);
    MainWindow window;
    showSettled(&window);
    LayoutRequestCounter counter;
    window.centralWidget()->installEventFilter(&counter);
    const QString shown = label(window, "showNormalTime")->text();
    QTRY_VERIFY_WITH_TIMEOUT(label(window, "showNormalTime")->text() != shown, 3000);
    QCoreApplication::processEvents();
    QCOMPARE(counter.requests, 0);

    QLabel *valueLabel = label(window, qPrintable(name));
    const int settledWidth = valueLabel->width();
    showValue(valueLabel, value);
    QCoreApplication::processEvents();
    QCOMPARE(valueLabel->text(), value);
    QVERIFY2(valueLabel->width() >= valueLabel->sizeHint().width(),
             qPrintable(QStringLiteral("needs %1 px, has %2 (had %3)")
                            .arg(valueLabel->sizeHint().width()).arg(valueLabel->width()).arg(settledWidth)));
}

void TestMainWindow::dialogsComeBackWhereTheyWereLeft_data()
{
    QTest::addColumn<QString>("opener");
    QTest::addColumn<bool>("withEscape");
    QTest::newRow("Info, closed with Schließen") << "Info" << false;
    QTest::newRow("Berechnen, closed with Schließen: reset") << "Berechnen" << false;
    QTest::newRow("Berechnen, hidden with Escape: as it was") << "Berechnen" << true;
}

// However often its button is clicked, a dialog opens once, and it comes back where it was moved.
void TestMainWindow::dialogsComeBackWhereTheyWereLeft()
{
    QFETCH(QString, opener);
    QFETCH(bool, withEscape);
    const char *className = opener == QLatin1String("Info") ? "About" : "Compute";
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    for (int click = 0; click < 3; ++click)
        QTest::mouseClick(button(window, opener), Qt::LeftButton);
    QCOMPARE(visibleWindows(className).size(), 1);
    QWidget *dialog = visibleWindows(className).first();
    dialog->move(dialog->pos() + QPoint(40, 30));
    const QPoint lastPosition = dialog->pos();

    auto *input = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    auto *direction = dialog->findChild<QCheckBox *>(QStringLiteral("checkBox_4"));
    if (input) {
        QTest::keyClicks(input, QStringLiteral("2500"));
        QTest::keyClick(direction, Qt::Key_Space); // ticks the box wherever the style draws it
        QVERIFY(direction->isChecked());
    }
    if (withEscape)
        QTest::keyClick(dialog, Qt::Key_Escape);
    else
        QTest::mouseClick(button(*dialog, "Schließen"), Qt::LeftButton);
    QVERIFY(visibleWindows(className).isEmpty());

    QTest::mouseClick(button(window, opener), Qt::LeftButton);
    QCOMPARE(visibleWindows(className), QWidgetList{dialog});
    QCOMPARE(dialog->pos(), lastPosition);
    QVERIFY(window.isVisible());
    if (input) {
        QCOMPARE(input->text(), withEscape ? QStringLiteral("2500") : QString());
        QCOMPARE(direction->isChecked(), withEscape);
    }
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
