#ifndef THEME_H
#define THEME_H

#include <QString>

// The look of all windows: black backgrounds, white text, orange accents. Each sheet is set on
// single widgets while a window builds; nothing sets a sheet, palette or font for the whole
// application.

// A sheet that the windows spell in two ways, differing only in blanks or a final ";" or line
// feed; both spellings look the same.
struct StyleSheet
{
    const char *text;
    const char *variant;
};

constexpr StyleSheet blackBackgroundSheet = {
    "background-color: black;",
    "background-color:black;"
};

// On an empty label two pixels high this draws a thin orange line.
constexpr StyleSheet orangeBackgroundSheet = {
    "background-color: #EA8500",
    "background-color: #EA8500;"
};

// The main window's texts ask for Arial; on Linux a metric-compatible font stands in for it,
// so the 24 px texts keep their width.
constexpr StyleSheet largeWhiteTextSheet = {
    "color: white;\nfont-family: 'Arial';\nfont-size:24px;",
    "color: white;\nfont-family: 'Arial';\nfont-size:24px;\n"
};

constexpr char infoTextSheet[] = "background-color: black;\ncolor: white;\nfont-size: 11px;";

constexpr StyleSheet whiteOnBlack16Sheet = {
    "background-color: black;\ncolor: white;\nfont-size:16px;",
    "background-color:black;\ncolor: white;\nfont-size:16px;"
};

constexpr char whiteOnBlackSheet[] = "background-color:black;\ncolor: white;";

// On a group box this sets the title and, by cascade, whatever inside sets nothing of its own.
constexpr char white14Sheet[] = "color:white;\nfont-size:14px;";

constexpr StyleSheet white16Sheet = {
    "font-size:16px;\ncolor: white;",
    "font-size:16px;\ncolor:white;"
};

// The glossy orange push button, grey under the mouse and paler while pressed. The sheet selects
// its button by object name, so it only takes effect on the button whose name it is given.
QString orangeButtonSheet(const QString &objectName);

#endif // THEME_H
