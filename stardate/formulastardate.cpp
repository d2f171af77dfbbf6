#include "stardate.h"

namespace {

const double stardatesPerYear = 1000;
const double yearOfStardateZero = 2161; // 1 January 2161, 00:00 is stardate 0
const double daysPerMeanYear = 365.25;

bool isLeapYear(int year)
{
    return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

// Both the fractional year and the elapsed days pass through a text with ten decimals, so the
// rounding to ten decimals comes before the cut: 1.99999999999 counts as 2.
QString tenDecimals(double value)
{
    return QString::number(value, 'f', 10);
}

// The whole number before the decimal point; one beyond 32 bits counts as 0.
int wholePart(const QString &tenDecimals)
{
    return tenDecimals.left(tenDecimals.indexOf(QLatin1Char('.'))).toInt();
}

// Days of the year before the first of a month (13 for the end of the year); the leap day
// comes after February.
int daysBeforeMonth(int month, bool leapYear)
{
    static const int commonYear[] = { 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365 };
    return commonYear[month - 1] + (leapYear && month > 2 ? 1 : 0);
}

// The day that lies the given number of whole days after 1 January, found in the month table;
// a count before the first or past the last day of the year gives an invalid date.
QDate dateAfterDays(int year, int elapsedDays)
{
    if (elapsedDays < 31)
        return QDate(year, 1, elapsedDays + 1);

    const bool leapYear = isLeapYear(year);
    for (int month = 2; month <= 12; ++month) {
        if (elapsedDays < daysBeforeMonth(month + 1, leapYear))
            return QDate(year, month, elapsedDays - daysBeforeMonth(month, leapYear) + 1);
    }
    return QDate();
}

} // namespace

QString formulaStardateText(int year, int dayOfYear, int hour, int minute)
{
    // Worked in double in this order, then kept in single precision: for present-day dates the
    // text therefore moves in steps of 1/64, about eight minutes.
    double t = (double(dayOfYear) - 1) + hour / 24.0;
    t = t + minute / 1440.0;
    t = t * (1 / daysPerMeanYear);
    t = t + year;
    t = t - yearOfStardateZero;
    t = t * stardatesPerYear;
    const float stardate = float(t);
    return QString::asprintf("%f", double(stardate));
}

QString dateFromFormulaStardate(const QString &stardate)
{
    // The stardates shown use ".", but a typed "," is read as the decimal point as well.
    bool isNumber = false;
    const double value = QString(stardate).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&isNumber);
    if (!isNumber)
        return QString();

    // The value is split at whole mean years of 365.25 days, not at calendar years.
    const double fractionalYear = value / stardatesPerYear + yearOfStardateZero;
    const int year = wholePart(tenDecimals(fractionalYear));
    const QString elapsedDaysText = tenDecimals((fractionalYear - year) * daysPerMeanYear);
    const int elapsedDays = wholePart(elapsedDaysText);
    const QDate date = dateAfterDays(year, elapsedDays);

    // The fraction of the day is read in single precision, so a round trip can move the time by
    // a minute; in the last second or so of a day it rounds up to a whole day, which is no time.
    const double fractionOfDay = double(elapsedDaysText.toFloat() - float(elapsedDays));
    int hour = -1;
    for (int i = 0; i <= 24; ++i) {
        if (fractionOfDay - i / 24.0 >= 0)
            hour = i;
    }
    if (hour < 0 || hour > 23)
        return QString();
    const int minute = int((fractionOfDay - hour / 24.0) * 1440);

    return dateText(calendarDateTime(date, QTime(hour, minute)));
}
