#include "stardate.h"

#include <QLocale>

QString ownStardateText(const QDateTime &dateTime)
{
    // Minutes never enter the own format: every minute of an hour has the same stardate. Stardates
    // are written in Latin digits whatever the user's locale, so that they can be typed back.
    return QLocale::c().toString(dateTime, QStringLiteral("yyyyMM,ddhh"));
}

QString dateFromOwnStardate(const QString &stardate)
{
    if (!isOwnStardateInput(stardate))
        return QString();

    // The year takes every digit before the comma but the last two, so it may be of any length.
    const auto comma = stardate.indexOf(QLatin1Char(','));
    const QString yearAndMonth = stardate.left(comma);
    const QString dayAndHour = stardate.mid(comma + 1);

    const int year = yearAndMonth.left(yearAndMonth.size() - 2).toInt();
    const int month = yearAndMonth.right(2).toInt();
    const int day = dayAndHour.left(2).toInt();
    const int hour = dayAndHour.right(2).toInt();

    return dateText(calendarDateTime(QDate(year, month, day), QTime(hour, 0)));
}
