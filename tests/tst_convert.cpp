#include "captions.h"
#include "dialogconversions.h"
#include "patterns.h"
#include "stardate.h"
#include "stardatetables.h"

#include <QProcess>
#include <QtTest>

namespace {

const QString program = QStringLiteral("sternzeit-convert");
const QString ownPrefix = QLatin1String(ownResultPrefix);
const QString formulaPrefix = QLatin1String(formulaResultPrefix);

struct Run
{
    int exitCode = -1; // also for a crashed or hung command
    QString out;
    QString err;
};

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
    // As a user reads it: a Windows console program ends its lines with "\r\n", also in a pipe.
    const auto textOf = [](const QByteArray &output) { return QString::fromUtf8(output).replace("\r\n", "\n"); };
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

} // namespace

// The command line as a user runs it, as a process of its own: the dialog's and the library's
// answers, the main window's reading of the moment, its messages, exit codes and help.
class TestConvert : public QObject
{
    Q_OBJECT

private slots:
    void answersTheTablesInBatches_data()
    {
        QTest::addColumn<QString>("option"); // none for dates
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("blocks"); // the lines of each input's answer
        QHash<QString, QStringList> inputs;
        QHash<QString, QStringList> blocks;
        const auto add = [&](const QString &option, const QString &input, const QString &block) {
            inputs[option] << input;
            blocks[option] << block;
        };
        for (const StardatesOfMoment &row : stardatesOfMoments()) {
            add(QString(), row.date.toString("dd.MM.yyyy ") + row.time.toString("hh:mm"),
                row.own.isEmpty() ? "\n" : ownPrefix + row.own + "\n" + formulaPrefix + row.formula);
        }
        for (const DateOfStardate &row : datesOfOwnStardates())
            add("--own", row.stardate, row.date);
        for (const DateOfStardate &row : datesOfFormulaStardates())
            add("--formula", row.stardate, row.date);
        // The dialog's answers, where it shows both stardates or the date of one kind.
        for (const DialogConversion &row : dialogConversions()) {
            if (row.boxes == QStringList{toStardate, own, formula})
                add(QString(), row.input, row.answered ? row.own + "\n" + row.formula : "\n");
            if (row.boxes.contains(toDate) && row.boxes.contains(own))
                add("--own", row.input, row.own.mid(ownPrefix.size()));
            if (row.boxes.contains(toDate) && row.boxes.contains(formula))
                add("--formula", row.input, row.formula.mid(formulaPrefix.size()));
        }
        for (const QString &option : {QString(), QString("--own"), QString("--formula")})
            QTest::newRow(option.isEmpty() ? "dates" : qPrintable(option)) << option << inputs[option] << blocks[option];
    }

