#include "stardate.h"

#include <benchmark/benchmark.h>

#include <array>

// Inputs of the kind the main window's clock and the conversion dialog hand over; each benchmark
// cycles through its set so that no single value is measured alone.

static void benchOwnStardateText(benchmark::State &state)
{
    const std::array<QDateTime, 4> dateTimes = {
        calendarDateTime(QDate(2013, 12, 5), QTime(12, 45)),
        calendarDateTime(QDate(2026, 3, 29), QTime(3, 7)),
        calendarDateTime(QDate(1900, 1, 1), QTime(16, 30)),
        calendarDateTime(QDate(2161, 12, 31), QTime(23, 59)),
    };
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ownStardateText(dateTimes[i++ % dateTimes.size()]));
}
BENCHMARK(benchOwnStardateText);

static void benchFormulaStardateText(benchmark::State &state)
{
    struct Moment { int year, dayOfYear, hour, minute; };
    const std::array<Moment, 4> moments = { {
        { 2013, 339, 12, 45 },
        { 2026, 88, 3, 7 },
        { 1900, 1, 16, 30 },
        { 2161, 365, 23, 59 },
    } };
    std::size_t i = 0;
    for (auto _ : state) {
        const Moment &m = moments[i++ % moments.size()];
        benchmark::DoNotOptimize(formulaStardateText(m.year, m.dayOfYear, m.hour, m.minute));
    }
}
BENCHMARK(benchFormulaStardateText);

static void benchDateFromOwnStardate(benchmark::State &state)
{
    const std::array<QString, 4> stardates = {
        QStringLiteral("201312,0512"),
        QStringLiteral("202603,2903"),
        QStringLiteral("190001,0116"),
        QStringLiteral("216112,3123"),
    };
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(dateFromOwnStardate(stardates[i++ % stardates.size()]));
}
BENCHMARK(benchDateFromOwnStardate);

static void benchDateFromFormulaStardate(benchmark::State &state)
{
    const std::array<QString, 4> stardates = {
        QStringLiteral("-147073.234375"),
        QStringLiteral("-134761.453125"),
        QStringLiteral("2500,5"),
        QStringLiteral("999.3"),
    };
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(dateFromFormulaStardate(stardates[i++ % stardates.size()]));
}
BENCHMARK(benchDateFromFormulaStardate);

BENCHMARK_MAIN();
