#include "captions.h"
#include "dialogconversions.h"
#include "patterns.h"
#include "qtgerman.h"
#include "stardate.h"
#include "stardatetables.h"

#include <QProcess>
#include <QtTest>

namespace {

const QString program = QStringLiteral("sternzeit-convert");

struct Run
{
    int exitCode = -1;
    QString out;
    QString err;
};

// What the command wrote, as a user reads it: a Windows console program ends its lines with
// "\r\n", also in a pipe or a file.
QString textOf(const QByteArray &output)
{
    QString text = QString::fromUtf8(output);
#ifdef Q_OS_WIN
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
#endif
    return text;
}

// A crashed or hung command leaves the exit code at -1.
Run runConvert(const QStringList &arguments, const QByteArray &input = QByteArray(),
               const QString &command = QStringLiteral(CONVERT_PROGRAM))
{
    QProcess process;
    process.start(command, arguments);
    process.write(input);
    process.closeWriteChannel();
    Run run;
    if (!process.waitForFinished(60000))
        process.kill();
    else if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.out = textOf(process.readAllStandardOutput());
    run.err = textOf(process.readAllStandardError());
    return run;
}

QStringList linesOf(const QString &output)
{
    QStringList lines = output.split(QLatin1Char('\n'));
    if (lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// How a message on standard error begins for an input that gave no result.
QString messageAbout(const QString &input)
{
    return program + QStringLiteral(": „") + input.left(20);
}

} // namespace

class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void answersAsTheDialog_data();
    void answersAsTheDialog();
    void answersTheStardateTablesInBatches_data();
    void answersTheStardateTablesInBatches();
    void showsTheCurrentMomentAsTheMainWindow();
    void messagesAndExitCodes_data();
    void messagesAndExitCodes();
    void help();
    void qtTextsWhereverTheCatalogueLies_data();
    void qtTextsWhereverTheCatalogueLies();
    void junkOnStandardInput_data();
    void junkOnStandardInput();
};

void TestConvert::answersAsTheDialog_data()
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < dialogConversions().size(); ++row) {
        const QStringList &boxes = dialogConversions().at(row).boxes;
        const bool hasDirection = boxes.contains(toStardate) || boxes.contains(toDate);
        const bool hasKind = boxes.contains(own) || boxes.contains(formula);
        if (hasDirection && hasKind)
            QTest::newRow(dialogConversions().at(row).probe) << row;
    }
}

// A date gives both result lines where the dialog shows one or both; a stardate of each kind
// ticked gives the date text behind the dialog's prefix. Where the dialog shows nothing or the
// prefix alone, the command fails with a message (its wording is probed below).
void TestConvert::answersAsTheDialog()
{
    QFETCH(int, row);
    const DialogConversion &dialog = dialogConversions().at(row);
    const QString ownPrefix = QLatin1String(ownResultPrefix);
    const QString formulaPrefix = QLatin1String(formulaResultPrefix);

    if (dialog.boxes.contains(toStardate)) {
        const Run run = runConvert({dialog.input});
        const QStringList lines = linesOf(run.out);
        QCOMPARE(lines.size(), dialog.answered ? 2 : 0);
        if (!dialog.own.isEmpty())
            QCOMPARE(lines.at(0), dialog.own);
        if (!dialog.formula.isEmpty())
            QCOMPARE(lines.at(1), dialog.formula);
        const bool complete = dialog.answered && lines.at(0) != ownPrefix && lines.at(1) != formulaPrefix;
        QCOMPARE(run.err.isEmpty(), complete);
        QCOMPARE(run.exitCode, complete ? 0 : 1);
        return;
    }

    struct Kind { QString box; const char *option; QString shown; QString prefix; };
    for (const Kind &kind : {Kind{own, "--own", dialog.own, ownPrefix},
                             Kind{formula, "--formula", dialog.formula, formulaPrefix}}) {
        if (!dialog.boxes.contains(kind.box))
            continue;
        const Run run = runConvert({kind.option, dialog.input});
        const QString date = kind.shown.mid(kind.prefix.size());
        QCOMPARE(run.out, date.isEmpty() ? QString() : date + QLatin1Char('\n'));
        QCOMPARE(run.err.isEmpty(), !date.isEmpty());
        QCOMPARE(run.exitCode, date.isEmpty() ? 1 : 0);
    }
}