    // A whole table in one process: one block per input line, a failed one empty but for a bare
    // caption, and one message for each failed line, in order.
    void answersTheTablesInBatches()
    {
        QFETCH(QString, option);
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, blocks);
        const QStringList arguments = option.isEmpty() ? QStringList{"-"} : QStringList{option, "-"};
        const Run run = runConvert(arguments, (inputs.join('\n') + '\n').toUtf8());
        QCOMPARE(linesOf(run.out), linesOf(blocks.join('\n') + '\n'));
        QStringList failed;
        for (int i = 0; i < inputs.size(); ++i) {
            const QStringList lines = blocks.at(i).split('\n');
            if (lines.contains(QString()) || lines.contains(ownPrefix))
                failed << inputs.at(i);
        }
        QStringList quoted;
        for (const QString &message : linesOf(run.err))
            quoted << message.section(QString::fromUtf8(": „"), 1).section(QString::fromUtf8("“"), 0, 0);
        QCOMPARE(quoted, failed);
        QCOMPARE(run.exitCode, failed.isEmpty() ? 0 : 1);
    }

    // With no argument, the moment with the main window's captions.
    void showsTheCurrentMomentAsTheMainWindow()
    {
        const Run run = runConvert({});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        const QStringList lines = linesOf(run.out);
        QCOMPARE(lines.size(), 3);
        const QDateTime shown = QDateTime::fromString(lines.at(0), QStringLiteral("'Aktuelle Zeit: '") + clockPattern);
        QVERIFY2(qAbs(shown.secsTo(QDateTime::currentDateTime())) <= 30, qPrintable(lines.at(0)));
        QCOMPARE(lines.at(1), "Mein Sternzeitformat: " + ownStardateText(shown));
        QCOMPARE(lines.at(2), "Anderes Sternzeitformat: " + formulaStardateText(shown.date().year(), shown.date().dayOfYear(),
                                                                                 shown.time().hour(), shown.time().minute()));
    }

    void messagesAndExitCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err"); // the first line of standard error; empty for none or Qt's own
        QTest::addColumn<int>("exitCode");
        const auto add = [](const char *probe, const QStringList &arguments, const QString &out, const QString &err,
                            int exitCode, const QByteArray &input = QByteArray()) {
            QTest::newRow(probe) << arguments << input << out
                                 << (err.isEmpty() ? QString() : program + QStringLiteral(": ") + err) << exitCode;
        };
        const QString notOfTheDateForm = QStringLiteral("“ ist kein Datum der Form TT.MM.JJJJ hh:mm");
        const QString notOfTheOwnForm = QStringLiteral("“ ist keine Sternzeit der Form JJJJMM,TThh");
        const QString tooMany = QStringLiteral("Zu viele Argumente: eine Eingabe je Aufruf, oder \"-\" für viele.");
        const QString longInput(100000, QLatin1Char('9'));
        for (const OffTheForm &off : offTheForms()) {
            add(off.probe, off.ownStardate ? QStringList{"--own", off.input} : QStringList{off.input}, "",
                "„" + off.input + (off.ownStardate ? notOfTheOwnForm : notOfTheDateForm), 1);
        }
        add("impossible date", {"31.02.2013 12:00"}, "", "„31.02.2013 12:00“ ist kein gültiges Datum", 1);
        add("date beyond a date-time: both lines, no own stardate", {"1.1.2147483647 0:0"},
            "Mein Format: \nAnderes Format: 2147481550848.000000\n",
            "„1.1.2147483647 0:0“ ergibt keine Sternzeit in meinem Format", 1);
        add("own stardate of no date", {"--own", "201313,0512"}, "", "„201313,0512“ ergibt kein Datum", 1);
        add("formula stardate of no date", {"--formula", "999.5"}, "", "„999.5“ ergibt kein Datum", 1);
        add("negative formula stardate after its option", {"--formula", "-147073.234375"}, "05.12.2013 12:01\n", "", 0);
        add("control characters quoted as ?", {"a\tb\x1b"}, "", "„a?b?" + notOfTheDateForm, 1);
        // The forms of the input, whose \\d takes any decimal digit, though only 0 to 9 are read.
        add("date: line break after the time", {"5.1.2013 9:5\n"}, "", "„5.1.2013 9:5?" + notOfTheDateForm, 1);
        add("date: Arabic-Indic digits", {"٥.١.٢٠١٣ ٩:٥"}, "", "„٥.١.٢٠١٣ ٩:٥“ ist kein gültiges Datum", 1);
        add("own: full-width digits", {"--own", "２０１３１２,０５１２"}, "", "„２０１３１２,０５１２“ ergibt kein Datum", 1);
        add("long input quoted short", {longInput}, "", "„" + longInput.left(59) + "…" + notOfTheDateForm, 1);
        add("batch: CR LF, a failed line, an empty line, no last line end", {"-"},
            "Mein Format: 201312,0512\nAnderes Format: -147073.234375\n\n\n\n\n"
            "Mein Format: 216101,0100\nAnderes Format: 0.000000\n",
            "„31.02.2013 12:00“ ist kein gültiges Datum", 1, "05.12.2013 12:00\r\n31.02.2013 12:00\n\n1.1.2161 0:0");
        add("batch from empty input", {"--formula", "-"}, "", "", 0);
        add("version", {"--version"}, program + QStringLiteral(" " STERNZEIT_VERSION "\n"), "", 0);
        add("both options", {"--own", "201312,0512", "--formula", "2500"}, "",
            "--own und --formula schließen einander aus.", 2);
        add("an option and a date", {"--own", "201312,0512", "05.12.2013 12:00"}, "", tooMany, 2);
        add("negative number without --formula", {"-147073"}, "", "", 2);
    }

    void messagesAndExitCodes()
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

    // Its own texts and Qt's parts of the help and of a usage error speak German.
    void help()
    {
        const Run help = runConvert({"--help"});
        QCOMPARE(help.exitCode, 0);
        for (const char *text : {"--own <sternzeit>", "--formula <sternzeit>", "[datum]", "Rückgabewert",
                                 "Aufruf:", "Optionen:", "Argumente:"})
            QVERIFY2(help.out.contains(QString::fromUtf8(text)), text);
        const Run wrong = runConvert({"--bogus"});
        for (const char *english : {"Usage", "Options", "Arguments", "Displays", "Unknown"})
            QVERIFY2(!help.out.contains(QLatin1String(english)) && !wrong.err.contains(QLatin1String(english)), english);
    }

    // A copy of the command alone in a folder of its own, as a user copies it, whose qt.conf sends
    // Qt to a translations folder that is empty: the German catalogue comes with the program.
    void qtTextsTravelWithTheProgram()
    {
        QTemporaryDir folder;
        const QDir alone(folder.path());
        const QString copy = alone.filePath(QFileInfo(QStringLiteral(CONVERT_PROGRAM)).fileName());
        QFile qtConf(alone.filePath(QStringLiteral("qt.conf")));
        QVERIFY(QFile::copy(QStringLiteral(CONVERT_PROGRAM), copy) && alone.mkpath("qt-translations")
                && qtConf.open(QIODevice::WriteOnly));
        qtConf.write("[Paths]\nTranslations=qt-translations\n");
        qtConf.close();
        const Run help = runConvert({"--help"}, QByteArray(), copy);
        QVERIFY2(help.out.startsWith(QStringLiteral("Aufruf:")), qPrintable(help.out.left(40)));
    }
};

// On Windows QProcess watches its process with timers, which need an application object.
QTEST_GUILESS_MAIN(TestConvert)
#include "tst_convert.moc"
