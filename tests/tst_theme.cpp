#include "shownwindow.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QWindow>
#include <QtTest>

namespace {

// What the screen shows of a widget: its window photographed and cut to the widget, since some
// widgets leave their background to the window beneath them.
QImage shot(QWidget *widget)
{
    QWidget *window = widget->window();
    const QRect area(widget->mapTo(window, QPoint(0, 0)), widget->size());
    return window->grab().toImage().scaled(window->size()).copy(area);
}

bool isNeutral(const QColor &colour)
{
    return qAbs(colour.red() - colour.green()) < 12 && qAbs(colour.green() - colour.blue()) < 12;
}

// What a push button's face shows low in its middle, where the gradient has nearly reached its
// outer colour.
QString faceColour(QPushButton *button)
{
    const QColor face = shot(button).pixelColor(button->width() / 2, button->height() - 5);
    if (face.red() > 200 && face.green() > 100 && face.green() < 190 && face.blue() < 90)
        return QStringLiteral("orange");
    if (isNeutral(face) && face.red() > 150)
        return face.red() < 215 ? QStringLiteral("grey") : QStringLiteral("pale grey");
    return face.name();
}

// The part of a widget where its text is drawn.
QRect textArea(QWidget *widget)
{
    if (auto *box = qobject_cast<QCheckBox *>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    }
    return widget->rect();
}

} // namespace

// The look as drawn: black windows with white texts and orange lines, and glossy orange buttons
// with bold black captions that turn grey under the mouse and pale while pressed.
class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    void textsAreWhiteOnBlack_data();
    void textsAreWhiteOnBlack();
    void linesAreOrange();
    void buttons_data();
    void buttons();
};

void TestTheme::textsAreWhiteOnBlack_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<int>("pixelSize");

    // A whole window at once, or one of its texts; a size of 0 is the window's own.
    for (const char *kind : { "MainWindow", "About", "Compute" })
        QTest::addRow("%s as a whole", kind) << kind << "" << 0;
    QTest::newRow("main window: caption") << "MainWindow" << "label_2" << 24;
    for (const char *name : { "showNormalTime", "label_3", "myFormat", "label_6", "otherFormat" })
        QTest::addRow("main window: %s", name) << "MainWindow" << name << 24;
    QTest::newRow("info text") << "About" << "label" << 11;
    QTest::newRow("conversion dialog: lineEdit") << "Compute" << "lineEdit" << 0;
    for (const char *name : { "label_3", "checkBox_2", "checkBox_4", "checkBox", "checkBox_3",
                              "label_6", "label_7", "label_8", "label_9" })
        QTest::addRow("conversion dialog: %s", name) << "Compute" << name << 16;
    for (const char *name : { "groupBox", "groupBox_2" })
        QTest::addRow("conversion dialog: %s", name) << "Compute" << name << 14;
}

void TestTheme::textsAreWhiteOnBlack()
{
    QFETCH(QString, kind);
    QFETCH(QString, objectName);
    QFETCH(int, pixelSize);

    const std::unique_ptr<QWidget> window = shownWindow(kind);
    QVERIFY(window);
    QWidget *widget = objectName.isEmpty() ? window.get() : window->findChild<QWidget *>(objectName);
    QVERIFY(widget);
    // Texts that only a tick or a conversion fills get one of their own here.
    if (auto *label = qobject_cast<QLabel *>(widget); label && label->text().isEmpty())
        label->setText(QStringLiteral("05.12.2013 12:00"));
    if (auto *field = qobject_cast<QLineEdit *>(widget))
        field->setText(QStringLiteral("05.12.2013 12:00"));
    if (pixelSize)
        QCOMPARE(widget->font().pixelSize(), pixelSize);

    // Mostly black, with white strokes where the text is.
    const QImage drawn = shot(widget);
    const QRect area = textArea(widget) & drawn.rect();
    int blackPixels = 0;
    int whitePixels = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = drawn.pixelColor(x, y);
            blackPixels += pixel == Qt::black ? 1 : 0;
            whitePixels += isNeutral(pixel) && pixel.red() > 230 ? 1 : 0;
        }
    }
    QVERIFY2(blackPixels > area.width() * area.height() / 2, qPrintable(QString::number(blackPixels)));
    QVERIFY2(whitePixels > 10, qPrintable(QString::number(whitePixels)));
}

// The two thin lines under the time and under the own-format stardate.
void TestTheme::linesAreOrange()
{
    const std::unique_ptr<QWidget> window = shownWindow("MainWindow");
    QVERIFY(window);
    for (const char *name : { "label_4", "label_5" }) {
        QWidget *line = window->findChild<QLabel *>(QLatin1String(name));
        QCOMPARE(shot(line).pixelColor(line->rect().center()), QColor(0xEA, 0x85, 0x00));
    }
}

void TestTheme::buttons_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");
    for (const char *caption : { "Berechnen", "Info", "Schließen" })
        QTest::addRow("main window: %s", caption) << "MainWindow" << QString::fromUtf8(caption);
    QTest::newRow("info dialog: Schließen") << "About" << "Schließen";
    for (const char *caption : { "Berechnen", "Schließen" })
        QTest::addRow("conversion dialog: %s", caption) << "Compute" << QString::fromUtf8(caption);
}

void TestTheme::buttons()
{
    QFETCH(QString, kind);
    QFETCH(QString, caption);

    const std::unique_ptr<QWidget> window = shownWindow(kind);
    QVERIFY(window);
    QPushButton *button = nullptr;
    for (QPushButton *candidate : window->findChildren<QPushButton *>()) {
        if (candidate->text() == caption)
            button = candidate;
    }
    QVERIFY(button);
    QVERIFY(button->font().bold());
    QCOMPARE(button->font().pixelSize(), 12);
    QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(Qt::black));

    QWindow *handle = window->windowHandle();
    const QPoint middle = button->mapTo(window.get(), button->rect().center());
    const QPoint background(2, window->height() / 2);
    // The cursor enters by the background.
    QTest::mouseMove(handle, background + QPoint(1, 0));
    QTest::mouseMove(handle, background);
    QCOMPARE(faceColour(button), QStringLiteral("orange"));
    QTest::mouseMove(handle, middle);
    QCOMPARE(faceColour(button), QStringLiteral("grey"));
    QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, middle);
    QCOMPARE(faceColour(button), QStringLiteral("pale grey"));
    // Let go away from the button, so that the release clicks nothing.
    QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, background);
    QCOMPARE(faceColour(button), QStringLiteral("orange"));
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
