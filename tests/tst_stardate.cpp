#include "inputform.h"
#include "patterns.h"
#include "stardate.h"
#include "stardatetables.h"

#include <QTimeZone>
#include <QtTest>

#include <climits>

class TestStardate : public QObject
{
    Q_OBJECT

private slots:
    void stardateTexts_data();
    void stardateTexts();
    void formulaStardateOfExtremeIntegers();
    void datesOfStardates_data();
    void datesOfStardates();
    void inputForms_data();
    void inputForms();
    void roundTrips_data();
    void roundTrips();
    void localTimesAreThoseOfTheSystemZone_data();
    void localTimesAreThoseOfTheSystemZone();
};

void TestStardate::stardateTexts_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("own");
    QTest::addColumn<QString>("formula");

    for (const StardatesOfMoment &row : stardatesOfMoments())
        QTest::newRow(row.probe) << row.date << row.time << row.own << row.formula;
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

// Any four integers give a number text, without overflow on the way.
void TestStardate::formulaStardateOfExtremeIntegers()
{
    QCOMPARE(formulaStardateText(INT_MAX, INT_MAX, INT_MAX, INT_MAX), QStringLiteral("2153610084352.000000"));
    QCOMPARE(formulaStardateText(INT_MIN, INT_MIN, INT_MIN, INT_MIN), QStringLiteral("-2153614409728.000000"));
}

void TestStardate::datesOfStardates_data()
{
    QTest::addColumn<bool>("formula");
    QTest::addColumn<QString>("stardate");
    QTest::addColumn<QString>("date");

    for (const DateOfStardate &row : datesOfOwnStardates())
        QTest::addRow("own: %s", row.probe) << false << row.stardate << row.date;
    for (const DateOfStardate &row : datesOfFormulaStardates())
        QTest::addRow("formula: %s", row.probe) << true << row.stardate << row.date;
}

void TestStardate::datesOfStardates()
{
    QFETCH(bool, formula);
    QFETCH(QString, stardate);
    QFETCH(QString, date);

    QCOMPARE(formula ? dateFromFormulaStardate(stardate) : dateFromOwnStardate(stardate), date);
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

void TestStardate::localTimesAreThoseOfTheSystemZone_data()
{
    QTest::addColumn<QDateTime>("moment");
    // Central Europe changed at 01:00 UTC on 31 March and 27 October 2013; each wall time here
    // occurs once in either zone of the tests.
    QTest::newRow("winter noon") << QDateTime(QDate(2013, 12, 5), QTime(11, 0), Qt::UTC);
    QTest::newRow("summer noon") << QDateTime(QDate(2013, 7, 1), QTime(10, 0), Qt::UTC);
    QTest::newRow("a minute before summer time") << QDateTime(QDate(2013, 3, 31), QTime(0, 59), Qt::UTC);
    QTest::newRow("a minute into summer time") << QDateTime(QDate(2013, 3, 31), QTime(1, 1), Qt::UTC);
    QTest::newRow("an hour before winter time") << QDateTime(QDate(2013, 10, 26), QTime(23, 59), Qt::UTC);
    QTest::newRow("an hour into winter time") << QDateTime(QDate(2013, 10, 27), QTime(2, 1), Qt::UTC);
}

// A local date and time, from which the stardates are made and which the conversions give, is the
// wall time of the system's time zone, on either side of its daylight-saving changes too.
void TestStardate::localTimesAreThoseOfTheSystemZone()
{
    QFETCH(QDateTime, moment);
    const QDateTime wallTime = moment.toTimeZone(QTimeZone::systemTimeZone());
    QCOMPARE(localDateTime(wallTime.date(), wallTime.time()).toUTC(), moment);
}

QTEST_APPLESS_MAIN(TestStardate)
#include "tst_stardate.moc"
