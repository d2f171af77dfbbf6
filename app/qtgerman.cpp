#include "qtgerman.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

QString qtTranslationsFolder()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

void useGermanQtTexts()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    const QString besideProgram = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"));
    for (const QString &folder : {qtTranslationsFolder(), besideProgram}) {
        if (translator->load(QStringLiteral("qtbase_de"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}
