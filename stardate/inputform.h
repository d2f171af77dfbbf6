#ifndef INPUTFORM_H
#define INPUTFORM_H

#include <QString>
#include <QtGlobal>

// The input patterns are written in QRegExp syntax, which Qt 6 no longer has. Its
// QRegularExpression reads them the same once \d takes any decimal digit, as QRegExp's does,
// and the pattern is anchored at both ends, as exactMatch() and the validators are. (Only a
// digit beyond the Basic Multilingual Plane, two halves to QRegExp, passes on Qt 6 alone; no
// digit but 0 to 9 is read as a number on either.) The validators are declared in Qt GUI's
// <QValidator>, for the windows; the library needs Qt Core only.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)

#include <QRegExp>

class QRegExpValidator;
using InputForm = QRegExp;
using InputFormValidator = QRegExpValidator;

inline InputForm inputForm(const QString &pattern)
{
    return QRegExp(pattern);
}

inline bool matchesWhole(const InputForm &form, const QString &text)
{
    return form.exactMatch(text);
}

#else

#include <QRegularExpression>

class QRegularExpressionValidator;
using InputForm = QRegularExpression;
using InputFormValidator = QRegularExpressionValidator;

inline InputForm inputForm(const QString &pattern)
{
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern),
                              QRegularExpression::UseUnicodePropertiesOption);
}

inline bool matchesWhole(const InputForm &form, const QString &text)
{
    return form.match(text).hasMatch();
}

#endif

#endif // INPUTFORM_H
