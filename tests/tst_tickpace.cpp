#include "tickpace.h"

#include <QtTest>

namespace {

// A wall clock and the main window's precise timer, both under the test's control. The timer
// fires when its time has come on the machine's steady clock, up to a few milliseconds late when
// the machine is busy; the wall clock runs with the steady clock unless it is set or the machine
// sleeps. Each tick shows the second the wall clock reads and sets the next interval as the
// window does: a changed interval restarts the timer from this tick, an unchanged one keeps its
// pace.
struct SimulatedClock
{
    qint64 steadyMs = 0;
    qint64 wallOffsetMs;
    qint64 dueMs = 1000; // the first tick comes one second after the start
    int interval = 1000;

    explicit SimulatedClock(qint64 wallAtStartMs)
        : wallOffsetMs(wallAtStartMs)
    {
    }

    qint64 wallMs() const { return steadyMs + wallOffsetMs; }

    struct Tick
    {
        qint64 second;
        int msLate;
    };

    Tick tick(int latencyMs)
    {
        steadyMs = dueMs + latencyMs;
        const Tick shown = { wallMs() / 1000, int(wallMs() % 1000) };
        const int next = nextTickInterval(shown.msLate);
        if (next != interval) {
            interval = next;
            dueMs = steadyMs + next;
        } else {
            dueMs += interval;
        }
        return shown;
    }
};

// A busy machine: the timer fires 0 to 15 ms late, in a fixed irregular pattern.
int latency(int tick)
{
    return (tick * 7919) % 16;
}

const qint64 someDayMs = 1796650000000; // a wall-clock moment on a full second

} // namespace

class TestTickPace : public QObject
{
    Q_OBJECT

private slots:
    void nextTickLandsJustAfterTheNextSecond_data();
    void nextTickLandsJustAfterTheNextSecond();
    void anHourShowsEverySecondOnceAndOnTime_data();
    void anHourShowsEverySecondOnceAndOnTime();
    void realignsOnceTheWallClockIsSet_data();
    void realignsOnceTheWallClockIsSet();
};

void TestTickPace::nextTickLandsJustAfterTheNextSecond_data()
{
    QTest::addColumn<int>("msPastSecond");
    QTest::newRow("on the second") << 0;
    QTest::newRow("19 ms late") << 19;
    QTest::newRow("21 ms late") << 21;
    QTest::newRow("started 343 ms into a second") << 343;
    QTest::newRow("600 ms late") << 600;
    QTest::newRow("just before the second, the clock set back") << 998;
    QTest::newRow("the last millisecond of a second") << 999;
}

void TestTickPace::nextTickLandsJustAfterTheNextSecond()
{
    QFETCH(int, msPastSecond);
    // Into the next second, not beyond it, within 20 ms of its start.
    const int landsAt = msPastSecond + nextTickInterval(msPastSecond);
    QVERIFY2(landsAt > 1000 && landsAt <= 1020, qPrintable(QString::number(landsAt)));
}

void TestTickPace::anHourShowsEverySecondOnceAndOnTime_data()
{
    QTest::addColumn<int>("startMsPastSecond");
    QTest::addColumn<bool>("busy");
    QTest::newRow("started on a full second, idle machine") << 0 << false;
    QTest::newRow("started 90 ms into a second, idle machine") << 90 << false;
    QTest::newRow("started 343 ms into a second, busy machine") << 343 << true;
    QTest::newRow("started just before a full second, busy machine") << 999 << true;
}

void TestTickPace::anHourShowsEverySecondOnceAndOnTime()
{
    QFETCH(int, startMsPastSecond);
    QFETCH(bool, busy);
    SimulatedClock clock(someDayMs + startMsPastSecond);
    qint64 previous = clock.tick(0).second;
    for (int n = 2; n <= 3600; ++n) {
        const SimulatedClock::Tick shown = clock.tick(busy ? latency(n) : 0);
        QVERIFY2(shown.second == previous + 1,
                 qPrintable(QStringLiteral("tick %1 shows %2 after %3").arg(n).arg(shown.second).arg(previous)));
        QVERIFY2(shown.msLate <= 20, qPrintable(QStringLiteral("tick %1 is %2 ms late").arg(n).arg(shown.msLate)));
        previous = shown.second;
    }
}

void TestTickPace::realignsOnceTheWallClockIsSet_data()
{
    QTest::addColumn<qint64>("changeMs");
    QTest::addColumn<qint64>("sleepMs");
    QTest::newRow("woken after 3 h 27 min of suspend") << qint64(0) << qint64(12420437);
    QTest::newRow("set forward by 30 ms") << qint64(30) << qint64(0);
    QTest::newRow("set forward by 1 h 0.5 s") << qint64(3600500) << qint64(0);
    QTest::newRow("set back by 10 ms") << qint64(-10) << qint64(0);
    QTest::newRow("set back by 250 ms") << qint64(-250) << qint64(0);
}

void TestTickPace::realignsOnceTheWallClockIsSet()
{
    QFETCH(qint64, changeMs);
    QFETCH(qint64, sleepMs);
    SimulatedClock clock(someDayMs + 437);
    for (int n = 1; n <= 100; ++n)
        clock.tick(latency(n));
    // Set between two ticks; asleep, the steady clock stands still while the wall clock runs on.
    clock.wallOffsetMs += changeMs + sleepMs;

    // The first tick afterwards shows what the wall clock reads, however far off the second;
    // the one after it is back on time, and from there every second comes once.
    qint64 previous = clock.tick(latency(101)).second;
    for (int n = 102; n <= 400; ++n) {
        const SimulatedClock::Tick shown = clock.tick(latency(n));
        QVERIFY2(shown.second == previous + 1,
                 qPrintable(QStringLiteral("tick %1 shows %2 after %3").arg(n).arg(shown.second).arg(previous)));
        QVERIFY2(shown.msLate <= 20, qPrintable(QStringLiteral("tick %1 is %2 ms late").arg(n).arg(shown.msLate)));
        previous = shown.second;
    }
}

QTEST_APPLESS_MAIN(TestTickPace)
#include "tst_tickpace.moc"
