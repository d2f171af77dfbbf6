#ifndef VALUELABEL_H
#define VALUELABEL_H

class QLabel;
class QString;

// Writes a new value into one of the main window's value labels. A new text makes a label ask its
// window for a new layout, which lays out and measures every widget again, although a clock text
// keeps its width from second to second (all digits are equally wide). So once the layout has
// placed a text in the label, the label keeps the size it was given, and a new text only repaints
// the label; a text that no longer fits frees the label for one new layout, which gives it the
// room it needs.
void showValue(QLabel *label, const QString &text);

#endif // VALUELABEL_H
