#ifndef PATTERNS_H
#define PATTERNS_H

// What the conversion dialog accepts as typed input, in QRegExp syntax (see inputform.h); the
// whole text has to match.
constexpr char dateInputPattern[] = R"(\d{1,2}\.\d{1,2}\.\d+ \d{1,2}\:\d{1,2})";
constexpr char ownStardateInputPattern[] = R"(\d{3,}\,\d{4})";
constexpr char formulaStardateInputPattern[] = R"(\-?\d{1,}\,?\d*)";

// How both reverse conversions write the date and time they found.
constexpr char dateTextPattern[] = "dd.MM.yyyy hh:mm";

// How the clock shows the current moment, seconds included.
constexpr char clockPattern[] = "dd.MM.yyyy - hh:mm:ss";

#endif // PATTERNS_H
