#include "stardate.h"

#include <QStringList>

std::optional<Stardates> stardatesOfDateInput(const QString &text)
{
    if (!isDateInput(text))
        return std::nullopt;

    const QStringList dateAndTime = text.split(QLatin1Char(' '));
    const QStringList dayMonthYear = dateAndTime.at(0).split(QLatin1Char('.'));
    const QStringList hourMinute = dateAndTime.at(1).split(QLatin1Char(':'));
    // A two-digit year is one of the first century; a year beyond an int reads as 0, no year.
    const int day = dayMonthYear.at(0).toInt();
    const int month = dayMonthYear.at(1).toInt();
    const int year = dayMonthYear.at(2).toInt();
    const int hour = hourMinute.at(0).toInt();
    const int minute = hourMinute.at(1).toInt();
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, 0, 0))
        return std::nullopt;

    const QDate date(year, month, day);
    return Stardates{ownStardateText(calendarDateTime(date, QTime(hour, minute))),
                     formulaStardateText(year, date.dayOfYear(), hour, minute)};
}
