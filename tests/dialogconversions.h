#ifndef DIALOGCONVERSIONS_H
#define DIALOGCONVERSIONS_H

#include <QString>
#include <QStringList>
#include <QVector>

// The four options, by the captions a user reads.
const QString toStardate = QStringLiteral("Datum->Sternzeit");
const QString toDate = QStringLiteral("Sternzeit->Datum");
const QString own = QStringLiteral("Mein Format");
const QString formula = QStringLiteral("Nach der Formel");

// What the conversion dialog shows after a text is typed, the boxes are clicked in the order
// given and "Berechnen" is pressed; an empty label shows nothing at all. The command line
// answers the same texts.
struct DialogConversion
{
    const char *probe;
    QString input;
    QStringList boxes;
    QString heading;
    QString own;
    QString formula;
};

inline const QVector<DialogConversion> &dialogConversions()
{
    const QStringList dateBoth = {toStardate, own, formula};
    const QStringList dateOwn = {toStardate, own};
    const QStringList dateFormula = {toStardate, formula};
    const QStringList stardateOwn = {toDate, own};
    const QStringList stardateFormula = {toDate, formula};
    // Both kinds only come together when ticked before the direction.
    const QStringList stardateBoth = {own, formula, toDate};
    static const QVector<DialogConversion> rows = {
        {"date, both kinds", "05.12.2013 12:00", dateBoth,
         "Ausgabe von 05.12.2013 12:00 ist:", "Mein Format: 201312,0512", "Anderes Format: -147073.234375"},
        {"date without leading zeros, stardate zero", "1.1.2161 0:0", dateBoth,
         "Ausgabe von 1.1.2161 0:0 ist:", "Mein Format: 216101,0100", "Anderes Format: 0.000000"},
        {"date from the help text", "01.01.1900 16:30", dateBoth,
         "Ausgabe von 01.01.1900 16:30 ist:", "Mein Format: 190001,0116", "Anderes Format: -260998.125000"},
        {"date, own format only", "05.12.2013 12:00", dateOwn,
         "Ausgabe von 05.12.2013 12:00 ist:", "Mein Format: 201312,0512", {}},
        {"date, formula only", "05.12.2013 12:00", dateFormula,
         "Ausgabe von 05.12.2013 12:00 ist:", {}, "Anderes Format: -147073.234375"},
        {"date, no kind", "05.12.2013 12:00", QStringList{toStardate},
         "Ausgabe von 05.12.2013 12:00 ist:", {}, {}},
        {"date past what a date-time holds", "1.1.2147483647 0:0", dateBoth,
         "Ausgabe von 1.1.2147483647 0:0 ist:", "Mein Format: ", "Anderes Format: 2147481550848.000000"},
        {"31 February", "31.02.2013 12:00", dateBoth, "Ausgabe:", {}, {}},
        {"month 13", "05.13.2013 12:00", dateBoth, "Ausgabe:", {}, {}},
        {"hour 24", "05.12.2013 24:00", dateBoth, "Ausgabe:", {}, {}},
        {"minute 60", "05.12.2013 12:60", dateBoth, "Ausgabe:", {}, {}},
        {"year 0", "01.01.0 12:00", dateBoth, "Ausgabe:", {}, {}},
        {"year beyond an int", "1.1.2147483648 0:0", dateBoth, "Ausgabe:", {}, {}},
        {"date without time", "05.12.2013", dateBoth, "Ausgabe:", {}, {}},
        {"two blanks before the time", "05.12.2013  12:00", dateBoth, "Ausgabe:", {}, {}},
        {"stardate typed as a date", "201312,0512", dateBoth, "Ausgabe:", {}, {}},

        {"own stardate", "201312,0512", stardateOwn,
         "Ausgabe von 201312,0512 ist:", "Mein Format: 05.12.2013 12:00", {}},
        {"own stardate of month 13", "201313,0512", stardateOwn,
         "Ausgabe von 201313,0512 ist:", "Mein Format: ", {}},
        {"own stardate without comma", "2013", stardateOwn, "Ausgabe von 2013 ist:", {}, {}},
        {"formula stardate", "2500", stardateFormula,
         "Ausgabe von 2500 ist:", {}, "Anderes Format: 02.07.2163 15:00"},
        {"formula stardate, both kinds", "2500", stardateBoth,
         "Ausgabe von 2500 ist:", {}, "Anderes Format: 02.07.2163 15:00"},
        {"stardate, no kind", "2500", QStringList{toDate},
         "Ausgabe von 2500 ist:", {}, {}},
        {"formula stardate with decimal comma", "2500,5", stardateFormula,
         "Ausgabe von 2500,5 ist:", {}, "Anderes Format: 02.07.2163 19:22"},
        {"formula stardate that is no number", "abc", stardateFormula,
         "Ausgabe von abc ist:", {}, "Anderes Format: "},

        {"empty input, date", "", dateBoth, "Ausgabe:", {}, {}},
        {"empty input, stardate", "", stardateFormula, "Ausgabe:", {}, {}},
        {"no direction", "05.12.2013 12:00", QStringList{own, formula},
         "Ausgabe:", {}, {}},
    };
    return rows;
}

#endif // DIALOGCONVERSIONS_H