void TestConvert::answersTheStardateTablesInBatches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("inputs");
    QTest::addColumn<QStringList>("blocks"); // one per input, empty for no result

    QStringList inputs;
    QStringList blocks;
    for (const StardatesOfMoment &row : stardatesOfMoments()) {
        inputs << row.date.toString(QStringLiteral("dd.MM.yyyy ")) + row.time.toString(QStringLiteral("hh:mm"));
        blocks << (row.own.isEmpty() ? QString() : QLatin1String(ownResultPrefix) + row.own + QLatin1Char('\n')
                                                   + QLatin1String(formulaResultPrefix) + row.formula);
    }
    QTest::newRow("dates to stardates") << QStringList{"-"} << inputs << blocks;

    const auto addStardates = [](const char *name, const char *option, const QVector<DateOfStardate> &rows) {
        QStringList inputs;
        QStringList blocks;
        for (const DateOfStardate &row : rows)
            inputs << row.stardate, blocks << row.date;
        QTest::newRow(name) << QStringList{option, "-"} << inputs << blocks;
    };
    addStardates("own-format stardates to dates", "--own", datesOfOwnStardates());
    addStardates("formula stardates to dates", "--formula", datesOfFormulaStardates());
}

// A whole table in one process: the output keeps in step with the input, one block per line,
// and every failed line has its message, in order.
void TestConvert::answersTheStardateTablesInBatches()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, inputs);
    QFETCH(QStringList, blocks);
    const int blockLines = arguments.size() == 1 ? 2 : 1;

    const Run run = runConvert(arguments, (inputs.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    const QStringList out = linesOf(run.out);
    const QStringList err = linesOf(run.err);
    QCOMPARE(out.size(), inputs.size() * blockLines);
    int failed = 0;
    for (int i = 0; i < inputs.size(); ++i) {
        const QString block = out.mid(i * blockLines, blockLines).join(QLatin1Char('\n'));
        QCOMPARE(block.trimmed().isEmpty() ? QString() : block, blocks.at(i));
        if (blocks.at(i).isEmpty()) {
            QVERIFY2(failed < err.size() && err.at(failed).startsWith(messageAbout(inputs.at(i))),
                     qPrintable(inputs.at(i).left(40)));
            ++failed;
        }
    }
    QCOMPARE(err.size(), failed);
    QCOMPARE(run.exitCode, failed > 0 ? 1 : 0);
}

void TestConvert::showsTheCurrentMomentAsTheMainWindow()
{
    const Run run = runConvert({});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    const QStringList lines = linesOf(run.out);
    QCOMPARE(lines.size(), 3);

    // The captions are the main window's.
    const QString timeCaption = QStringLiteral("Aktuelle Zeit: ");
    QVERIFY2(lines.at(0).startsWith(timeCaption), qPrintable(lines.at(0)));
    const QDateTime shown = QDateTime::fromString(lines.at(0).mid(timeCaption.size()), QLatin1String(clockPattern));
    QVERIFY2(shown.isValid(), qPrintable(lines.at(0)));
    QVERIFY(qAbs(shown.secsTo(QDateTime::currentDateTime())) <= 30);
    QCOMPARE(lines.at(1), QStringLiteral("Mein Sternzeitformat: ") + ownStardateText(shown));
    QCOMPARE(lines.at(2), QStringLiteral("Anderes Sternzeitformat: ")
                              + formulaStardateText(shown.date().year(), shown.date().dayOfYear(),
                                                    shown.time().hour(), shown.time().minute()));
}

void TestConvert::messagesAndExitCodes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err"); // the first line of standard error, if given
    QTest::addColumn<int>("exitCode");

    // A message is given from the quoted input on; an empty one stands for none or any of Qt's own.
    const auto add = [](const char *probe, const QStringList &arguments, const QString &out, const QString &err,
                        int exitCode, const QByteArray &input = QByteArray()) {
        QTest::newRow(probe) << arguments << input << out
                             << (err.isEmpty() ? QString() : program + QStringLiteral(": ") + err) << exitCode;
    };
    const QString notOfTheDateForm = QStringLiteral("“ ist kein Datum der Form TT.MM.JJJJ hh:mm");
    const QString tooMany = QStringLiteral("Zu viele Argumente: eine Eingabe je Aufruf, oder \"-\" für viele.");
    const QString longInput(100000, QLatin1Char('9'));

    add("impossible date", {"31.02.2013 12:00"}, "", "„31.02.2013 12:00“ ist kein gültiges Datum", 1);
    add("text not of the date form", {"05.12.2013"}, "",
        "„05.12.2013" + notOfTheDateForm, 1);
    add("date beyond a date-time: both lines, no own stardate", {"1.1.2147483647 0:0"},
        "Mein Format: \nAnderes Format: 2147481550848.000000\n",
        "„1.1.2147483647 0:0“ ergibt keine Sternzeit in meinem Format", 1);
    add("own stardate not of its form", {"--own", "2013"}, "", "„2013“ ist keine Sternzeit der Form JJJJMM,TThh", 1);
    add("own stardate of no date", {"--own", "201313,0512"}, "", "„201313,0512“ ergibt kein Datum", 1);
    add("formula stardate of no date", {"--formula", "999.5"}, "", "„999.5“ ergibt kein Datum", 1);
    add("negative formula stardate after its option", {"--formula", "-147073.234375"}, "05.12.2013 12:01\n", "", 0);
    add("formula stardate joined to its option", {"--formula=-1"}, "30.12.2160 21:14\n", "", 0);
    add("control characters quoted as ?", {"a\tb\x1b"}, "",
        "„a?b?" + notOfTheDateForm, 1);
    add("long input quoted short", {longInput}, "",
        "„" + longInput.left(59) + "…" + notOfTheDateForm, 1);

    add("batch: CR LF, a failed line, an empty line, no last line end", {"-"},
        "Mein Format: 201312,0512\nAnderes Format: -147073.234375\n\n\n\n\n"
        "Mein Format: 216101,0100\nAnderes Format: 0.000000\n",
        "„31.02.2013 12:00“ ist kein gültiges Datum", 1,
        "05.12.2013 12:00\r\n31.02.2013 12:00\n\n1.1.2161 0:0");
    add("batch of own stardates, all converted", {"--own", "-"}, "05.12.2013 12:00\n01.01.2161 00:00\n", "", 0,
        "201312,0512\n216101,0100\n");
    add("batch from empty input", {"--formula", "-"}, "", "", 0);
    add("version", {"--version"}, program + QStringLiteral(" " STERNZEIT_VERSION "\n"), "", 0);

    add("both options", {"--own", "201312,0512", "--formula", "2500"}, "",
        "--own und --formula schließen einander aus.", 2);
    add("two dates", {"05.12.2013 12:00", "1.1.2161 0:0"}, "", tooMany, 2);
    add("an option and a date", {"--own", "201312,0512", "05.12.2013 12:00"}, "", tooMany, 2);
    add("an option twice", {"--own", "201312,0512", "--own", "216101,0100"}, "", tooMany, 2);
    add("option without its stardate", {"--own"}, "", "", 2);
    add("unknown option", {"--bogus"}, "", "", 2);
    add("negative number without --formula", {"-147073"}, "", "", 2);
}

