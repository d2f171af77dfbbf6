#include "valuelabelaccessible.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace {

// The label's text as read-only text: no caret, no selection, nothing to scroll. Whether the
// label shows a picture is asked each time, since a form names its labels before the window
// gives them their pictures.
class ValueLabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit ValueLabelAccessible(QLabel *label)
        : QAccessibleWidget(label)
    {
    }

    QAccessible::Role role() const override
    {
        return showsPicture() ? QAccessible::Graphic : QAccessible::StaticText;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface && !showsPicture())
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override { return QAccessibleWidget::text(kind); }
    QString text(int startOffset, int endOffset) const override
    {
        return value().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(value().size()); }

    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    const QLabel *label() const { return static_cast<const QLabel *>(widget()); }
    bool showsPicture() const { return !label()->pixmap(Qt::ReturnByValue).isNull(); }
    QString value() const { return label()->text(); }
};

QAccessibleInterface *valueLabelAccessible(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (label && !label->accessibleName().isEmpty())
        return new ValueLabelAccessible(label);
    return nullptr;
}

} // namespace

void installValueLabelAccessibility()
{
    QAccessible::installFactory(valueLabelAccessible);
}
