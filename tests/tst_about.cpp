#include "about.h"

#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void isAFramelessModelessWindowOfItsOwn();
    void helpTextExplainsBothStardates();
    void showsItsStripTopAndBottom();
    void closes_data();
    void closes();
};

void TestAbout::isAFramelessModelessWindowOfItsOwn()
{
    About about;
    QCOMPARE(about.size(), QSize(559, 348));
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(about.windowFlags() & ~Qt::Window, Qt::WindowFlags(Qt::FramelessWindowHint));
    QVERIFY(!about.isModal());
    QCOMPARE(about.windowIcon().pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32),
             QImage(QStringLiteral(":/icons/sternzeit-32.png")).convertToFormat(QImage::Format_ARGB32));
}

void TestAbout::helpTextExplainsBothStardates()
{
    About about;
    const QLabel *help = about.findChild<QLabel *>(QStringLiteral("label"));
    const QString text = help->text();

    QCOMPARE(text.length(), 1981);
    QVERIFY(text.startsWith(QLatin1String("<html><head/><body><p>Dieses Programm zeigt im Hauptfenster")));
    QVERIFY(text.contains(QStringLiteral("1. Januar 2161, (Jahr der Gründung der Föderation)")));
    QCOMPARE(text.count(QLatin1String("<p>")), 3);
    QCOMPARE(text.count(QLatin1String("<br>")), 12);
    QCOMPARE(text.count(QLatin1Char('\n')), 11);
    QVERIFY(!help->wordWrap());

    // The formula alternates white operators and blue numbers, white at both ends.
    const QString formula = text.mid(text.lastIndexOf(QLatin1String("<p>")));
    QCOMPARE(formula.count(QLatin1String("<span style=\" color:#ffffff;\">")), 8);
    QCOMPARE(formula.count(QLatin1String("<span style=\" color:#0055ff;\">")), 7);
    QTextDocument document;
    document.setHtml(formula);
    QCOMPARE(document.toPlainText(), QStringLiteral("(1000*(jahr+1/365.25*(x-1+stunde/24.0+min/1440.0)-2161))"));
}

void TestAbout::showsItsStripTopAndBottom()
{
    About about;
    for (const char *strip : { "label_2", "label_3" }) {
        const QLabel *label = about.findChild<QLabel *>(QLatin1String(strip));
        QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), QSize(539, 20));
        QCOMPARE(label->alignment(), Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void TestAbout::closes_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Return presses the only button") << int(Qt::Key_Return);
    QTest::newRow("click on Schließen") << 0;
}

void TestAbout::closes()
{
    QFETCH(int, key);
    About about;
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    about.move(120, 90);

    auto *closeButton = about.findChild<QPushButton *>(QStringLiteral("Schliessen"));
    QCOMPARE(closeButton->text(), QStringLiteral("Schließen"));
    if (key)
        QTest::keyClick(&about, Qt::Key(key));
    else
        QTest::mouseClick(closeButton, Qt::LeftButton);
    QVERIFY(!about.isVisible());

    about.show();
    QCOMPARE(about.pos(), QPoint(120, 90));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
