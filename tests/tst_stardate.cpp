#include "patterns.h"
#include "stardate.h"

#include <QtTest>

#include <climits>

class TestStardate : public QObject
{
    Q_OBJECT

private slots:
    void ownStardate_data();
    void ownStardate();
    void formulaStardate_data();
    void formulaStardate();
    void dateFromOwn_data();
    void dateFromOwn();
    void dateFromFormula_data();
    void dateFromFormula();
    void inputForms_data();
    void inputForms();
    void ownRoundTrip_data();
    void ownRoundTrip();
    void formulaRoundTrip_data();
    void formulaRoundTrip();
};

namespace {

QString dateText(const QDateTime &wallClock)
{
    return wallClock.toString(QLatin1String(dateTextPattern));
}

// Whether the local zone skips some wall-clock time within the given minutes of a moment.
bool nearSkippedTime(const QDateTime &wallClock, int minutes)
{
    for (int m = -minutes; m <= minutes; ++m) {
        const QDateTime near = wallClock.addSecs(qint64(m) * 60);
        if (!QDateTime(near.date(), near.time()).isValid())
            return true;
    }
    return false;
}

} // namespace

void TestStardate::ownStardate_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("stardate");

    QTest::newRow("stardate zero") << QDate(2161, 1, 1) << QTime(0, 0) << "216101,0100";
    QTest::newRow("minutes are dropped") << QDate(2013, 12, 5) << QTime(12, 45) << "201312,0512";
    QTest::newRow("last minute of a year") << QDate(2161, 12, 31) << QTime(23, 59) << "216112,3123";
    QTest::newRow("afternoon hour") << QDate(1900, 1, 1) << QTime(16, 30) << "190001,0116";
    QTest::newRow("five-digit year") << QDate(12345, 12, 31) << QTime(23, 0) << "1234512,3123";
    QTest::newRow("year before the common era") << QDate(-44, 3, 15) << QTime(12, 0) << "-004403,1512";

    // A valid date with an invalid time must not pass for midnight of that date.
    QTest::newRow("hour 24 is no midnight") << QDate(2013, 12, 5) << QTime(24, 0) << "";
    QTest::newRow("minute 60 is no time") << QDate(2013, 12, 5) << QTime(12, 60) << "";
    QTest::newRow("leap day of a common year") << QDate(2013, 2, 29) << QTime(12, 0) << "";

    // Far from 1970 the milliseconds of a date-time wrap around: right or empty, never wrapped.
    QTest::newRow("last year a date-time holds") << QDate(292278993, 12, 31) << QTime(23, 0) << "29227899312,3123";
    QTest::newRow("first year a date-time cannot hold") << QDate(292278994, 12, 31) << QTime(23, 0) << "";
    QTest::newRow("largest 32-bit year") << QDate(INT_MAX, 1, 1) << QTime(0, 0) << "";
    QTest::newRow("smallest 32-bit year") << QDate(INT_MIN, 1, 1) << QTime(0, 0) << "";
}

void TestStardate::ownStardate()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, stardate);

    QCOMPARE(ownStardateText(localDateTime(date, time)), stardate);
}

void TestStardate::formulaStardate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("dayOfYear");
    QTest::addColumn<int>("hour");
    QTest::addColumn<int>("minute");
    QTest::addColumn<QString>("stardate");

    const auto row = [](const char *name, const QDate &date, const QTime &time, const char *stardate) {
        QTest::newRow(name) << date.year() << date.dayOfYear() << time.hour() << time.minute()
                            << QString::fromLatin1(stardate);
    };
    row("stardate zero", QDate(2161, 1, 1), QTime(0, 0), "0.000000");
    row("one minute", QDate(2161, 1, 1), QTime(0, 1), "0.001901");
    row("half a day", QDate(2161, 1, 1), QTime(12, 0), "1.368925");
    row("common year ends below the next thousand", QDate(2161, 12, 31), QTime(23, 59), "999.313660");
    row("a year later", QDate(2162, 1, 1), QTime(0, 0), "1000.000000");
    row("a year earlier", QDate(2160, 1, 1), QTime(0, 0), "-1000.000000");
    row("leap year ends above the next thousand", QDate(2160, 12, 31), QTime(23, 59), "2.051487");
    row("present day in steps of 1/64", QDate(2013, 12, 5), QTime(12, 0), "-147073.234375");
    row("leap day", QDate(2000, 2, 29), QTime(12, 30), "-160837.046875");
    row("afternoon before 1970", QDate(1900, 1, 1), QTime(16, 30), "-260998.125000");
    row("two minutes in one single-precision step, first", QDate(2026, 12, 5), QTime(23, 8), "-134071.968750");
    row("two minutes in one single-precision step, second", QDate(2026, 12, 5), QTime(23, 9), "-134071.968750");

    // Any four integers give a number text, even where no date-time could hold the year.
    QTest::newRow("hour 24 counts as the next day") << 2161 << 1 << 24 << 0 << "2.737851";
    QTest::newRow("day 0 counts as the day before") << 2161 << 0 << 0 << 0 << "-2.737851";
    QTest::newRow("largest 32-bit year") << INT_MAX << 1 << 0 << 0 << "2147481550848.000000";
    QTest::newRow("all arguments INT_MAX") << INT_MAX << INT_MAX << INT_MAX << INT_MAX << "2153610084352.000000";
    QTest::newRow("all arguments INT_MIN") << INT_MIN << INT_MIN << INT_MIN << INT_MIN << "-2153614409728.000000";
}

