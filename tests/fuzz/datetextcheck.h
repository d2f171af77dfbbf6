#ifndef DATETEXTCHECK_H
#define DATETEXTCHECK_H

#include "inputform.h"

#include <QString>

#include <cstdlib>

// A reverse conversion yields a date text or nothing: day, month, a year of four or more digits
// (with "-" before the common era), hour and minute. Anything else is a finding.
inline void checkDateText(const QString &date)
{
    static const InputForm dateText = inputForm(QStringLiteral(R"(\d\d\.\d\d\.-?\d{4,} \d\d:\d\d)"));
    if (!date.isEmpty() && !matchesWhole(dateText, date))
        abort();
}

inline QString typedText(const uint8_t *data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
}

#endif // DATETEXTCHECK_H
