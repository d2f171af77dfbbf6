#include "about.h"

#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT

private slots:
    void isAFramelessModelessWindowOfItsOwn();
    void helpTextExplainsBothStardates();
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
    // The strip top and bottom.
    for (const char *strip : { "label_2", "label_3" }) {
        const QLabel *label = about.findChild<QLabel *>(QLatin1String(strip));
        QCOMPARE(label->pixmap(Qt::ReturnByValue).size(), QSize(539, 20));
        QCOMPARE(label->alignment(), Qt::AlignLeading | Qt::AlignLeft | Qt::AlignVCenter);
    }
}

// Read as text: three paragraphs of 7, 7 and 1 lines, the own format first, then the formula
// stardate, then its formula with white operators and blue numbers.
void TestAbout::helpTextExplainsBothStardates()
{
    About about;
    const QLabel *help = about.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(!help->wordWrap());
    QTextDocument document;
    document.setHtml(help->text());
    QCOMPARE(document.blockCount(), 3);
    const QTextBlock ownFormat = document.begin();
    const QTextBlock formulaStardate = ownFormat.next();
    const QTextBlock formula = formulaStardate.next();

    QVERIFY(ownFormat.text().startsWith(QStringLiteral("Dieses Programm zeigt im Hauptfenster"))
            && ownFormat.text().contains(QStringLiteral("Zuerst mein eigenes Format")));
    QVERIFY(formulaStardate.text().startsWith(QStringLiteral("Die zweite Sternzeit wird mit einer Formel errechnet"))
            && formulaStardate.text().contains(QStringLiteral("1. Januar 2161, (Jahr der Gründung der Föderation)")));
    QCOMPARE(formula.text(), QStringLiteral("(1000*(jahr+1/365.25*(x-1+stunde/24.0+min/1440.0)-2161))"));
    for (const auto &[paragraph, lines] : { std::make_pair(ownFormat, 7), std::make_pair(formulaStardate, 7),
                                            std::make_pair(formula, 1) })
        QCOMPARE(paragraph.text().count(QChar::LineSeparator) + 1, lines);

    for (auto run = formula.begin(); !run.atEnd(); ++run) {
        const QTextFragment part = run.fragment();
        for (const QChar c : part.text()) {
            const bool inNumber = c.isDigit() || c == QLatin1Char('.');
            QCOMPARE(part.charFormat().foreground().color(), inNumber ? QColor(0x00, 0x55, 0xff) : QColor(Qt::white));
        }
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

    if (key)
        QTest::keyClick(&about, Qt::Key(key));
    else
        QTest::mouseClick(about.findChild<QPushButton *>(QStringLiteral("Schliessen")), Qt::LeftButton);
    QVERIFY(!about.isVisible());

    about.show();
    QCOMPARE(about.pos(), QPoint(120, 90));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