void TestStardate::formulaStardate()
{
    QFETCH(int, year);
    QFETCH(int, dayOfYear);
    QFETCH(int, hour);
    QFETCH(int, minute);
    QFETCH(QString, stardate);

    QCOMPARE(formulaStardateText(year, dayOfYear, hour, minute), stardate);
}

void TestStardate::dateFromOwn_data()
{
    QTest::addColumn<QString>("stardate");
    QTest::addColumn<QString>("date");

    QTest::newRow("minutes are always 00") << "201312,0512" << "05.12.2013 12:00";
    QTest::newRow("stardate zero") << "216101,0100" << "01.01.2161 00:00";
    QTest::newRow("three-digit year with a leading zero") << "099912,0110" << "01.12.0999 10:00";
    QTest::newRow("one-digit year") << "112,0100" << "01.12.0001 00:00";
    QTest::newRow("five-digit year") << "1234512,3123" << "31.12.12345 23:00";
    QTest::newRow("year with 396 leading zeros") << QString(396, QLatin1Char('0')) + "201312,0512" << "05.12.2013 12:00";
    QTest::newRow("leap day of a leap year") << "201602,2912" << "29.02.2016 12:00";

    QTest::newRow("year 0") << "000012,0100" << "";
    QTest::newRow("month 13") << "201313,0512" << "";
    QTest::newRow("month 0") << "201300,0512" << "";
    QTest::newRow("day 0") << "201312,0012" << "";
    QTest::newRow("day 31 of a 30-day month") << "201304,3112" << "";
    QTest::newRow("leap day of a common year") << "201302,2912" << "";
    QTest::newRow("hour 24 is no midnight") << "201312,0524" << "";
    QTest::newRow("hour 99") << "201312,0599" << "";

    QTest::newRow("three digits after the comma") << "201312,512" << "";
    QTest::newRow("two commas") << "2013,12,0512" << "";
    QTest::newRow("two digits before the comma") << "12,0512" << "";
    QTest::newRow("five digits after the comma") << "201312,05123" << "";
    QTest::newRow("minus sign before the year") << "-201312,0512" << "";
    QTest::newRow("trailing blank") << "201312,0512 " << "";

    QTest::newRow("last year a date-time holds") << "29227899312,3123" << "31.12.292278993 23:00";
    QTest::newRow("first year a date-time cannot hold") << "29227899412,3123" << "";
    QTest::newRow("largest 32-bit year") << "214748364712,3123" << "";
    QTest::newRow("year beyond 32 bits") << "214748364812,3123" << "";
    QTest::newRow("400-digit year") << QString(396, QLatin1Char('9')) + "12,0512" << "";
}

void TestStardate::dateFromOwn()
{
    QFETCH(QString, stardate);
    QFETCH(QString, date);

    QCOMPARE(dateFromOwnStardate(stardate), date);
}

