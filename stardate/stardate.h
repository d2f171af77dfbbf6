#ifndef STARDATE_H
#define STARDATE_H

#include <QDateTime>
#include <QString>

#include <optional>

// The own-format stardate "yyyyMM,ddhh" of a date and time as its fields read; empty for an
// invalid one.
QString ownStardateText(const QDateTime &dateTime);

// The formula stardate 1000 * (year - 2161 + (dayOfYear - 1 + hour/24 + minute/1440) / 365.25),
// kept in single precision and written with six decimals.
QString formulaStardateText(int year, int dayOfYear, int hour, int minute);

// A typed own-format stardate (three or more digits, a comma, four digits) as a date text,
// empty when its fields are no date and time.
QString dateFromOwnStardate(const QString &stardate);

// A typed formula stardate as a date text, empty when it is no number or gives no date and time.
QString dateFromFormulaStardate(const QString &stardate);

// Whether the whole text has the form of a typed date and time: day and month of one or two
// digits, a year of any length, one blank, hour and minute ("5.12.2013 12:00").
bool isDateInput(const QString &text);

// Whether the whole text has the form of a typed own-format stardate: three or more digits, a
// comma, four digits.
bool isOwnStardateInput(const QString &text);

// The two stardate texts of one date and time.
struct Stardates
{
    QString own;
    QString formula;
};

// The stardates of a typed date and time, or none when the text is not of the date input form
// or its fields are no date and time. The own-format text is empty for a date beyond what a
// date-time can hold, whose formula stardate is still a number.
std::optional<Stardates> stardatesOfDateInput(const QString &text);

// A date and time as both reverse conversions write it, "dd.MM.yyyy hh:mm", in Latin digits
// whatever the user's locale; empty for an invalid one.
QString dateText(const QDateTime &dateTime);

// A date and time as the clock shows it, "dd.MM.yyyy - hh:mm:ss", in Latin digits whatever the
// user's locale.
QString clockText(const QDateTime &dateTime);

// A typed date and time as a date-time that names that day and time of day whatever the
// machine's zone, also in the hour the zone's clocks skip or repeat; an invalid one when either
// is invalid or the date lies beyond what a date-time can hold.
QDateTime calendarDateTime(const QDate &date, const QTime &time);

#endif // STARDATE_H
