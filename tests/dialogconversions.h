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

// What the conversion dialog shows after a text is typed, the boxes are clicked in the order given
// and "Berechnen" is pressed: whether it answers, and the two result lines. The command line agrees.
struct DialogConversion
{
    const char *probe;
    QString input;
    QStringList boxes;
    bool answered;
    QString own;
    QString formula;

    QString heading() const
    {
        return answered ? QStringLiteral("Ausgabe von ") + input + QStringLiteral(" ist:")
                        : QStringLiteral("Ausgabe:");
    }
};

// Texts just outside an input form, on either side of each of its counts of digits: the dialog
// answers none as a date (no result) nor as an own-format stardate (no own result line), and the
// command line names the form it expected.
struct OffTheForm
{
    const char *probe;
    bool ownStardate; // else a date
    QString input;
};

inline const QVector<OffTheForm> &offTheForms()
{
    static const QVector<OffTheForm> rows = {
        {"date: three-digit day", false, "005.12.2013 12:00"}, {"date: no day", false, ".12.2013 12:00"},
        {"date: three-digit month", false, "05.012.2013 12:00"}, {"date: no month", false, "05..2013 12:00"},
        {"date: no year", false, "05.12. 12:00"}, {"date without time", false, "05.12.2013"},
        {"date: three-digit hour", false, "05.12.2013 012:00"}, {"date: no hour", false, "05.12.2013 :00"},
        {"date: three-digit minute", false, "05.12.2013 12:000"}, {"date: no minute", false, "05.12.2013 12:"},
        {"own: two digits before the comma", true, "12,0512"}, {"own: no comma", true, "2013"},
        {"own: three digits after the comma", true, "201312,051"},
        {"own: five digits after the comma", true, "201312,05123"},
    };
    return rows;
}

inline const QVector<DialogConversion> &dialogConversions()
{
    const QStringList dateBoth = {toStardate, own, formula};
    const QStringList stardateOwn = {toDate, own};
    const QStringList stardateFormula = {toDate, formula};
    // Both kinds only come together when ticked before the direction.
    const QStringList stardateBoth = {own, formula, toDate};
    static const QVector<DialogConversion> rows = [&] {
        QVector<DialogConversion> all = {
            {"date, both kinds", "05.12.2013 12:00", dateBoth,
             true, "Mein Format: 201312,0512", "Anderes Format: -147073.234375"},
            {"date without leading zeros, stardate zero", "1.1.2161 0:0", dateBoth,
             true, "Mein Format: 216101,0100", "Anderes Format: 0.000000"},
            {"date, own format only", "05.12.2013 12:00", QStringList{toStardate, own}, true, "Mein Format: 201312,0512", {}},
            {"date, formula only", "05.12.2013 12:00", QStringList{toStardate, formula}, true, {}, "Anderes Format: -147073.234375"},
            {"date, no kind", "05.12.2013 12:00", QStringList{toStardate}, true, {}, {}},
            {"date past what a date-time holds", "1.1.2147483647 0:0", dateBoth,
             true, "Mein Format: ", "Anderes Format: 2147481550848.000000"},
            {"31 February", "31.02.2013 12:00", dateBoth, false, {}, {}},
            {"hour 24", "05.12.2013 24:00", dateBoth, false, {}, {}},
            {"year beyond an int", "1.1.2147483648 0:0", dateBoth, false, {}, {}},
            {"date of a one-digit year", "5.12.1 0:0", dateBoth, true, "Mein Format: 000112,0500", "Anderes Format: -2159074.500000"},

            {"own stardate", "201312,0512", stardateOwn, true, "Mein Format: 05.12.2013 12:00", {}},
            {"own stardate of month 13", "201313,0512", stardateOwn, true, "Mein Format: ", {}},
            {"own stardate of a one-digit year", "112,0100", stardateOwn, true, "Mein Format: 01.12.0001 00:00", {}},
            {"formula stardate", "2500", stardateFormula, true, {}, "Anderes Format: 02.07.2163 15:00"},
            {"formula stardate, both kinds", "2500", stardateBoth, true, {}, "Anderes Format: 02.07.2163 15:00"},
            {"stardate, no kind", "2500", QStringList{toDate}, true, {}, {}},
            {"formula stardate that is no number", "abc", stardateFormula, true, {}, "Anderes Format: "},

            // A typed date or stardate names a day and a time of day, whatever the zone's clocks do then:
            // here the hours Berlin's and New York's skip in spring and go through twice in autumn.
            {"Berlin's skipped hour", "31.03.2013 02:30", dateBoth,
             true, "Mein Format: 201303,3102", "Anderes Format: -147756.046875"},
            {"own stardate of Berlin's skipped hour", "201303,3102", stardateOwn, true, "Mein Format: 31.03.2013 02:00", {}},
            {"formula stardate of Berlin's skipped hour", "-147756.046875", stardateFormula,
             true, {}, "Anderes Format: 31.03.2013 02:29"},
            {"Berlin's doubled hour", "27.10.2013 02:30", dateBoth,
             true, "Mein Format: 201310,2702", "Anderes Format: -147181.093750"},
            {"formula stardate of Berlin's doubled hour", "-147181.09375", stardateFormula,
             true, {}, "Anderes Format: 27.10.2013 02:31"},
            {"New York's skipped hour", "10.03.2013 02:30", dateBoth,
             true, "Mein Format: 201303,1002", "Anderes Format: -147813.546875"},
            {"own stardate of New York's skipped hour", "201303,1002", stardateOwn, true, "Mein Format: 10.03.2013 02:00", {}},
            {"formula stardate of New York's skipped hour", "-147813.546875", stardateFormula,
             true, {}, "Anderes Format: 10.03.2013 02:26"},
            {"New York's doubled hour", "03.11.2013 01:30", dateBoth,
             true, "Mein Format: 201311,0301", "Anderes Format: -147162.046875"},
            {"formula stardate of New York's doubled hour", "-147162.046875", stardateFormula,
             true, {}, "Anderes Format: 03.11.2013 01:29"},

            {"empty input, stardate", "", stardateFormula, false, {}, {}},
            {"no direction", "05.12.2013 12:00", QStringList{own, formula}, false, {}, {}},
            // Read as rich text, a typed tag would vanish from the label and from what a screen reader reads.
            {"typed markup shown as typed", "<b>2500</b>", QStringList{toDate}, true, {}, {}},
        };
        for (const OffTheForm &off : offTheForms())
            all.append({off.probe, off.input, off.ownStardate ? stardateOwn : dateBoth, off.ownStardate, {}, {}});
        return all;
    }();
    return rows;
}

#endif // DIALOGCONVERSIONS_H
