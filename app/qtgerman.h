#ifndef QTGERMAN_H
#define QTGERMAN_H

// Has Qt's own texts (the input's context menu, the command line's "Usage:" and its errors)
// speak German like the rest of the program, whatever the user's locale. Qt's German catalogue
// travels inside the program, so a copy of it speaks German wherever it lies, with or without a
// Qt installed beside it. Call it once the application object exists.
void useGermanQtTexts();

#endif // QTGERMAN_H
