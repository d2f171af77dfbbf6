// Any text given as an own-format stardate yields a date text or nothing, never a crash.
#include "datetextcheck.h"
#include "stardate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkDateText(dateFromOwnStardate(typedText(data, size)));
    return 0;
}
