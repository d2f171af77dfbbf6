#include "dialogconversions.h"
#include "shownwindow.h"

#include <QAccessible>
#include <QClipboard>
#include <QLabel>

namespace {

// What the four boxes show, in the order toStardate, toDate, own, formula, and the clicks that
// lead from the fresh dialog to each state.
struct State
{
    const char *shown;
    QStringList path;
};

const State states[] = {
    {nullptr, {}},
    {"off off off off", {}}, {"off off on off", {own}}, {"off off off on", {formula}},
    {"off off on on", {own, formula}}, {"on locked off off", {toStardate}}, {"on locked on off", {toStardate, own}},
    {"on locked off on", {toStardate, formula}}, {"on locked on on", {toStardate, own, formula}},
    {"locked on off off", {toDate}}, {"locked on on locked", {toDate, own}}, {"locked on locked on", {toDate, formula}},
    {"locked on on off", {own, toDate}}, {"locked on off on", {formula, toDate}},
    {"locked on on on", {own, formula, toDate}},
};

const QString untouched = QStringLiteral("untouched");

} // namespace

// The conversion dialog: its four linked options, its conversions, what it keeps and forgets on
// closing, and its result lines, copied and marked as a user does.
class TestCompute : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dialog = std::make_unique<Compute>();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        lineEdit = dialog->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
        form = lineEdit->parentWidget();
    }

    void cleanup() { dialog.reset(); }

    void optionRules_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("to");
        // The state after a click on toStardate, toDate, own and formula.
        const int next[][4] = {
            {}, {5, 9, 2, 3}, {6, 12, 1, 4}, {7, 13, 4, 1}, {8, 14, 3, 2},
            {1, 5, 6, 7}, {1, 6, 5, 8}, {1, 7, 8, 5}, {1, 8, 7, 6},
            {9, 1, 10, 11}, {10, 1, 9, 10}, {11, 1, 11, 9}, {12, 1, 9, 11}, {13, 1, 10, 9}, {14, 1, 13, 12},
        };
        const QString boxes[] = {toStardate, toDate, own, formula};
        for (int from = 1; from <= 14; ++from) {
            for (int b = 0; b < 4; ++b)
                QTest::addRow("state %d, click %s", from, qPrintable(boxes[b])) << from << boxes[b] << next[from][b];
        }
    }

    void optionRules()
    {
        QFETCH(int, from);
        QFETCH(QString, box);
        QFETCH(int, to);
        clickAll(states[from].path);
        QCOMPARE(boxStates(), QString(states[from].shown));
        click(captioned(dialog.get(), box));
        QCOMPARE(boxStates(), QString(states[to].shown));
    }

    void closes_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("withEscape");
        for (int state = 1; state <= 14; ++state) {
            QTest::addRow("Schließen in state %d: all reset", state) << state << false;
            QTest::addRow("Escape in state %d: all kept", state) << state << true;
        }
    }

    void closes()
    {
        QFETCH(int, state);
        QFETCH(bool, withEscape);
        const DialogConversion &done = dialogConversions().constFirst();
        convert(done.input, done.boxes);
        QTest::keyClicks(lineEdit, "201312,0512");
        clickAll(states[state].path);
        if (withEscape)
            QTest::keyClick(lineEdit, Qt::Key_Escape);
        else
            click(captioned(dialog.get(), QStringLiteral("Schließen")));
        QVERIFY(!dialog->isVisible());
        dialog->show();
        QCOMPARE(reading(form, Qt::Horizontal), withEscape ? formReading("201312,0512", done.heading(), done.own, done.formula)
                                                           : formReading("", "Ausgabe:", "", ""));
        QCOMPARE(boxStates(), QString(states[withEscape ? state : 1].shown));
    }

    void conversions_data()
    {
        QTest::addColumn<int>("row");
        for (int row = 0; row < dialogConversions().size(); ++row)
            QTest::newRow(dialogConversions().at(row).probe) << row;
    }

    // What the form reads after a conversion (Return in the input presses Berechnen), ready for
    // the next input. A right click on a result line copies its value without the caption, or
    // offers nothing where there is none.
    void conversions()
    {
        QFETCH(int, row);
        const DialogConversion &done = dialogConversions().at(row);
        QTest::keyClicks(lineEdit, done.input);
        clickAll(done.boxes);
        QTest::mouseClick(lineEdit, Qt::LeftButton);
        QTest::keyClick(lineEdit, Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(reading(form, Qt::Horizontal), formReading("", done.heading(), done.own, done.formula));
        QLabel *heading = dialog->findChild<QLabel *>("label_6");
        QCOMPARE(QAccessible::queryAccessibleInterface(heading)->text(QAccessible::Name), done.heading());
        QCOMPARE(boxStates(), QString(states[1].shown));
        QVERIFY(!lineEdit->validator());
        for (QLabel *line : {dialog->findChild<QLabel *>("label_7"), dialog->findChild<QLabel *>("label_8")}) {
            const QString value = line->text().section(QLatin1String(": "), 1);
            QGuiApplication::clipboard()->setText(untouched);
            QCOMPARE(clickKopieren(rightClick(line)), QString(value.isEmpty() ? "greyed out" : "copies"));
            QCOMPARE(QGuiApplication::clipboard()->text(), value.isEmpty() ? untouched : value);
            if (line->text().isEmpty())
                continue;
            // Marked whole by dragging across it, and copied so with Ctrl+C.
            const QPoint start = line->mapTo(dialog.get(), QPoint(0, line->height() / 2));
            const QPoint end = start + QPoint(line->width() - 1, 0);
            QTest::mousePress(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier, start);
            QTest::mouseMove(dialog->windowHandle(), (start + end) / 2);
            QTest::mouseMove(dialog->windowHandle(), end);
            QTest::mouseRelease(dialog->windowHandle(), Qt::LeftButton, Qt::NoModifier, end);
            QTest::keyClick(line, Qt::Key_C, Qt::ControlModifier);
            QCOMPARE(QGuiApplication::clipboard()->text(), line->text());
        }
    }

    // The dialog stays open all day: conversions leave it with the objects it had.
    void conversionsLeaveNoObjectsBehind()
    {
        const auto bothDirections = [this] {
            convert("1.1.2000 0:0", {toStardate, own, formula});
            convert("201312,0512", {toDate, own});
            return dialog->findChildren<QObject *>().size();
        };
        const int objects = bothDirections();
        for (int i = 0; i < 50; ++i)
            bothDirections();
        QCOMPARE(bothDirections(), objects);
    }

private:
    void clickAll(const QStringList &captions)
    {
        for (const QString &caption : captions)
            click(captioned(dialog.get(), caption));
    }

    void convert(const QString &input, const QStringList &boxes)
    {
        QTest::keyClicks(lineEdit, input);
        clickAll(boxes);
        click(captioned(dialog.get(), QStringLiteral("Berechnen")));
    }

    // What the form reads, row by row, with this input and these results; empty ones show nothing.
    static QStringList formReading(const QString &input, const QString &heading, const QString &ownLine,
                                   const QString &formulaLine)
    {
        QStringList read = {"Eingabe:", input, "Umwandlung", toStardate, toDate, "Auswahl", own, formula,
                            heading, ownLine, formulaLine, "Berechnen", "Schließen"};
        read.removeAll(QString());
        return read;
    }

    QString boxStates() const
    {
        QStringList shown;
        for (const QString &caption : {toStardate, toDate, own, formula}) {
            const QAbstractButton *box = captioned(dialog.get(), caption);
            shown << (!box->isEnabled() ? "disabled" : box->isChecked() ? "on" : box->isCheckable() ? "off" : "locked");
        }
        return shown.join(QLatin1Char(' '));
    }

    std::unique_ptr<Compute> dialog;
    QLineEdit *lineEdit = nullptr;
    QWidget *form = nullptr;
};

QTEST_MAIN(TestCompute)
#include "tst_compute.moc"
