#include "inputform.h"
#include "patterns.h"
#include "stardate.h"

#include <QtTest>

#include <climits>

class TestStardate : public QObject
{
    Q_OBJECT

private slots:
    void stardateTexts_data();
    void stardateTexts();
    void formulaStardateOfExtremeIntegers();
    void dateFromOwn_data();
    void dateFromOwn();
    void dateFromFormula_data();
    void dateFromFormula();
    void inputForms_data();
    void inputForms();
    void roundTrips_data();
    void roundTrips();
};

void TestStardate::stardateTexts_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("formula");

    QTest::newRow("stardate zero") << QDate(2161, 1, 1) << QTime(0, 0) << "216101,0100" << "0.000000";
    QTest::newRow("one minute") << QDate(2161, 1, 1) << QTime(0, 1) << "216101,0100" << "0.001901";
    QTest::newRow("half a day") << QDate(2161, 1, 1) << QTime(12, 0) << "216101,0112" << "1.368925";
    QTest::newRow("2161 ends below 1000") << QDate(2161, 12, 31) << QTime(23, 59) << "216112,3123" << "999.313660";
    QTest::newRow("a year later") << QDate(2162, 1, 1) << QTime(0, 0) << "216201,0100" << "1000.000000";
    QTest::newRow("a year earlier") << QDate(2160, 1, 1) << QTime(0, 0) << "216001,0100" << "-1000.000000";
    QTest::newRow("leap 2160 ends above 0") << QDate(2160, 12, 31) << QTime(23, 59) << "216012,3123" << "2.051487";
    QTest::newRow("present day, 1/64 steps") << QDate(2013, 12, 5) << QTime(12, 0) << "201312,0512" << "-147073.234375";
    QTest::newRow("minutes dropped") << QDate(2013, 12, 5) << QTime(12, 45) << "201312,0512" << "-147073.156250";
    QTest::newRow("leap day") << QDate(2000, 2, 29) << QTime(12, 30) << "200002,2912" << "-160837.046875";
    QTest::newRow("afternoon before 1970") << QDate(1900, 1, 1) << QTime(16, 30) << "190001,0116" << "-260998.125000";
    QTest::newRow("one float for 23:08") << QDate(2026, 12, 5) << QTime(23, 8) << "202612,0523" << "-134071.968750";
    QTest::newRow("one float for 23:09") << QDate(2026, 12, 5) << QTime(23, 9) << "202612,0523" << "-134071.968750";

    // A valid date with an invalid time must not pass for midnight of that date.
    QTest::newRow("hour 24 is no midnight") << QDate(2013, 12, 5) << QTime(24, 0) << "" << "";
    QTest::newRow("minute 60 is no time") << QDate(2013, 12, 5) << QTime(12, 60) << "" << "";
}

void TestStardate::stardateTexts()
{
    QFETCH(QDate, date);
    QFETCH(QTime, time);
    QFETCH(QString, own);
    QFETCH(QString, formula);

    QCOMPARE(ownStardateText(localDateTime(date, time)), own);
    if (time.isValid())
        QCOMPARE(formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute()), formula);
}

