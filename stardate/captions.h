#ifndef CAPTIONS_H
#define CAPTIONS_H

#include <QtGlobal>

// The captions of the main window's three readings. The window's form carries them for the
// window; the command line prints these, and a test keeps the two alike.
constexpr char currentTimeCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Aktuelle Zeit:");
constexpr char ownStardateCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Mein Sternzeitformat:");
constexpr char formulaStardateCaption[] = QT_TRANSLATE_NOOP("MainWindow", "Anderes Sternzeitformat:");

// The conversion's result lines start with these; a result that comes out empty leaves its
// prefix standing alone.
constexpr char ownResultPrefix[] = QT_TRANSLATE_NOOP("Compute", "Mein Format: ");
constexpr char formulaResultPrefix[] = QT_TRANSLATE_NOOP("Compute", "Anderes Format: ");

#endif // CAPTIONS_H
