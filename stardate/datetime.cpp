#include "stardate.h"
#include "patterns.h"

#include <QLocale>

QDateTime calendarDateTime(const QDate &date, const QTime &time)
{
    // A valid date with an invalid time would silently become midnight of that date.
    if (!date.isValid() || !time.isValid())
        return QDateTime();

    // Taken as a time of the local zone, a time in the hour its clocks skip would be no time at
    // all, and the conversions would answer differently from zone to zone; UTC has every day and
    // time of day exactly once. A date-time counts milliseconds in 64 bits; some 292 million
    // years away from 1970 that count wraps around and the date read back is a different one.
    QDateTime dateTime(date, time, Qt::UTC);
    if (dateTime.date() != date)
        return QDateTime();
    return dateTime;
}

QString dateText(const QDateTime &dateTime)
{
    return QLocale::c().toString(dateTime, QLatin1String(dateTextPattern));
}

QString clockText(const QDateTime &dateTime)
{
    return QLocale::c().toString(dateTime, QLatin1String(clockPattern));
}