void TestConvert::messagesAndExitCodes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(int, exitCode);

    const Run run = runConvert(arguments, input);
    QCOMPARE(run.out, out);
    if (!err.isEmpty())
        QCOMPARE(linesOf(run.err).value(0), err);
    QCOMPARE(run.err.isEmpty(), exitCode == 0);
    if (exitCode == 2)
        QVERIFY2(run.err.endsWith(QString::fromUtf8("„sternzeit-convert --help“.\n")), qPrintable(run.err));
    QCOMPARE(run.exitCode, exitCode);
}

void TestConvert::help()
{
    const Run help = runConvert({"--help"});
    QCOMPARE(help.exitCode, 0);
    for (const char *text : {"--own <sternzeit>", "--formula <sternzeit>", "[datum]", "Rückgabewert"})
        QVERIFY2(help.out.contains(QString::fromUtf8(text)), text);

    // Qt's own parts of the help and of a usage error speak German too.
    for (const char *text : {"Aufruf:", "Optionen:", "Argumente:"})
        QVERIFY2(help.out.contains(QString::fromUtf8(text)), text);
    const Run wrong = runConvert({"--bogus"});
    for (const char *english : {"Usage", "Options", "Arguments", "Displays", "Unknown"})
        QVERIFY2(!help.out.contains(QLatin1String(english)) && !wrong.err.contains(QLatin1String(english)), english);
}

