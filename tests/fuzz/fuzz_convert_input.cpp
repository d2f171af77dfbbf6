// Feeds any text to the command line's conversion in each of its three readings: the first byte
// chooses a date, an own-format or a formula stardate, the rest is the input. Whatever it is,
// the answer has the shape of its kind, its lines are result lines or empty, and a missing
// result comes with one line that quotes the input.
#include "captions.h"
#include "conversionlines.h"
#include "datetextcheck.h"

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        abort();
}

// Both result lines of a date, or two empty lines; only the own-format stardate can be missing.
bool checkDateLines(const QStringList &results)
{
    static const InputForm ownStardate = inputForm(QStringLiteral(R"(\d{6,},\d{4})"));
    const QString ownPrefix = QLatin1String(ownResultPrefix);
    const QString formulaPrefix = QLatin1String(formulaResultPrefix);
    require(results.size() == 2);
    if (results.at(0).isEmpty()) {
        require(results.at(1).isEmpty());
        return false;
    }
    require(results.at(0).startsWith(ownPrefix) && results.at(1).startsWith(formulaPrefix));
    const QString own = results.at(0).mid(ownPrefix.size());
    require(own.isEmpty() || matchesWhole(ownStardate, own));
    bool isNumber = false;
    results.at(1).mid(formulaPrefix.size()).toDouble(&isNumber);
    require(isNumber);
    return !own.isEmpty();
}

bool checkDateTextLine(const QStringList &results)
{
    require(results.size() == 1);
    checkDateText(results.at(0));
    return !results.at(0).isEmpty();
}

void checkProblem(const QString &problem)
{
    require(problem.startsWith(QChar(0x201E)) && problem.size() < 140);
    for (const QChar c : problem)
        require(c.category() != QChar::Other_Control && c != QChar::LineSeparator && c != QChar::ParagraphSeparator);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const InputKind kind = InputKind(data[0] % 3);
    const ConversionLines lines = convertInput(kind, typedText(data + 1, size - 1));

    const bool complete = kind == InputKind::Date ? checkDateLines(lines.results) : checkDateTextLine(lines.results);
    require(complete == lines.problem.isEmpty());
    if (!complete)
        checkProblem(lines.problem);
    return 0;
}
