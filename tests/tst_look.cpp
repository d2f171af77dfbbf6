#include "shownwindow.h"
#include "windowslook.h"

#include <QLabel>
#include <QPushButton>

namespace {

// What the screen shows of a widget: its window photographed and cut to the widget, since some
// widgets leave their background to the window beneath them.
QImage shot(QWidget *widget)
{
    QWidget *window = widget->window();
    return window->grab().toImage().scaled(window->size()).copy(QRect(widget->mapTo(window, QPoint()), widget->size()));
}

// What a push button's face shows low in its middle, where the gradient has nearly reached its
// outer colour.
QString faceColour(QPushButton *button)
{
    const QColor face = shot(button).pixelColor(button->width() / 2, button->height() - 5);
    if (face.red() > 200 && face.green() > 100 && face.green() < 190 && face.blue() < 90)
        return QStringLiteral("orange");
    if (face.saturation() < 20 && face.value() > 150)
        return face.value() < 215 ? QStringLiteral("grey") : QStringLiteral("pale grey");
    return face.name();
}

} // namespace

// The look as drawn: black windows, white texts whole in their places, orange lines, glossy orange
// buttons that turn grey under the mouse and pale while pressed, and frames that show on black.
class TestLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { useWindowsLook(); }

    void textsAreWhiteOnBlack_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<int>("pixelSize"); // 0: the window's own
        for (const char *kind : {"MainWindow", "About", "Compute"})
            QTest::addRow("%s as a whole", kind) << kind << "" << 0;
        for (const char *name : {"label_2", "showNormalTime", "label_3", "myFormat", "label_6", "otherFormat"})
            QTest::addRow("main window: %s", name) << "MainWindow" << name << 24;
        QTest::newRow("info text") << "About" << "label" << 11;
        QTest::newRow("conversion dialog: lineEdit") << "Compute" << "lineEdit" << 0;
        for (const char *name : {"label_3", "checkBox_2", "checkBox_4", "checkBox", "checkBox_3",
                                 "label_6", "label_7", "label_8", "label_9"})
            QTest::addRow("conversion dialog: %s", name) << "Compute" << name << 16;
        for (const char *name : {"groupBox", "groupBox_2"})
            QTest::addRow("conversion dialog: %s", name) << "Compute" << name << 14;
    }

    // Mostly black, with white strokes where the text is, and room enough for the text.
    void textsAreWhiteOnBlack()
    {
        QFETCH(QString, kind);
        QFETCH(QString, objectName);
        QFETCH(int, pixelSize);
        const std::unique_ptr<QWidget> window = shownWindow(kind);
        QVERIFY(window);
        QWidget *widget = objectName.isEmpty() ? window.get() : window->findChild<QWidget *>(objectName);
        // Texts that only a tick or a conversion fills get one of their own here.
        if (auto *label = qobject_cast<QLabel *>(widget); label && label->text().isEmpty())
            label->setText(QStringLiteral("05.12.2013 12:00"));
        if (auto *field = qobject_cast<QLineEdit *>(widget))
            field->setText(QStringLiteral("05.12.2013 12:00"));
        if (pixelSize)
            QCOMPARE(widget->font().pixelSize(), pixelSize);
        const QImage drawn = shot(widget);
        const auto *box = qobject_cast<QCheckBox *>(widget);
        const QRect area = (box ? checkBoxPart(box, QStyle::SE_CheckBoxContents) : widget->rect()) & drawn.rect();
        int blackPixels = 0;
        int whitePixels = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor pixel = drawn.pixelColor(x, y);
                blackPixels += pixel == Qt::black ? 1 : 0;
                whitePixels += pixel.saturation() < 20 && pixel.value() > 230 ? 1 : 0;
            }
        }
        QVERIFY2(blackPixels > area.width() * area.height() / 2, qPrintable(QString::number(blackPixels)));
        QVERIFY2(whitePixels > 10, qPrintable(QString::number(whitePixels)));
        const int needed = box ? checkBoxPart(box, QStyle::SE_CheckBoxContents).left() + box->fontMetrics().horizontalAdvance(box->text())
                               : widget->sizeHint().width();
        QVERIFY2(needed <= widget->width(), qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(widget->width())));
    }

    // The two thin lines under the time and under the own-format stardate.
    void linesAreOrange()
    {
        const std::unique_ptr<QWidget> window = shownWindow("MainWindow");
        QVERIFY(window);
        for (const char *name : {"label_4", "label_5"}) {
            QWidget *line = window->findChild<QLabel *>(QLatin1String(name));
            QCOMPARE(shot(line).pixelColor(line->rect().center()), QColor(0xEA, 0x85, 0x00));
        }
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        for (const char *caption : {"Berechnen", "Info", "Schließen"})
            QTest::addRow("main window: %s", caption) << "MainWindow" << QString::fromUtf8(caption);
        QTest::newRow("info dialog: Schließen") << "About" << "Schließen";
        for (const char *caption : {"Berechnen", "Schließen"})
            QTest::addRow("conversion dialog: %s", caption) << "Compute" << QString::fromUtf8(caption);
    }

    void buttons()
    {
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        const std::unique_ptr<QWidget> window = shownWindow(kind);
        QVERIFY(window);
        auto *button = qobject_cast<QPushButton *>(captioned(window.get(), caption));
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

    void focusedControlsLookFocused_data()
    {
        QTest::addColumn<QString>("caption");
        // The buttons' frame is their sheet's; these draw theirs on the window's black.
        for (const char *caption : {"[input]", "Datum->Sternzeit", "Sternzeit->Datum", "Mein Format", "Nach der Formel"})
            QTest::newRow(caption) << QString::fromUtf8(caption);
    }

    // The input's frame and the empty box in front of an option show on black, and reached by
    // Tab they stand out clearly from how they look without the focus.
    void focusedControlsLookFocused()
    {
        QFETCH(QString, caption);
        const std::unique_ptr<QWidget> compute = shownWindow(QStringLiteral("Compute"));
        QVERIFY(compute && QTest::qWaitForWindowActive(compute.get()));
        press(Qt::Key_Tab, Qt::ShiftModifier);
        tabTo(caption);
        QWidget *control = QApplication::focusWidget();
        const QImage withFocus = control->grab().toImage();
        press(Qt::Key_Tab);
        const QImage without = control->grab().toImage();
        const auto *box = qobject_cast<QCheckBox *>(control);
        const QRect frame = box ? checkBoxPart(box, QStyle::SE_CheckBoxIndicator) : control->rect();
        int seen = 0;
        int changed = 0;
        for (int y = 0; y < without.height(); ++y) {
            for (int x = 0; x < without.width(); ++x) {
                seen += frame.contains(x, y) && qGray(without.pixel(x, y)) > 60 ? 1 : 0;
                changed += qAbs(qGray(withFocus.pixel(x, y)) - qGray(without.pixel(x, y))) > 100 ? 1 : 0;
            }
        }
        QVERIFY2(seen >= 20, qPrintable(QString::number(seen)));
        QVERIFY2(changed >= 30, qPrintable(QString::number(changed)));
    }
};

QTEST_MAIN(TestLook)
#include "tst_look.moc"