void TestConvert::qtTextsWhereverTheCatalogueLies_data()
{
    QTest::addColumn<bool>("besideTheProgram");
    QTest::addColumn<QString>("usage");
    QTest::newRow("catalogue only in translations beside the program") << true << "Aufruf:";
    QTest::newRow("no catalogue anywhere") << false << "Usage:";
}

// A copy of the command in a folder of its own, installed as a self-contained copy is: its
// qt.conf sends Qt to a translations folder that is empty.
void TestConvert::qtTextsWhereverTheCatalogueLies()
{
    QFETCH(bool, besideTheProgram);
    QFETCH(QString, usage);
    const QString catalogue = QDir(qtTranslationsFolder()).filePath(QStringLiteral("qtbase_de.qm"));
    if (besideTheProgram && !QFile::exists(catalogue))
        QSKIP("This Qt has no German catalogue to put beside the program.");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir installed(folder.path());
    const QString copy = installed.filePath(QFileInfo(QStringLiteral(CONVERT_PROGRAM)).fileName());
    QVERIFY(QFile::copy(QStringLiteral(CONVERT_PROGRAM), copy));
    QVERIFY(installed.mkdir(QStringLiteral("qt-translations")));
    QFile qtConf(installed.filePath(QStringLiteral("qt.conf")));
    QVERIFY(qtConf.open(QIODevice::WriteOnly));
    qtConf.write("[Paths]\nTranslations=qt-translations\n");
    qtConf.close();
    if (besideTheProgram) {
        QVERIFY(installed.mkdir(QStringLiteral("translations")));
        QVERIFY(QFile::copy(catalogue, installed.filePath(QStringLiteral("translations/qtbase_de.qm"))));
    }

    const Run help = runConvert({"--help"}, QByteArray(), copy);
    QVERIFY2(help.out.startsWith(usage), qPrintable(help.out.left(40)));
    QCOMPARE(help.err, QString());
    QCOMPARE(help.exitCode, 0);
}

void TestConvert::junkOnStandardInput_data()
{
    QTest::addColumn<QStringList>("arguments");
    for (const QStringList &arguments : {QStringList{"-"}, QStringList{"--own", "-"}, QStringList{"--formula", "-"}})
        QTest::newRow(qPrintable(arguments.join(QLatin1Char(' ')))) << arguments;
}

// Every byte but the line end, broken UTF-8 on two lines, and four megabytes of digits: each
// line gets its block of empty lines and its message, and the command ends by itself.
void TestConvert::junkOnStandardInput()
{
    QFETCH(QStringList, arguments);
    const int blockLines = arguments.size() == 1 ? 2 : 1;

    QByteArray input;
    for (int b = 0; b < 256; ++b)
        input.append(char(b == '\n' ? 0 : b));
    input += "\n\xff\xfe\xc3(\xe2\x82\n\xed\xa0\x80\xf4\x90\x80\x80\n" + QByteArray(4 << 20, '1');
    const int inputLines = 4;

    const Run run = runConvert(arguments, input);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QString(inputLines * blockLines, QLatin1Char('\n')));
    QCOMPARE(linesOf(run.err).size(), inputLines);
}

// On Windows QProcess watches its process with timers, which need an application object.
QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
