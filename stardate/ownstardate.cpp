#include "stardate.h"
#include "inputform.h"
#include "patterns.h"

QString ownStardateText(const QDateTime &dateTime)
{
    // Minutes never enter the own format: every minute of an hour has the same stardate.
    return dateTime.toString(QStringLiteral("yyyyMM,ddhh"));
}

QString dateFromOwnStardate(const QString &stardate)
{
    static const InputForm form = inputForm(QLatin1String(ownStardateInputPattern));
    if (!matchesWhole(form, stardate))
        return QString();

    // The year takes every digit before the comma but the last two, so it may be of any length.
    const auto comma = stardate.indexOf(QLatin1Char(','));
    const QString yearAndMonth = stardate.left(comma);
    const QString dayAndHour = stardate.mid(comma + 1);

    const int year = yearAndMonth.left(yearAndMonth.size() - 2).toInt();
    const int month = yearAndMonth.right(2).toInt();
    const int day = dayAndHour.left(2).toInt();
    const int hour = dayAndHour.right(2).toInt();

    return localDateTime(QDate(year, month, day), QTime(hour, 0))
            .toString(QLatin1String(dateTextPattern));
}
