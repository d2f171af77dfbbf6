#ifndef QTGERMAN_H
#define QTGERMAN_H

#include <QString>

// Has Qt's own texts (the input's context menu, the command line's "Usage:" and its errors)
// speak German like the rest of the program, whatever the user's locale. Looks in Qt's own
// translations folder, then in "translations" beside the program, where a self-contained
// installation keeps the catalogue; without one, Qt's texts stay as they are. Call it once the
// application object exists.
void useGermanQtTexts();

// Qt's own translations folder, where the system keeps Qt's catalogues.
QString qtTranslationsFolder();

#endif // QTGERMAN_H
