#include "compute.h"
#include "dialogconversions.h"

#include <QtTest>
#include <QAccessible>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QValidator>

#include <algorithm>
#include <memory>

namespace {

// What the four boxes show, in the order toStardate, toDate, own, formula.
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
const QList<QStringList> paths = {
    {},
    {},
    {own},
    {formula},
    {own, formula},
    {toStardate},
    {toStardate, own},
    {toStardate, formula},
    {toStardate, own, formula},
    {toDate},
    {toDate, own},
    {toDate, formula},
    {own, toDate},
    {formula, toDate},
    {own, formula, toDate},
};

} // namespace

class TestCompute : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void readsTopToBottom();
    void helpTextNamesWhatTheDialogShows();
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
    QAbstractButton *captioned(const QString &caption) const;
    void click(const QString &caption);
    void clickAll(const QStringList &captions);
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

QAbstractButton *TestCompute::captioned(const QString &caption) const
{
    const QList<QAbstractButton *> buttons = dialog->findChildren<QAbstractButton *>();
    const auto found = std::find_if(buttons.begin(), buttons.end(),
                                    [&caption](const QAbstractButton *b) { return b->text() == caption; });
    return found == buttons.end() ? nullptr : *found;
}

// Check boxes are clicked on their indicator, push buttons in their middle.
void TestCompute::click(const QString &caption)
{
    QAbstractButton *button = captioned(caption);
    QVERIFY2(button, qPrintable(caption));
    QPoint at = button->rect().center();
    if (auto *box = qobject_cast<QCheckBox *>(button)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        at = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void TestCompute::clickAll(const QStringList &captions)
{
    for (const QString &caption : captions)
        click(caption);
}

void TestCompute::reach(int state)
{
    clickAll(paths.at(state));
}

QString TestCompute::boxStates() const
{
    QStringList shown;
    for (const QString &caption : {toStardate, toDate, own, formula}) {
        const QAbstractButton *box = captioned(caption);
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
    click("Berechnen");
}

void TestCompute::window()
{
    // A top-level widget is always a window; the dialog's own type is gone.
    QCOMPARE(dialog->windowFlags(), Qt::Window | Qt::FramelessWindowHint);
    QCOMPARE(dialog->size(), QSize(817, 411));
    QCOMPARE(dialog->windowTitle(), QString("Dialog"));
    QVERIFY(!dialog->isModal());
}

// What a user reads down the form after a conversion, each row left to right: every caption stands
// over what it names, and each group holds its own options, top to bottom.
void TestCompute::readsTopToBottom()
{
    convert("05.12.2013 12:00", {toStardate, own, formula});
    QWidgetList shown = lineEdit->parentWidget()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    std::sort(shown.begin(), shown.end(), [](const QWidget *a, const QWidget *b) {
        return std::make_pair(a->y(), a->x()) < std::make_pair(b->y(), b->x());
    });
    QStringList reading;
    for (const QWidget *widget : shown) {
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            reading << label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            reading << button->text();
        else if (widget == lineEdit)
            reading << "[" + lineEdit->text() + "]";
        else if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
            QList<QCheckBox *> boxes = group->findChildren<QCheckBox *>();
            std::sort(boxes.begin(), boxes.end(), [group](const QWidget *a, const QWidget *b) {
                return a->mapTo(group, QPoint()).y() < b->mapTo(group, QPoint()).y();
            });
            QStringList options;
            for (const QCheckBox *box : boxes)
                options << box->text();
            reading << group->title() + ": " + options.join(", ");
        }
    }
    QCOMPARE(reading, QStringList({"Eingabe:", "[]", "Umwandlung: Datum->Sternzeit, Sternzeit->Datum",
                                   "Auswahl: Mein Format, Nach der Formel", "Ausgabe von 05.12.2013 12:00 ist:",
                                   "Mein Format: 201312,0512", "Anderes Format: -147073.234375",
                                   "Berechnen", "Schließen"}));
}

// The help beside the form is read as text: two paragraphs of eight lines, broken where the text
// breaks them, naming the captions the form shows and giving a date the form converts.
void TestCompute::helpTextNamesWhatTheDialogShows()
{
    QTextDocument help;
    help.setHtml(child<QLabel>("label_9")->text());
    QCOMPARE(help.blockCount(), 2);
    for (QTextBlock paragraph = help.begin(); paragraph != help.end(); paragraph = paragraph.next())
        QCOMPARE(paragraph.text().count(QChar::LineSeparator) + 1, 8);
    for (const QString &named : {QStringLiteral("Eingabe"), QStringLiteral("Umwandlung"), toStardate, toDate,
                                 QStringLiteral("Auswahl"), QStringLiteral("\"Berechnen\""),
                                 QStringLiteral("Ausgabe"), QStringLiteral("(01.01.1900 16:30)")})
        QVERIFY2(help.toPlainText().contains(named), qPrintable(named));
}

void TestCompute::focusOrder()
{
    QStringList order;
    for (int i = 0; i < 8; ++i) {
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        const auto *button = qobject_cast<QAbstractButton *>(focus);
        order << (button ? button->text() : focus == lineEdit ? QStringLiteral("[input]") : focus->objectName());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QCOMPARE(order, QStringList({"[input]", toStardate, toDate, own, formula, "Berechnen", "Schließen", "[input]"}));
}

void TestCompute::optionRules_data()
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

    convert("05.12.2013 12:00", {toStardate, own, formula});
    QTest::keyClicks(lineEdit, "201312,0512");
    reach(state);
    QCOMPARE(boxStates(), QString(states[state]));

    click("Schließen");
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
    clickAll({toStardate, own, formula});
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
    convert("05.12.2013 12:00", {toStardate, own});
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

// Whatever is typed comes back in the heading as typed. Read as rich text, a typed tag would vanish
// from what the label shows and what a screen reader reads out of it.
void TestCompute::typedMarkupIsShownAsTyped()
{
    convert("<b>2500</b>", {toDate});
    QCOMPARE(heading->text(), QString("Ausgabe von <b>2500</b> ist:"));
    const QAccessibleInterface *shown = QAccessible::queryAccessibleInterface(heading);
    QVERIFY(shown);
    QCOMPARE(shown->text(QAccessible::Name), QString("Ausgabe von <b>2500</b> ist:"));
}

// The dialog stays open all day: hundreds of conversions leave it with the objects it had.
void TestCompute::manyConversionsLeaveNoObjectsBehind()
{
    const auto runBothDirections = [this](int times) {
        for (int i = 0; i < times; ++i) {
            convert("1.1.2000 0:0", {toStardate, own, formula});
            convert("201312,0512", {toDate, own});
        }
    };
    runBothDirections(1);
    const int validators = lineEdit->findChildren<QValidator *>().size();
    const int objects = dialog->findChildren<QObject *>().size();
    runBothDirections(150);
    QCOMPARE(lineEdit->findChildren<QValidator *>().size(), validators);
    QCOMPARE(dialog->findChildren<QObject *>().size(), objects);
}

QTEST_MAIN(TestCompute)
#include "tst_compute.moc"
