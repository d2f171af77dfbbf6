// Any text given as an own-format stardate yields a date text or nothing, never a crash.
#include "stardate.h"

#include <QRegExp>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QString date = dateFromOwnStardate(input);
    // Day, month, a year of four or more digits (with "-" before the common era), hour, minute.
    static const QRegExp dateText{QStringLiteral(R"(\d\d\.\d\d\.-?\d{4,} \d\d:\d\d)")};
    if (!date.isEmpty() && !dateText.exactMatch(date))
        abort();
    return 0;
}
