#include "valuelabel.h"

#include <QLabel>

void showValue(QLabel *label, const QString &text)
{
    const QSize hintBefore = label->sizeHint();
    label->setText(text);
    const QSize needed = label->sizeHint();
    if (needed.width() > label->width() || needed.height() > label->height()) {
        label->setMinimumSize(0, 0);
        label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (needed == hintBefore && label->isVisible()) {
        // The layout has placed a text of this size already: keep what it gave.
        label->setFixedSize(label->size());
    }
}