void TestStardate::dateFromFormula_data()
{
    QTest::addColumn<QString>("stardate");
    QTest::addColumn<QString>("date");

    QTest::newRow("stardate zero") << "0" << "01.01.2161 00:00";
    QTest::newRow("a thousand") << "1000" << "01.01.2162 00:00";
    QTest::newRow("a thousand with an exponent") << "1e3" << "01.01.2162 00:00";
    QTest::newRow("whole stardate") << "2500" << "02.07.2163 15:00";
    QTest::newRow("half a stardate later") << "2500.5" << "02.07.2163 19:22";
    QTest::newRow("day 365 of a leap year") << "-1" << "30.12.2160 21:14";
    QTest::newRow("last day of a common year") << "999" << "31.12.2161 21:14";
    QTest::newRow("last hour of a common year") << "999.3" << "31.12.2161 23:51";
    QTest::newRow("first of March") << "161.5332" << "01.03.2161 00:00";
    QTest::newRow("day 214 of a leap year") << "3584" << "01.08.2164 07:20";
    QTest::newRow("August of a leap year") << "3590" << "03.08.2164 11:56";
    QTest::newRow("last day of a leap year comes back as 1 January") << "2.051487" << "01.01.2161 17:59";
    QTest::newRow("present-day round trip gains a minute") << "-147073.234375" << "05.12.2013 12:01";
    QTest::newRow("first day of the year 1") << "-2160000" << "01.01.0001 00:00";
    QTest::newRow("whole negative year") << "-2162000" << "01.01.-0001 00:00";

    QTest::newRow("day fraction rounds to a whole day") << "824.09305" << "";
    QTest::newRow("day 366 of a common year, middle") << "999.5" << "";
    QTest::newRow("day 366 of a common year, start") << "999.32" << "";
    QTest::newRow("rounding carries into the year") << "-0.00000001" << "";
    QTest::newRow("year 0") << "-2160500" << "";
    QTest::newRow("under a day before a negative year") << "-2162001" << "";
    QTest::newRow("half a year before a negative year") << "-2162500" << "";

    QTest::newRow("comma as decimal point") << "2500,5" << "02.07.2163 19:22";
    QTest::newRow("negative with a comma") << "-1,0" << "30.12.2160 21:14";
    QTest::newRow("two commas") << "2500,5,1" << "";
    QTest::newRow("letters") << "abc" << "";
    QTest::newRow("digits then a letter") << "12a" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("minus sign alone") << "-" << "";

    QTest::newRow("largest double") << "1e308" << "";
    QTest::newRow("most negative double") << "-1e308" << "";
    QTest::newRow("infinity") << "inf" << "";
    QTest::newRow("negative infinity") << "-inf" << "";
    QTest::newRow("not a number") << "nan" << "";
    QTest::newRow("400 nines") << QString(400, QLatin1Char('9')) << "";
    QTest::newRow("minus 400 nines") << "-" + QString(400, QLatin1Char('9')) << "";
    QTest::newRow("far year a date-time still holds") << "2.9e11" << "01.01.290002161 00:00";
    QTest::newRow("far negative year a date-time still holds") << "-2.9e11" << "01.01.-289997839 00:00";
    QTest::newRow("year a date-time cannot hold") << "3e11" << "";
    QTest::newRow("negative year a date-time cannot hold") << "-3e11" << "";
    QTest::newRow("32-bit year a date-time cannot hold") << "2146000000000" << "";
}

void TestStardate::dateFromFormula()
{
    QFETCH(QString, stardate);
    QFETCH(QString, date);

    QCOMPARE(dateFromFormulaStardate(stardate), date);
}

void TestStardate::inputForms_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    const QString date = QLatin1String(dateInputPattern);
    QTest::newRow("date: two-digit fields") << date << "05.12.2013 12:00" << true;
    QTest::newRow("date: one-digit fields") << date << "5.1.2013 9:5" << true;
    QTest::newRow("date: ten-digit year") << date << "1.1.2147483647 0:0" << true;
    QTest::newRow("date: two blanks") << date << "05.12.2013  12:00" << false;
    QTest::newRow("date: leading blank") << date << " 05.12.2013 12:00" << false;
    QTest::newRow("date: no time") << date << "05.12.2013" << false;
    QTest::newRow("date: seconds") << date << "05.12.2013 12:00:00" << false;
    QTest::newRow("date: three-digit day") << date << "005.12.2013 12:00" << false;
    QTest::newRow("date: dashes") << date << "05-12-2013 12:00" << false;
    QTest::newRow("date: dot in the time") << date << "05.12.2013 12.00" << false;
    QTest::newRow("date: negative year") << date << "05.12.-2013 12:00" << false;

    const QString own = QLatin1String(ownStardateInputPattern);
    QTest::newRow("own: six digits before the comma") << own << "201312,0512" << true;
    QTest::newRow("own: three digits before the comma") << own << "112,0100" << true;
    QTest::newRow("own: many digits before the comma") << own << "1234512,3123" << true;
    QTest::newRow("own: three digits after the comma") << own << "201312,512" << false;
    QTest::newRow("own: five digits after the comma") << own << "201312,05123" << false;
    QTest::newRow("own: two commas") << own << "2013,12,0512" << false;
    QTest::newRow("own: two digits before the comma") << own << "12,0512" << false;
    QTest::newRow("own: dot instead of comma") << own << "201312.0512" << false;
    QTest::newRow("own: minus sign") << own << "-201312,0512" << false;
    QTest::newRow("own: trailing blank") << own << "201312,0512 " << false;

    const QString formula = QLatin1String(formulaStardateInputPattern);
    QTest::newRow("formula: negative with a comma") << formula << "-147073,234375" << true;
    QTest::newRow("formula: whole number") << formula << "2500" << true;
    QTest::newRow("formula: trailing comma") << formula << "2500," << true;
    QTest::newRow("formula: dot") << formula << "2500.5" << false;
    QTest::newRow("formula: leading comma") << formula << ",5" << false;
    QTest::newRow("formula: plus sign") << formula << "+2500" << false;
}

