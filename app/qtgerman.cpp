#include "qtgerman.h"

#include <QCoreApplication>
#include <QTranslator>

void useGermanQtTexts()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral(":/translations/qtbase_de.qm")))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