void TestStardate::formulaStardateOfExtremeIntegers()
{
    // Any four integers give a number text, without overflow on the way.
    QCOMPARE(formulaStardateText(INT_MAX, INT_MAX, INT_MAX, INT_MAX), QStringLiteral("2153610084352.000000"));
    QCOMPARE(formulaStardateText(INT_MIN, INT_MIN, INT_MIN, INT_MIN), QStringLiteral("-2153614409728.000000"));
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

    QTest::newRow("year 0") << "000012,0100" << "";
    QTest::newRow("month 13") << "201313,0512" << "";
    QTest::newRow("month 0") << "201300,0512" << "";
    QTest::newRow("leap day of a common year") << "201302,2912" << "";
    QTest::newRow("hour 24 is no midnight") << "201312,0524" << "";

    // Far from 1970 the milliseconds of a date-time wrap around: right or empty, never wrapped.
    QTest::newRow("last year a date-time holds") << "29227899312,3123" << "31.12.292278993 23:00";
    QTest::newRow("first year a date-time cannot hold") << "29227899412,3123" << "";
    QTest::newRow("largest 32-bit year") << "214748364712,3123" << "";
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
    QTest::newRow("day fraction rounds to a whole day") << "824.09305" << "";
    QTest::newRow("day 366 of a common year") << "999.5" << "";
    QTest::newRow("rounding carries into the year") << "-0.00000001" << "";
    QTest::newRow("year 0") << "-2160500" << "";
    QTest::newRow("year cut toward zero, not down") << "-2162500" << "";

    QTest::newRow("comma as decimal point") << "2500,5" << "02.07.2163 19:22";
    QTest::newRow("letters") << "abc" << "";
    QTest::newRow("digits then a letter") << "12a" << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("minus sign alone") << "-" << "";

    QTest::newRow("largest double") << "1e308" << "";
    QTest::newRow("most negative double") << "-1e308" << "";
    QTest::newRow("infinity") << "inf" << "";
    QTest::newRow("not a number") << "nan" << "";
    QTest::newRow("400 nines") << QString(400, QLatin1Char('9')) << "";
    QTest::newRow("far year a date-time still holds") << "2.9e11" << "01.01.290002161 00:00";
    QTest::newRow("year a date-time cannot hold") << "3e11" << "";
    QTest::newRow("negative year a date-time cannot hold") << "-3e11" << "";
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
    QTest::newRow("date: one-digit fields") << date << "5.1.2013 9:5" << true;
    QTest::newRow("date: no time") << date << "05.12.2013" << false;
    QTest::newRow("date: three-digit day") << date << "005.12.2013 12:00" << false;
    QTest::newRow("date: line break after the time") << date << "5.1.2013 9:5\n" << false;
    QTest::newRow("date: Arabic-Indic digits") << date << "٥.١.٢٠١٣ ٩:٥" << true;

    const QString own = QLatin1String(ownStardateInputPattern);
    QTest::newRow("own: one-digit year") << own << "112,0100" << true;
    QTest::newRow("own: three digits after the comma") << own << "201312,512" << false;
    QTest::newRow("own: two digits before the comma") << own << "12,0512" << false;
    QTest::newRow("own: full-width digits") << own << "２０１３１２,０５１２" << true;

    const QString formula = QLatin1String(formulaStardateInputPattern);
    QTest::newRow("formula: negative with a comma") << formula << "-147073,234375" << true;
    QTest::newRow("formula: leading comma") << formula << ",5" << false;
    QTest::newRow("formula: plus sign") << formula << "+2500" << false;
}

void TestStardate::inputForms()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    QCOMPARE(matchesWhole(inputForm(pattern), text), accepted);
}

void TestStardate::roundTrips_data()
{
    QTest::addColumn<int>("firstYear");
    QTest::addColumn<int>("lastYear");
    QTest::addColumn<int>("stepMinutes");
    QTest::addColumn<int>("maxDrift");

    // Single precision keeps a formula stardate within half its spacing (1/512, 1/128 and 1/4 in these
    // ranges: 1.03, 4.11 and 131.5 minutes); cutting the minutes on the way back loses up to one more.
    QTest::newRow("years 2100 to 2220, stardates below 2^16") << 2100 << 2220 << 997 << 2;
    QTest::newRow("years 1900 to 2160, stardates below 2^18") << 1900 << 2160 << 2003 << 5;
    QTest::newRow("years 1000 to 9999, stardates below 2^23") << 1000 << 9999 << 30011 << 132;
}

void TestStardate::roundTrips()
{
    QFETCH(int, firstYear);
    QFETCH(int, lastYear);
    QFETCH(int, stepMinutes);
    QFETCH(int, maxDrift);
    const qint64 maxDriftSecs = qint64(maxDrift) * 60;

    for (QDateTime moment(QDate(firstYear, 1, 1), QTime(0, 0), Qt::UTC); moment.date().year() <= lastYear;
         moment = moment.addSecs(qint64(stepMinutes) * 60)) {
        const QDate date = moment.date();
        const QTime time = moment.time();
        const QDateTime local(date, time);
        if (!local.isValid())
            continue; // skipped by a daylight-saving change, so it has no stardate to come back from

        const QString own = ownStardateText(localDateTime(date, time));
        QCOMPARE(dateFromOwnStardate(own), QString::asprintf("%02d.%02d.%04d %02d:00", date.day(), date.month(),
                                                             date.year(), time.hour()));

        // From 06:00 on, a leap year's last day lies past the next whole mean year and comes back as
        // 1 January; near a daylight-saving change the time found may not exist.
        const int minuteOfDay = time.hour() * 60 + time.minute();
        if ((date.dayOfYear() == 366 && minuteOfDay >= 6 * 60 - maxDrift)
            || local.addSecs(-maxDriftSecs).offsetFromUtc() != local.addSecs(maxDriftSecs).offsetFromUtc())
            continue;

        const QString formula = formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute());
        QDateTime back = QDateTime::fromString(dateFromFormulaStardate(formula), QLatin1String(dateTextPattern));
        back.setTimeSpec(Qt::UTC);
        // Near midnight the day fraction can round to a whole day, which is no time.
        const bool nearMidnight = qMin(minuteOfDay, 24 * 60 - minuteOfDay) <= maxDrift;
        QVERIFY2(back.isValid() ? qAbs(moment.secsTo(back)) <= maxDriftSecs : nearMidnight,
                 qPrintable(moment.toString(Qt::ISODate) + " is " + formula + ", back " + back.toString()));
    }
}

QTEST_APPLESS_MAIN(TestStardate)
#include "tst_stardate.moc"
