#include "compute.h"
#include "dialogconversions.h"

#include <QtTest>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QValidator>

#include <memory>

namespace {

// What the four boxes show, in the order checkBox_2, checkBox_4, checkBox, checkBox_3.
const char *const states[] = {
    nullptr,
    "off off off off",
    "off off on off",
    "off off off on",
    "off off on on",
    "on locked off off",
    "on locked on off",
    "on locked off on",
    "on locked on on",
    "locked on off off",
    "locked on on locked",
    "locked on locked on",
    "locked on on off",
    "locked on off on",
    "locked on on on",
};

// The clicks that lead from the fresh dialog to each state.
const char *const paths[] = {
    nullptr,
    "",
    "checkBox",
    "checkBox_3",
    "checkBox checkBox_3",
    "checkBox_2",
    "checkBox_2 checkBox",
    "checkBox_2 checkBox_3",
    "checkBox_2 checkBox checkBox_3",
    "checkBox_4",
    "checkBox_4 checkBox",
    "checkBox_4 checkBox_3",
    "checkBox checkBox_4",
    "checkBox_3 checkBox_4",
    "checkBox checkBox_3 checkBox_4",
};

} // namespace

class TestCompute : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void helpText();
    void focusOrder();
    void optionRules_data();
    void optionRules();
    void closeResets_data();
    void closeResets();
    void conversions_data();
    void conversions();
    void returnPressesBerechnen();
    void escapeKeepsEverything();
    void typedMarkupIsShownAsTyped();
    void manyConversionsLeaveNoObjectsBehind();

private:
    template<typename T> T *child(const QString &name) const { return dialog->findChild<T *>(name); }
    void click(const QString &name);
    void clickAll(const QStringList &names);
    void reach(int state);
    QString boxStates() const;
    void convert(const QString &input, const QStringList &boxes);

    std::unique_ptr<Compute> dialog;
    QLineEdit *lineEdit = nullptr;
    QLabel *heading = nullptr;
    QLabel *ownResult = nullptr;
    QLabel *formulaResult = nullptr;
};

void TestCompute::init()
{
    dialog = std::make_unique<Compute>();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    lineEdit = child<QLineEdit>("lineEdit");
    heading = child<QLabel>("label_6");
    ownResult = child<QLabel>("label_7");
    formulaResult = child<QLabel>("label_8");
    QVERIFY(lineEdit && heading && ownResult && formulaResult);
}

void TestCompute::cleanup()
{
    dialog.reset();
}

// Check boxes are clicked on their indicator, push buttons in their middle.
void TestCompute::click(const QString &name)
{
    auto *button = child<QAbstractButton>(name);
    QVERIFY2(button, qPrintable(name));
    QPoint at = button->rect().center();
    if (auto *box = qobject_cast<QCheckBox *>(button)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void TestCompute::clickAll(const QStringList &names)
{
    for (const QString &name : names)
        click(name);
}

void TestCompute::reach(int state)
{
    const QString path = QString::fromLatin1(paths[state]);
    if (!path.isEmpty())
        clickAll(path.split(QLatin1Char(' ')));
}

QString TestCompute::boxStates() const
{
    QStringList shown;
    for (const char *name : {"checkBox_2", "checkBox_4", "checkBox", "checkBox_3"}) {
        const auto *box = child<QCheckBox>(name);
        if (!box->isEnabled())
            shown << "disabled";
        else if (box->isChecked())
            shown << "on";
        else
            shown << (box->isCheckable() ? "off" : "locked");
    }
    return shown.join(QLatin1Char(' '));
}

void TestCompute::convert(const QString &input, const QStringList &boxes)
{
    QTest::keyClicks(lineEdit, input);
    clickAll(boxes);
    click("Computes");
}

void TestCompute::window()
{
    QCOMPARE(dialog->objectName(), QString("Compute"));
    // A top-level widget is always a window; the dialog's own type is gone.
    QCOMPARE(dialog->windowFlags(), Qt::Window | Qt::FramelessWindowHint);
    QCOMPARE(dialog->size(), QSize(817, 411));
    QCOMPARE(dialog->windowTitle(), QString("Dialog"));
    QVERIFY(!dialog->isModal());
}

void TestCompute::helpText()
{
    const QString text = child<QLabel>("label_9")->text();
    QCOMPARE(text.size(), 748);
    QCOMPARE(text.count(QLatin1Char('\n')), 13);
    QCOMPARE(text.count(QLatin1String(" \n")), 9);
    QVERIFY(text.startsWith("<html><head/><body><p>Unter dem Eingabelabel kann man im <br>Textfeld"));
    // The entities stay in the text for the rich-text view to resolve.
    QVERIFY(text.contains(QString::fromUtf8("<br>f\xc3\xbcr das erstere Datum-&gt;Sternzeit ausgew\xc3\xa4hlt \n")));
    QVERIFY(text.contains(QString::fromUtf8("<br>hat, kann man \xc3\xbc" "ber den Button &quot;Berechnen&quot; \n")));
    QVERIFY(text.endsWith("<br>wird unter dem Label Ausgabe angezeigt.</p></body></html>"));
}

void TestCompute::focusOrder()
{
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        order << focus->objectName();
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(order, QStringList({"lineEdit", "checkBox_2", "checkBox_4", "checkBox", "checkBox_3",
                                 "Computes", "Schliessen", "lineEdit"}));
}

void TestCompute::optionRules_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("box");
    QTest::addColumn<int>("to");

    // The state after a click on checkBox_2, checkBox_4, checkBox and checkBox_3.
    const int next[][4] = {
        {}, {5, 9, 2, 3}, {6, 12, 1, 4}, {7, 13, 4, 1}, {8, 14, 3, 2},
        {1, 5, 6, 7}, {1, 6, 5, 8}, {1, 7, 8, 5}, {1, 8, 7, 6},
        {9, 1, 10, 11}, {10, 1, 9, 10}, {11, 1, 11, 9}, {12, 1, 9, 11}, {13, 1, 10, 9}, {14, 1, 13, 12},
    };
    const char *const boxes[] = {"checkBox_2", "checkBox_4", "checkBox", "checkBox_3"};
    const char *const captions[] = {"Datum->Sternzeit", "Sternzeit->Datum", "Mein Format", "Nach der Formel"};
    for (int from = 1; from <= 14; ++from) {
        for (int b = 0; b < 4; ++b)
            QTest::addRow("state %d, click %s", from, captions[b]) << from << boxes[b] << next[from][b];
    }
}

void TestCompute::optionRules()
{
    QFETCH(int, from);
    QFETCH(QString, box);
    QFETCH(int, to);

    reach(from);
    QCOMPARE(boxStates(), QString(states[from]));
    click(box);
    QCOMPARE(boxStates(), QString(states[to]));
}

void TestCompute::closeResets_data()
{
    QTest::addColumn<int>("state");
    for (int state = 1; state <= 14; ++state)
        QTest::addRow("from state %d", state) << state;
}

void TestCompute::closeResets()
{
    QFETCH(int, state);

    convert("05.12.2013 12:00", {"checkBox_2", "checkBox", "checkBox_3"});
    QTest::keyClicks(lineEdit, "201312,0512");
    reach(state);
    QCOMPARE(boxStates(), QString(states[state]));

    click("Schliessen");
    QVERIFY(!dialog->isVisible());
    QCOMPARE(lineEdit->text(), QString());
    QCOMPARE(heading->text(), QString("Ausgabe:"));
    QCOMPARE(ownResult->text(), QString());
    QCOMPARE(formulaResult->text(), QString());
    QCOMPARE(boxStates(), QString(states[1]));
    QVERIFY(!lineEdit->validator());
}

void TestCompute::conversions_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("formula");

    for (const DialogConversion &row : dialogConversions())
        QTest::newRow(row.probe) << row.input << row.boxes << row.heading << row.own << row.formula;
}

