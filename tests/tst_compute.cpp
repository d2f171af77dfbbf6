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

// What the four boxes show, in the order toStardate, toDate, own, formula, and the clicks that
// lead from the fresh dialog to each state.
struct State
{
    const char *shown;
    QStringList path;
};

const State states[] = {
    {nullptr, {}},
    {"off off off off", {}},
    {"off off on off", {own}},
    {"off off off on", {formula}},
    {"off off on on", {own, formula}},
    {"on locked off off", {toStardate}},
    {"on locked on off", {toStardate, own}},
    {"on locked off on", {toStardate, formula}},
    {"on locked on on", {toStardate, own, formula}},
    {"locked on off off", {toDate}},
    {"locked on on locked", {toDate, own}},
    {"locked on locked on", {toDate, formula}},
    {"locked on on off", {own, toDate}},
    {"locked on off on", {formula, toDate}},
    {"locked on on on", {own, formula, toDate}},
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
    void closes_data();
    void closes();
    void conversions_data();
    void conversions();
    void manyConversionsLeaveNoObjectsBehind();

private:
    template<typename T> T *child(const QString &name) const { return dialog->findChild<T *>(name); }
    QAbstractButton *captioned(const QString &caption) const;
    void click(const QString &caption);
    void clickAll(const QStringList &captions);
    QString boxStates() const;
    void verifyReadyForTheNextInput() const;
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
    for (QAbstractButton *button : dialog->findChildren<QAbstractButton *>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
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

// After a conversion or a close, the input is empty, the boxes fresh and no input form is left.
void TestCompute::verifyReadyForTheNextInput() const
{
    QCOMPARE(lineEdit->text(), QString());
    QCOMPARE(boxStates(), QString(states[1].shown));
    QVERIFY(!lineEdit->validator());
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
        if (const auto *group = qobject_cast<const QGroupBox *>(widget)) {
            QList<QCheckBox *> boxes = group->findChildren<QCheckBox *>();
            std::sort(boxes.begin(), boxes.end(), [group](const QWidget *a, const QWidget *b) {
                return a->mapTo(group, QPoint()).y() < b->mapTo(group, QPoint()).y();
            });
            QStringList options;
            for (const QCheckBox *box : boxes)
                options << box->text();
            reading << group->title() + ": " + options.join(", ");
        } else if (widget->property("text").isValid()) { // labels, buttons and the input
            reading << widget->property("text").toString();
        }
    }
    QCOMPARE(reading, QStringList({"Eingabe:", "", "Umwandlung: Datum->Sternzeit, Sternzeit->Datum",
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

    clickAll(states[from].path);
    QCOMPARE(boxStates(), QString(states[from].shown));
    click(box);
    QCOMPARE(boxStates(), QString(states[to].shown));
}

void TestCompute::closes_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("withEscape");
    for (int state = 1; state <= 14; ++state) {
        QTest::addRow("Schließen in state %d: all reset", state) << state << false;
        QTest::addRow("Escape in state %d: all kept", state) << state << true;
    }
}

void TestCompute::closes()
{
    QFETCH(int, state);
    QFETCH(bool, withEscape);

    const DialogConversion &done = dialogConversions().first();
    convert(done.input, done.boxes);
    QTest::keyClicks(lineEdit, "201312,0512");
    clickAll(states[state].path);
    QCOMPARE(boxStates(), QString(states[state].shown));

    if (withEscape)
        QTest::keyClick(lineEdit, Qt::Key_Escape);
    else
        click("Schließen");
    QVERIFY(!dialog->isVisible());
    if (withEscape)
        dialog->show();
    QCOMPARE(heading->text(), withEscape ? done.heading() : QString("Ausgabe:"));
    QCOMPARE(ownResult->text(), withEscape ? done.own : QString());
    QCOMPARE(formulaResult->text(), withEscape ? done.formula : QString());
    if (withEscape) {
        QCOMPARE(lineEdit->text(), QString("201312,0512"));
        QCOMPARE(boxStates(), QString(states[state].shown));
    } else {
        verifyReadyForTheNextInput();
    }
}

void TestCompute::conversions_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("withReturn"); // Return in the input instead of a click on Berechnen
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("formula");

    for (const DialogConversion &row : dialogConversions())
        QTest::newRow(row.probe) << row.input << row.boxes << false << row.heading() << row.own << row.formula;
    const DialogConversion &first = dialogConversions().first();
    QTest::newRow("Return presses Berechnen")
        << first.input << first.boxes << true << first.heading() << first.own << first.formula;
    // Read as rich text, a typed tag would vanish from the label and what a screen reader reads.
    QTest::newRow("typed markup shown as typed")
        << "<b>2500</b>" << QStringList{toDate} << false << "Ausgabe von <b>2500</b> ist:" << "" << "";
}

void TestCompute::conversions()
{
    QFETCH(QString, input);
    QFETCH(QStringList, boxes);
    QFETCH(bool, withReturn);
    QFETCH(QString, heading);
    QFETCH(QString, own);
    QFETCH(QString, formula);

    QTest::keyClicks(lineEdit, input);
    clickAll(boxes);
    if (withReturn) {
        QTest::mouseClick(lineEdit, Qt::LeftButton);
        QTest::keyClick(lineEdit, Qt::Key_Return);
    } else {
        click("Berechnen");
    }
    QVERIFY(dialog->isVisible());
    QCOMPARE(this->heading->text(), heading);
    const QAccessibleInterface *read = QAccessible::queryAccessibleInterface(this->heading);
    QVERIFY(read);
    QCOMPARE(read->text(QAccessible::Name), heading);
    QCOMPARE(ownResult->text(), own);
    QCOMPARE(formulaResult->text(), formula);
    verifyReadyForTheNextInput();
}

// The dialog stays open all day: hundreds of conversions leave it with the objects it had.
void TestCompute::manyConversionsLeaveNoObjectsBehind()
{
    const auto runBothDirections = [this](int times) {
        for (int i = 0; i < times; ++i)
            convert("1.1.2000 0:0", {toStardate, own, formula}), convert("201312,0512", {toDate, own});
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
