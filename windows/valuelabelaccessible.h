#ifndef VALUELABELACCESSIBLE_H
#define VALUELABELACCESSIBLE_H

// What a screen reader is told of a label given an accessible name of its own: a picture is
// read by that name, and a value, as the main window's clock and stardates show, by that name,
// its caption, with the value as its text. A label's new text is announced as a change of its
// name only while it has no name of its own, so the clock's ticking stays quiet, and a screen
// reader reads the value that stands at the moment it asks. Install it before the first window
// is made; installing it again changes nothing.
void installValueLabelAccessibility();

#endif // VALUELABELACCESSIBLE_H
