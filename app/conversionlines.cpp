#include "conversionlines.h"

#include "captions.h"
#include "patterns.h"
#include "stardate.h"

namespace {

// Long enough to recognise an input, short enough for one line of a terminal.
const int longestQuotedInput = 60;

// The input as a message quotes it: cut short when long, with whatever a terminal would take
// as a control character shown as "?".
QString quoted(const QString &input)
{
    QString shown = input;
    if (shown.size() > longestQuotedInput) {
        int cut = longestQuotedInput - 1;
        if (shown.at(cut - 1).isHighSurrogate())
            --cut;
        shown = shown.left(cut) + QChar(0x2026);
    }
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control || c.category() == QChar::Separator_Line
            || c.category() == QChar::Separator_Paragraph)
            c = QLatin1Char('?');
    }
    return QChar(0x201E) + shown + QChar(0x201C);
}

ConversionLines convertDate(const QString &input)
{
    if (!isDateInput(input))
        return {{QString(), QString()}, quoted(input) + QStringLiteral(" ist kein Datum der Form TT.MM.JJJJ hh:mm")};
    const std::optional<Stardates> stardates = stardatesOfDateInput(input);
    if (!stardates)
        return {{QString(), QString()}, quoted(input) + QString::fromUtf8(" ist kein gültiges Datum")};

    ConversionLines lines{{QLatin1String(ownResultPrefix) + stardates->own,
                           QLatin1String(formulaResultPrefix) + stardates->formula}, QString()};
    // Only a date beyond what a date-time holds loses its own-format stardate; the dialog then
    // shows the prefix alone beside the formula stardate, and so does the command.
    if (stardates->own.isEmpty())
        lines.problem = quoted(input) + QStringLiteral(" ergibt keine Sternzeit in meinem Format");
    return lines;
}

ConversionLines convertStardate(InputKind kind, const QString &input)
{
    if (kind == InputKind::OwnStardate && !isOwnStardateInput(input))
        return {{QString()}, quoted(input) + QStringLiteral(" ist keine Sternzeit der Form JJJJMM,TThh")};
    const QString date = kind == InputKind::OwnStardate ? dateFromOwnStardate(input) : dateFromFormulaStardate(input);
    if (date.isEmpty())
        return {{QString()}, quoted(input) + QStringLiteral(" ergibt kein Datum")};
    return {{date}, QString()};
}

} // namespace

ConversionLines convertInput(InputKind kind, const QString &input)
{
    if (kind == InputKind::Date)
        return convertDate(input);
    return convertStardate(kind, input);
}

QStringList currentMomentLines(const QDateTime &now)
{
    const QDate date = now.date();
    const QTime time = now.time();
    const QLatin1Char blank(' ');
    return {QLatin1String(currentTimeCaption) + blank + clockText(now),
            QLatin1String(ownStardateCaption) + blank + ownStardateText(now),
            QLatin1String(formulaStardateCaption) + blank
                + formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute())};
}