void TestStardate::inputForms()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    QCOMPARE(QRegExp(pattern).exactMatch(text), accepted);
}

void TestStardate::ownRoundTrip_data()
{
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<int>("lastYear");

    // The local zone is worked out differently before, within and after the 32-bit system clock.
    QTest::newRow("years 1000 to 1969") << 1000 << 1969;
    QTest::newRow("years 1970 to 2037") << 1970 << 2037;
    QTest::newRow("years 2038 to 9999") << 2038 << 9999;
}

void TestStardate::ownRoundTrip()
{
    QFETCH(int, firstYear);
    QFETCH(int, lastYear);

    // 317 hours is 13 days and 5 hours: the samples walk through every hour of the day.
    const int stepHours = 317;
    int sample = 0;
    for (QDateTime hour(QDate(firstYear, 1, 1), QTime(0, 0), Qt::UTC); hour.date().year() <= lastYear;
         hour = hour.addSecs(qint64(stepHours) * 3600), ++sample) {
        const QDate date = hour.date();
        const QTime time(hour.time().hour(), sample * 7 % 60);
        if (!QDateTime(date, time).isValid())
            continue; // skipped by a daylight-saving change, so it has no stardate to come back from

        const QString stardate = ownStardateText(localDateTime(date, time));
        const QString expected = QString::asprintf("%02d.%02d.%04d %02d:00", date.day(), date.month(),
                                                   date.year(), time.hour());
        const QString found = dateFromOwnStardate(stardate);
        QVERIFY2(found == expected, qPrintable(stardate + " comes back as " + found + ", not " + expected));
    }
}

void TestStardate::formulaRoundTrip_data()
{
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<int>("lastYear");
    QTest::addColumn<int>("stepMinutes");
    QTest::addColumn<int>("maxDrift");

    // Single precision keeps a stardate within half its spacing: 1/512 below 2^16 (1.03 minutes),
    // 1/128 below 2^18 (4.11 minutes), 1/4 below 2^23 (131.5 minutes). Cutting the minutes on the
    // way back loses up to one more.
    QTest::newRow("years 2100 to 2220, stardates below 2^16") << 2100 << 2220 << 997 << 2;
    QTest::newRow("years 1900 to 2160, stardates below 2^18") << 1900 << 2160 << 2003 << 5;
    QTest::newRow("years 1000 to 9999, stardates below 2^23") << 1000 << 9999 << 30011 << 132;
}

void TestStardate::formulaRoundTrip()
{
    QFETCH(int, firstYear);
    QFETCH(int, lastYear);
    QFETCH(int, stepMinutes);
    QFETCH(int, maxDrift);

    for (QDateTime moment(QDate(firstYear, 1, 1), QTime(0, 0), Qt::UTC); moment.date().year() <= lastYear;
         moment = moment.addSecs(qint64(stepMinutes) * 60)) {
        const QDate date = moment.date();
        const QTime time = moment.time();
        const int minuteOfDay = time.hour() * 60 + time.minute();

        // From 06:00 on, a leap year's last day lies past the next whole mean year and comes back
        // as 1 January, six hours earlier in the day: eighteen hours later.
        int shift = 0;
        if (date.dayOfYear() == 366) {
            if (qAbs(minuteOfDay - 6 * 60) <= maxDrift)
                continue;
            if (minuteOfDay > 6 * 60)
                shift = 18 * 60;
        }

        const QString stardate = formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute());
        const QString found = dateFromFormulaStardate(stardate);
        const QString message = dateText(moment) + " is " + stardate + " and comes back as " + found;
        if (found.isEmpty()) {
            // A day fraction that rounds to a whole day, day 366 of a common year, or a time that
            // the local zone skips.
            const bool nearMidnight = qMin(minuteOfDay, 24 * 60 - minuteOfDay) <= maxDrift;
            QVERIFY2(nearMidnight || nearSkippedTime(moment, maxDrift), qPrintable(message));
            continue;
        }

        const QDateTime wallClock = QDateTime::fromString(found, QLatin1String(dateTextPattern));
        const QDateTime back(wallClock.date(), wallClock.time(), Qt::UTC);
        const qint64 drift = moment.secsTo(back) / 60 - shift;
        QVERIFY2(qAbs(drift) <= maxDrift, qPrintable(message));
    }
}

QTEST_APPLESS_MAIN(TestStardate)
#include "tst_stardate.moc"
