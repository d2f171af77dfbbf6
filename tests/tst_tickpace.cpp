#include "tickpace.h"

#include <QtTest>

namespace {

// A wall clock and the main window's precise timer, both under the test's control. The timer
// fires when due on the steady clock, a few milliseconds late on a busy machine; the wall clock
// runs with it unless it is set or the machine sleeps. Each tick reads the wall clock and sets
// the next interval as the window does: a changed interval restarts the timer from this tick,
// an unchanged one keeps its pace.
struct SimulatedClock
{
    qint64 steadyMs = 0;
    qint64 wallOffsetMs;
    qint64 dueMs = 1000; // the first tick comes one second after the start
    int interval = 1000;

    qint64 wallMs() const { return steadyMs + wallOffsetMs; }

    // Returns the second shown and how many milliseconds past it.
    std::pair<qint64, int> tick(int latencyMs)
    {
        steadyMs = dueMs + latencyMs;
        const int msLate = int(wallMs() % 1000);
        const int next = nextTickInterval(msLate);
        dueMs = next != interval ? steadyMs + next : dueMs + interval;
        interval = next;
        return {wallMs() / 1000, msLate};
    }
};

const qint64 someDayMs = 1796650000000; // a wall-clock moment on a full second

} // namespace

class TestTickPace : public QObject
{
    Q_OBJECT

private slots:
    void nextTickLandsJustAfterTheNextSecond();
    void everySecondShowsOnceAndOnTime_data();
    void everySecondShowsOnceAndOnTime();
};

// From any millisecond of a second, late or set back: into the next second, within 20 ms of its start.
void TestTickPace::nextTickLandsJustAfterTheNextSecond()
{
    for (int msPastSecond = 0; msPastSecond < 1000; ++msPastSecond) {
        const int landsAt = msPastSecond + nextTickInterval(msPastSecond);
        QVERIFY2(landsAt > 1000 && landsAt <= 1020,
                 qPrintable(QStringLiteral("%1 ms past: %2").arg(msPastSecond).arg(landsAt)));
    }
}

void TestTickPace::everySecondShowsOnceAndOnTime_data()
{
    QTest::addColumn<int>("startMsPastSecond");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<qint64>("changeMs"); // the wall clock set between ticks 100 and 101
    QTest::addColumn<qint64>("sleepMs");  // the machine asleep there, the steady clock standing still
    QTest::newRow("started on a full second, idle machine") << 0 << false << qint64(0) << qint64(0);
    QTest::newRow("started 90 ms into a second, idle machine") << 90 << false << qint64(0) << qint64(0);
    QTest::newRow("started 343 ms into a second, busy machine") << 343 << true << qint64(0) << qint64(0);
    QTest::newRow("started just before a full second, busy machine") << 999 << true << qint64(0) << qint64(0);
    QTest::newRow("woken after 3 h 27 min of suspend") << 437 << true << qint64(0) << qint64(12420437);
    QTest::newRow("set forward by 30 ms") << 437 << true << qint64(30) << qint64(0);
    QTest::newRow("set forward by 1 h 0.5 s") << 437 << true << qint64(3600500) << qint64(0);
    QTest::newRow("set back by 10 ms") << 437 << true << qint64(-10) << qint64(0);
    QTest::newRow("set back by 250 ms") << 437 << true << qint64(-250) << qint64(0);
}

// An hour of ticks. After the wall clock is set, the first tick shows what it reads however far
// off the second; from the one after it every second comes once again, at most 20 ms late.
void TestTickPace::everySecondShowsOnceAndOnTime()
{
    QFETCH(int, startMsPastSecond);
    QFETCH(bool, busy);
    QFETCH(qint64, changeMs);
    QFETCH(qint64, sleepMs);
    SimulatedClock clock{0, someDayMs + startMsPastSecond};
    // A busy machine fires the timer 0 to 15 ms late, in a fixed irregular pattern.
    const auto latency = [busy](int n) { return busy ? (n * 7919) % 16 : 0; };
    qint64 previous = clock.tick(latency(1)).first;
    for (int n = 2; n <= 3600; ++n) {
        if (n == 101)
            clock.wallOffsetMs += changeMs + sleepMs;
        const auto [second, msLate] = clock.tick(latency(n));
        if (n != 101 || changeMs + sleepMs == 0) {
            QVERIFY2(second == previous + 1 && msLate <= 20,
                     qPrintable(QStringLiteral("tick %1 shows %2 (%3 ms late) after %4")
                                    .arg(n).arg(second).arg(msLate).arg(previous)));
        }
        previous = second;
    }
}

QTEST_APPLESS_MAIN(TestTickPace)
#include "tst_tickpace.moc"
