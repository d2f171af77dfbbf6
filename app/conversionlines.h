#ifndef CONVERSIONLINES_H
#define CONVERSIONLINES_H

#include <QDateTime>
#include <QString>
#include <QStringList>

// What the command line is asked to read: a typed date and time, or a stardate of either kind.
enum class InputKind { Date, OwnStardate, FormulaStardate };

// The command's answer to one input.
struct ConversionLines
{
    // The result lines as the conversion dialog shows them: "Mein Format: …" and "Anderes
    // Format: …" for a date, the bare date text for a stardate. There are always as many lines
    // as the input kind gives, each one empty where the dialog shows nothing.
    QStringList results;
    // Why a result is missing, naming the input; empty when every result is there.
    QString problem;
};

ConversionLines convertInput(InputKind kind, const QString &input);

// The three readings of the main window for one moment, each behind its caption.
QStringList currentMomentLines(const QDateTime &now);

#endif // CONVERSIONLINES_H