void TestCompute::conversions()
{
    QFETCH(QString, input);
    QFETCH(QStringList, boxes);
    QFETCH(QString, heading);
    QFETCH(QString, own);
    QFETCH(QString, formula);

    convert(input, boxes);
    QCOMPARE(this->heading->text(), heading);
    QCOMPARE(ownResult->text(), own);
    QCOMPARE(formulaResult->text(), formula);
    QCOMPARE(lineEdit->text(), QString());
    QCOMPARE(boxStates(), QString(states[1]));
    QVERIFY(!lineEdit->validator());
}

void TestCompute::returnPressesBerechnen()
{
    QTest::keyClicks(lineEdit, "05.12.2013 12:00");
    clickAll({"checkBox_2", "checkBox", "checkBox_3"});
    QTest::mouseClick(lineEdit, Qt::LeftButton);
    QTest::keyClick(lineEdit, Qt::Key_Return);

    QVERIFY(dialog->isVisible());
    QCOMPARE(heading->text(), QString("Ausgabe von 05.12.2013 12:00 ist:"));
    QCOMPARE(ownResult->text(), QString("Mein Format: 201312,0512"));
    QCOMPARE(formulaResult->text(), QString("Anderes Format: -147073.234375"));
    QCOMPARE(lineEdit->text(), QString());
    QCOMPARE(boxStates(), QString(states[1]));
}

void TestCompute::escapeKeepsEverything()
{
    convert("05.12.2013 12:00", {"checkBox_2", "checkBox"});
    QTest::keyClicks(lineEdit, "201312,0512");
    reach(10);
    QTest::keyClick(lineEdit, Qt::Key_Escape);
    QVERIFY(!dialog->isVisible());

    dialog->show();
    QCOMPARE(lineEdit->text(), QString("201312,0512"));
    QCOMPARE(boxStates(), QString(states[10]));
    QCOMPARE(heading->text(), QString("Ausgabe von 05.12.2013 12:00 ist:"));
    QCOMPARE(ownResult->text(), QString("Mein Format: 201312,0512"));
}

// Whatever is typed comes back in the heading, and a typed tag must not turn it into rich text.
void TestCompute::typedMarkupIsShownAsTyped()
{
    convert("<b>2500</b>", {"checkBox_4"});
    QCOMPARE(heading->text(), QString("Ausgabe von <b>2500</b> ist:"));
    QVERIFY(heading->sizeHint().width() >= heading->fontMetrics().boundingRect(heading->text()).width());
}

// The dialog stays open all day: ten thousand conversions leave it with the objects it had.
void TestCompute::manyConversionsLeaveNoObjectsBehind()
{
    const auto runBothDirections = [this](int times) {
        for (int i = 0; i < times; ++i) {
            convert("1.1.2000 0:0", {"checkBox_2", "checkBox", "checkBox_3"});
            convert("201312,0512", {"checkBox_4", "checkBox"});
        }
    };
    runBothDirections(1);
    const int validators = lineEdit->findChildren<QValidator *>().size();
    const int objects = dialog->findChildren<QObject *>().size();
    runBothDirections(5000);
    QCOMPARE(lineEdit->findChildren<QValidator *>().size(), validators);
    QCOMPARE(dialog->findChildren<QObject *>().size(), objects);
}

QTEST_MAIN(TestCompute)
#include "tst_compute.moc"
