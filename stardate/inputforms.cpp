#include "stardate.h"
#include "inputform.h"
#include "patterns.h"

// Each input form is compiled once; a batch on the command line tests one text per line.

bool isDateInput(const QString &text)
{
    static const InputForm form = inputForm(QLatin1String(dateInputPattern));
    return matchesWhole(form, text);
}

bool isOwnStardateInput(const QString &text)
{
    static const InputForm form = inputForm(QLatin1String(ownStardateInputPattern));
    return matchesWhole(form, text);
}
