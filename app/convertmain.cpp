// sternzeit-convert: the conversions of the conversion dialog, and the main window's clock, on
// the command line.
#include "conversionlines.h"
#include "qtgerman.h"
#include "standardstreams.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

const int usageFailure = 2;

void writeLines(FILE *stream, const QStringList &lines)
{
    for (const QString &line : lines)
        writeText(stream, line + QLatin1Char('\n'));
}

int usageError(const QString &message)
{
    writeText(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + message + QLatin1Char('\n')
                  + QString::fromUtf8("Aufruf und Optionen zeigt „") + QCoreApplication::applicationName()
                  + QStringLiteral(" --help“.\n"));
    return usageFailure;
}

// Writes the results of one input and says whether they are all there. Alone, a failed input
// writes nothing to standard output; in a batch its empty lines keep the output in step with
// the input lines.
bool convertOne(InputKind kind, const QString &input, bool inBatch)
{
    const ConversionLines lines = convertInput(kind, input);
    if (inBatch || !lines.results.join(QString()).isEmpty())
        writeLines(stdout, lines.results);
    if (lines.problem.isEmpty())
        return true;
    // The message comes after the lines it explains, also on a terminal that shows both streams.
    std::fflush(stdout);
    writeText(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + lines.problem + QLatin1Char('\n'));
    return false;
}

// One input per line of standard input, whatever its line ending; a failed line does not stop
// the rest.
bool convertBatch(InputKind kind)
{
    bool allConverted = true;
    QString line;
    while (readLine(line)) {
        allConverted &= convertOne(kind, line, true);
        // Each answer leaves at once, so a script may feed a line and wait for its block.
        std::fflush(stdout);
    }
    return allConverted;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    useGermanQtTexts();
    QCoreApplication::setApplicationName(QStringLiteral("sternzeit-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(STERNZEIT_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromUtf8(
        "Rechnet wie der Umrechner von Sternzeit zwischen Datum und Sternzeit um.\n"
        "\n"
        "Ohne Argument: die aktuelle Zeit und ihre beiden Sternzeiten wie im Hauptfenster.\n"
        "Mit einem Datum wie \"05.12.2013 12:00\": die Zeilen \"Mein Format: 201312,0512\"\n"
        "und \"Anderes Format: -147073.234375\".\n"
        "Mit --own oder --formula: das Datum zu einer Sternzeit, etwa \"05.12.2013 12:00\".\n"
        "Statt einer Eingabe liest \"-\" eine Eingabe je Zeile von der Standardeingabe;\n"
        "eine Eingabe ohne Ergebnis lässt dort leere Zeilen stehen.\n"
        "\n"
        "Fehlt ein Ergebnis, nennt eine Meldung auf der Standardfehlerausgabe die Eingabe.\n"
        "Liegt ein Datum jenseits dessen, was sich im eigenen Format schreiben lässt, stehen\n"
        "beide Zeilen da, \"Mein Format: \" aber ohne Sternzeit.\n"
        "\n"
        "Rückgabewert: 0, wenn jedes Ergebnis da ist; 1, wenn eines fehlt (im Stapelbetrieb\n"
        "nach der letzten Zeile); 2 bei falschem Aufruf."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption ownOption(QStringLiteral("own"),
        QString::fromUtf8("Liest eine Sternzeit im eigenen Format (JJJJMM,TThh) und gibt ihr Datum aus."),
        QStringLiteral("sternzeit"));
    const QCommandLineOption formulaOption(QStringLiteral("formula"),
        QString::fromUtf8("Liest eine Sternzeit nach der Formel (etwa -147073.234375; ein Komma gilt als "
                          "Dezimalpunkt) und gibt ihr Datum aus."),
        QStringLiteral("sternzeit"));
    parser.addOption(ownOption);
    parser.addOption(formulaOption);
    parser.addPositionalArgument(QStringLiteral("datum"),
        QString::fromUtf8("Datum und Uhrzeit in der Form TT.MM.JJJJ hh:mm, in Anführungszeichen."),
        QStringLiteral("[datum]"));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    // Written here rather than by the parser, which shows them in a message box on Windows
    // when no console window is open, as for a program started by a script.
    if (parser.isSet(helpOption)) {
        writeText(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(versionOption)) {
        writeText(stdout, QCoreApplication::applicationName() + QLatin1Char(' ')
                              + QCoreApplication::applicationVersion() + QLatin1Char('\n'));
        return 0;
    }

    const QStringList dates = parser.positionalArguments();
    const QStringList own = parser.values(ownOption);
    const QStringList formula = parser.values(formulaOption);
    if (!own.isEmpty() && !formula.isEmpty())
        return usageError(QString::fromUtf8("--own und --formula schließen einander aus."));
    if (dates.size() + own.size() + formula.size() > 1)
        return usageError(QString::fromUtf8("Zu viele Argumente: eine Eingabe je Aufruf, oder \"-\" für viele."));

    if (dates.isEmpty() && own.isEmpty() && formula.isEmpty()) {
        writeLines(stdout, currentMomentLines(QDateTime::currentDateTime()));
        return 0;
    }
    const InputKind kind = !own.isEmpty() ? InputKind::OwnStardate
                         : !formula.isEmpty() ? InputKind::FormulaStardate : InputKind::Date;
    const QString input = (dates + own + formula).constFirst();
    const bool converted = input == QLatin1String("-") ? convertBatch(kind) : convertOne(kind, input, false);
    return converted ? 0 : 1;
}
