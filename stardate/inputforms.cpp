#include "stardate.h"
#include "patterns.h"

#include <QRegExp>

// Each input form is compiled once; a batch on the command line tests one text per line.

bool isDateInput(const QString &text)
{
    static const QRegExp inputForm{QLatin1String(dateInputPattern)};
    return inputForm.exactMatch(text);
}

bool isOwnStardateInput(const QString &text)
{
    static const QRegExp inputForm{QLatin1String(ownStardateInputPattern)};
    return inputForm.exactMatch(text);
}
