#include "valuelabel.h"

#include <QLabel>

void showValue(QLabel *label, const QString &text)
{
    const bool placedWithText = !label->text().isEmpty();
    if (text != label->text()) {
        label->setText(text);
        // The label's own size hint lays its text out three times over; one measure of the line
        // is enough to tell whether it still fits.
        const int room = label->contentsRect().width() - 2 * label->margin() - qMax(label->indent(), 0);
        if (label->fontMetrics().horizontalAdvance(text) > room) {
            label->setMinimumSize(0, 0);
            label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
            return;
        }
    }
    // The layout has placed a text here already: keep the size it gave.
    if (placedWithText && label->isVisible())
        label->setFixedSize(label->size());
}
