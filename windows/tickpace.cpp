#include "tickpace.h"

namespace {

const int secondMs = 1000;
// The clock is read in whole milliseconds, so the next tick is aimed a little past the full
// second: one that came a fraction too early would read the old second again.
const int marginMs = 3;

} // namespace

int nextTickInterval(int msPastSecond)
{
    return secondMs - msPastSecond + marginMs;
}
