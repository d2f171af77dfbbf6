#ifndef STARDATETABLES_H
#define STARDATETABLES_H

#include <QDate>
#include <QString>
#include <QTime>
#include <QVector>

// The stardate arithmetic's cases, shared by the library's test and the command line's, which
// must answer the same.

struct StardatesOfMoment
{
    const char *probe;
    QDate date;
    QTime time;
    QString own;
    QString formula;
};

struct DateOfStardate
{
    const char *probe;
    QString stardate;
    QString date;
};

// Both stardate texts of a typed date and time.
inline const QVector<StardatesOfMoment> &stardatesOfMoments()
{
    static const QVector<StardatesOfMoment> rows = {
        {"stardate zero", QDate(2161, 1, 1), QTime(0, 0), "216101,0100", "0.000000"},
        {"one minute", QDate(2161, 1, 1), QTime(0, 1), "216101,0100", "0.001901"},
        {"half a day", QDate(2161, 1, 1), QTime(12, 0), "216101,0112", "1.368925"},
        {"2161 ends below 1000", QDate(2161, 12, 31), QTime(23, 59), "216112,3123", "999.313660"},
        {"leap 2160 ends above 0", QDate(2160, 12, 31), QTime(23, 59), "216012,3123", "2.051487"},
        {"present day, 1/64 steps", QDate(2013, 12, 5), QTime(12, 0), "201312,0512", "-147073.234375"},
        {"minutes dropped", QDate(2013, 12, 5), QTime(12, 45), "201312,0512", "-147073.156250"},
        {"leap day", QDate(2000, 2, 29), QTime(12, 30), "200002,2912", "-160837.046875"},
        {"afternoon before 1970", QDate(1900, 1, 1), QTime(16, 30), "190001,0116", "-260998.125000"},
        {"one float for 23:08", QDate(2026, 12, 5), QTime(23, 8), "202612,0523", "-134071.968750"},

        // A valid date with an invalid time must not pass for midnight of that date.
        {"hour 24 is no midnight", QDate(2013, 12, 5), QTime(24, 0), "", ""},
    };
    return rows;
}

// Own-format stardates of the input form and the date text they give.
inline const QVector<DateOfStardate> &datesOfOwnStardates()
{
    static const QVector<DateOfStardate> rows = {
        {"minutes are always 00", "201312,0512", "05.12.2013 12:00"},
        {"one-digit year", "112,0100", "01.12.0001 00:00"},
        {"five-digit year", "1234512,3123", "31.12.12345 23:00"},

        {"year 0", "000012,0100", ""},
        {"month 13", "201313,0512", ""},
        {"hour 24 is no midnight", "201312,0524", ""},

        // Far from 1970 the milliseconds of a date-time wrap around: right or empty, never wrapped.
        {"last year a date-time holds", "29227899312,3123", "31.12.292278993 23:00"},
        {"first year a date-time cannot hold", "29227899412,3123", ""},
    };
    return rows;
}

// Typed formula stardates and the date text they give.
inline const QVector<DateOfStardate> &datesOfFormulaStardates()
{
    static const QVector<DateOfStardate> rows = {
        {"stardate zero", "0", "01.01.2161 00:00"},
        {"a thousand with an exponent", "1e3", "01.01.2162 00:00"},
        {"whole stardate", "2500", "02.07.2163 15:00"},
        {"day 365 of a leap year", "-1", "30.12.2160 21:14"},
        {"last hour of a common year", "999.3", "31.12.2161 23:51"},
        {"first of March", "161.5332", "01.03.2161 00:00"},
        {"day 214 of a leap year", "3584", "01.08.2164 07:20"},
        {"last day of a leap year comes back as 1 January", "2.051487", "01.01.2161 17:59"},
        {"present-day round trip gains a minute", "-147073.234375", "05.12.2013 12:01"},
        {"day fraction rounds to a whole day", "824.09305", ""},
        {"day 366 of a common year", "999.5", ""},
        {"rounding carries into the year", "-0.00000001", ""},
        {"year 0", "-2160500", ""},
        {"year cut toward zero, not down", "-2162500", ""},

        {"comma as decimal point", "2500,5", "02.07.2163 19:22"},
        {"digits then a letter", "12a", ""},
        {"a decimal point and a comma", "2.500,5", ""},

        {"largest double", "1e308", ""},
        {"not a number", "nan", ""},
        {"far year a date-time still holds", "2.9e11", "01.01.290002161 00:00"},
        {"year a date-time cannot hold", "3e11", ""},
    };
    return rows;
}

#endif // STARDATETABLES_H
