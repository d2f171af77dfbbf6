#include "about.h"
#include "compute.h"
#include "mainwindow.h"

#include <QtTest>

namespace {

QString orangeButton(const QString &objectName)
{
    return QStringLiteral(
               "#%1 {\n color: black;\nfont-size: 12px;\nfont-weight:bold;\n border: 2px solid #000000;\n"
               " border-radius: 11px;\n padding: 5px;\n background: qradialgradient(cx: 0.3, cy: -0.4,\n"
               " fx: 0.3, fy: -0.4,\n radius: 1.35, stop: 0 #fff, stop: 1 #EA8500);\n min-width: 80px;\n }\n\n"
               "#%1:hover {\n background: qradialgradient(cx: 0.3, cy: -0.4,\n fx: 0.3, fy: -0.4,\n"
               " radius: 1.35, stop: 0 #fff, stop: 1 #bbb);\n }\n\n#%1:pressed {\n"
               " background: qradialgradient(cx: 0.4, cy: -0.1,\n fx: 0.4, fy: -0.1,\n"
               " radius: 1.35, stop: 0 #fff, stop: 1 #ddd);\n }")
        .arg(objectName);
}

} // namespace

// Every widget ends up with exactly its sheet; the spellings of one sheet differ only in blanks
// and final characters, but each widget has its own.
class TestTheme : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sheets_data();
    void sheets();

private:
    QHash<QString, QWidget *> windows;
};

void TestTheme::initTestCase()
{
    for (QWidget *window : std::initializer_list<QWidget *>{ new MainWindow, new About, new Compute })
        windows.insert(window->objectName(), window);
}

void TestTheme::cleanupTestCase()
{
    qDeleteAll(windows);
}

void TestTheme::sheets_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("sheet");

    const QString large = QStringLiteral("color: white;\nfont-family: 'Arial';\nfont-size:24px;");
    const QString white16 = QStringLiteral("background-color:black;\ncolor: white;\nfont-size:16px;");
    const QString spacedWhite16 = QStringLiteral("background-color: black;\ncolor: white;\nfont-size:16px;");
    const QString group = QStringLiteral("color:white;\nfont-size:14px;");

    QTest::newRow("main window") << "MainWindow" << "MainWindow" << "background-color: black;";
    QTest::newRow("main: clock caption") << "MainWindow" << "label_2" << large;
    for (const char *name : { "showNormalTime", "label_3", "myFormat", "label_6", "otherFormat" })
        QTest::addRow("main: %s", name) << "MainWindow" << name << large + "\n";
    QTest::newRow("main: upper orange line") << "MainWindow" << "label_4" << "background-color: #EA8500";
    QTest::newRow("main: lower orange line") << "MainWindow" << "label_5" << "background-color: #EA8500;";
    for (const char *name : { "Compute", "Info", "Schliessen" })
        QTest::addRow("main: button %s", name) << "MainWindow" << name << orangeButton(name);
    for (const char *name : { "label_8", "label", "label_7", "centralWidget", "menuBar" })
        QTest::addRow("main: %s takes the window's", name) << "MainWindow" << name << "";

    QTest::newRow("info dialog") << "About" << "About" << "background-color: black;";
    QTest::newRow("info: text") << "About" << "label" << "background-color: black;\ncolor: white;\nfont-size: 11px;";
    QTest::newRow("info: button") << "About" << "Schliessen" << orangeButton("Schliessen");

    QTest::newRow("conversion dialog") << "Compute" << "Compute" << "background-color:black;";
    QTest::newRow("conversion: input heading") << "Compute" << "label_3" << spacedWhite16;
    QTest::newRow("conversion: input") << "Compute" << "lineEdit" << "background-color:black;\ncolor: white;";
    QTest::newRow("conversion: direction group") << "Compute" << "groupBox" << group;
    QTest::newRow("conversion: format group") << "Compute" << "groupBox_2" << group;
    QTest::newRow("conversion: date to stardate") << "Compute" << "checkBox_2" << "font-size:16px;\ncolor: white;";
    for (const char *name : { "checkBox_4", "checkBox", "checkBox_3" })
        QTest::addRow("conversion: %s", name) << "Compute" << name << "font-size:16px;\ncolor:white;";
    QTest::newRow("conversion: output heading") << "Compute" << "label_6" << spacedWhite16;
    for (const char *name : { "label_7", "label_8", "label_9" })
        QTest::addRow("conversion: %s", name) << "Compute" << name << white16;
    for (const char *name : { "Computes", "Schliessen" })
        QTest::addRow("conversion: button %s", name) << "Compute" << name << orangeButton(name);
    for (const char *name : { "label", "label_2", "verticalLayoutWidget", "verticalLayoutWidget_3" })
        QTest::addRow("conversion: %s takes the window's", name) << "Compute" << name << "";
}

void TestTheme::sheets()
{
    QFETCH(QString, window);
    QFETCH(QString, objectName);
    QFETCH(QString, sheet);

    QWidget *owner = windows.value(window);
    QWidget *widget = objectName == window ? owner : owner->findChild<QWidget *>(objectName);
    QVERIFY(widget);
    QCOMPARE(widget->styleSheet(), sheet);
}

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
