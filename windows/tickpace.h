#ifndef TICKPACE_H
#define TICKPACE_H

// The clock's one timer ticks just after each full second of the wall clock, so that the second
// shown changes with the wall clock's. A precise timer keeps its pace, but the wall clock does
// not keep to the timer: the program starts at any moment of a second, the clock may be set, the
// timer stands still while the machine sleeps, and a busy machine lets a tick come late.

// How long the timer waits for its next tick, given how many milliseconds past its full second
// the wall clock read at this tick (0 to 999): to just after the next full second. A tick that
// came late is followed by one shorter step, never one past the next second and never one to
// before it, so no second is left out or shown twice.
int nextTickInterval(int msPastSecond);

#endif // TICKPACE_H
