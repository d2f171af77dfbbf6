// Feeds any text to the conversions in each of their three readings: the first byte chooses a
// date, an own-format or a formula stardate, the rest is the input. Whatever it is, the answer
// has the shape of its kind: both stardates of a date, of which only the own-format one may be
// missing, or a date text of day, month, a year of four or more digits ("-" before the common
// era), hour and minute; its lines are result lines or empty, and a missing result comes with one
// line that quotes the input.
#include "captions.h"
#include "conversionlines.h"
#include "inputform.h"

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        abort();
}

// Whether the lines give a date's two stardates in full; two empty lines give none.
bool checkDateLines(const QStringList &results)
{
    static const InputForm ownStardate = inputForm(QLatin1String(ownResultPrefix) + QStringLiteral(R"(\d{6,},\d{4})"));
    require(results.size() == 2 && results.at(0).isEmpty() == results.at(1).isEmpty());
    if (results.at(0).isEmpty())
        return false;
    bool isNumber = false;
    require(results.at(1).startsWith(QLatin1String(formulaResultPrefix)));
    results.at(1).mid(int(qstrlen(formulaResultPrefix))).toDouble(&isNumber);
    require(isNumber && (results.at(0) == QLatin1String(ownResultPrefix) || matchesWhole(ownStardate, results.at(0))));
    return results.at(0) != QLatin1String(ownResultPrefix);
}

// Whether the line gives a date text; an empty one gives none.
bool checkDateTextLine(const QStringList &results)
{
    static const InputForm dateText = inputForm(QStringLiteral(R"(\d\d\.\d\d\.-?\d{4,} \d\d:\d\d)"));
    require(results.size() == 1 && (results.at(0).isEmpty() || matchesWhole(dateText, results.at(0))));
    return !results.at(0).isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const InputKind kind = InputKind(data[0] % 3);
    const ConversionLines lines = convertInput(kind, QString::fromUtf8(reinterpret_cast<const char *>(data + 1), int(size - 1)));
    const bool complete = kind == InputKind::Date ? checkDateLines(lines.results) : checkDateTextLine(lines.results);
    require(complete == lines.problem.isEmpty());
    require(complete || (lines.problem.startsWith(QChar(0x201E)) && lines.problem.size() < 140));
    for (const QChar c : lines.problem)
        require(c.category() != QChar::Other_Control && c != QChar::LineSeparator && c != QChar::ParagraphSeparator);
    return 0;
}
