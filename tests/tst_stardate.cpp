#include "patterns.h"
#include "stardate.h"
#include "stardatetables.h"

#include <QtTest>

class TestStardate : public QObject
{
    Q_OBJECT

private slots:
    void stardateTexts_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QString>("own");
        QTest::addColumn<QString>("formula");
        for (const StardatesOfMoment &row : stardatesOfMoments())
            QTest::newRow(row.probe) << row.date << row.time << row.own << row.formula;
    }

    void stardateTexts()
    {
        QFETCH(QDate, date);
        QFETCH(QTime, time);
        QFETCH(QString, own);
        QFETCH(QString, formula);
        QCOMPARE(ownStardateText(calendarDateTime(date, time)), own);
        if (time.isValid())
            QCOMPARE(formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute()), formula);
    }

    void datesOfStardates_data()
    {
        QTest::addColumn<bool>("formula");
        QTest::addColumn<QString>("stardate");
        QTest::addColumn<QString>("date");
        for (const DateOfStardate &row : datesOfOwnStardates())
            QTest::addRow("own: %s", row.probe) << false << row.stardate << row.date;
        for (const DateOfStardate &row : datesOfFormulaStardates())
            QTest::addRow("formula: %s", row.probe) << true << row.stardate << row.date;
    }

    void datesOfStardates()
    {
        QFETCH(bool, formula);
        QFETCH(QString, stardate);
        QFETCH(QString, date);
        QCOMPARE(formula ? dateFromFormulaStardate(stardate) : dateFromOwnStardate(stardate), date);
    }

    void roundTrips_data()
    {
        QTest::addColumn<int>("firstYear");
        QTest::addColumn<int>("lastYear");
        QTest::addColumn<int>("stepMinutes");
        QTest::addColumn<int>("maxDrift");
        // Single precision keeps a formula stardate within half its spacing (1/512, 1/128, 1/4 here:
        // 1.03, 4.11, 131.5 minutes); cutting the minutes on the way back loses up to one more.
        QTest::newRow("years 2100 to 2220, stardates below 2^16") << 2100 << 2220 << 997 << 2;
        QTest::newRow("years 1900 to 2160, stardates below 2^18") << 1900 << 2160 << 2003 << 5;
        QTest::newRow("years 1000 to 9999, stardates below 2^23") << 1000 << 9999 << 30011 << 132;
    }

    void roundTrips()
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
            QCOMPARE(dateFromOwnStardate(ownStardateText(calendarDateTime(date, time))),
                     QString::asprintf("%02d.%02d.%04d %02d:00", date.day(), date.month(), date.year(), time.hour()));

            // From 06:00 on, a leap year's last day lies past the next whole mean year and comes
            // back as 1 January.
            const int minuteOfDay = time.hour() * 60 + time.minute();
            if (date.dayOfYear() == 366 && minuteOfDay >= 6 * 60 - maxDrift)
                continue;
            const QString formula = formulaStardateText(date.year(), date.dayOfYear(), time.hour(), time.minute());
            // Read back as the day and time of day it names, as the moment does in UTC.
            const QDateTime back = QDateTime::fromString(dateFromFormulaStardate(formula) + " UTC",
                                                         QLatin1String(dateTextPattern) + " t");
            // Near midnight the day fraction can round to a whole day, which is no time.
            const bool nearMidnight = qMin(minuteOfDay, 24 * 60 - minuteOfDay) <= maxDrift;
            QVERIFY2(back.isValid() ? qAbs(moment.secsTo(back)) <= maxDriftSecs : nearMidnight,
                     qPrintable(moment.toString(Qt::ISODate) + " is " + formula + ", back " + back.toString()));
        }
    }
};

QTEST_APPLESS_MAIN(TestStardate)
#include "tst_stardate.moc"
