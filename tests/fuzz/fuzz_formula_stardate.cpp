// Any text given as a formula stardate yields a date text or nothing, never a crash.
#include "datetextcheck.h"
#include "stardate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    checkDateText(dateFromFormulaStardate(typedText(data, size)));
    return 0;
}
