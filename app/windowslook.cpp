#include "windowslook.h"

#include <QApplication>
#include <QCheckBox>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

// The styles draw their frames for light windows; on these black ones the input field and the
// keyboard's place among the check boxes would vanish.
class BlackWindowStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override
    {
        if (element == PE_FrameLineEdit) {
            drawInputFrame(option, painter);
            return;
        }
        if (element == PE_FrameFocusRect && qobject_cast<const QCheckBox *>(widget)) {
            drawCheckBoxFocus(option, painter);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    // The input's sheet paints it black, and the styles shade its frame from that colour, so
    // the field gets a plain grey frame as on Windows, and one of its text's colour, twice as
    // thick, while the keyboard is in it.
    static void drawInputFrame(const QStyleOption *option, QPainter *painter)
    {
        painter->save();
        if (option->state & State_HasFocus) {
            painter->setPen(QPen(option->palette.color(QPalette::Text), 2));
            painter->drawRect(QRectF(option->rect).adjusted(1, 1, -1, -1));
        } else {
            painter->setPen(QColor(0x7a, 0x7a, 0x7a));
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        }
        painter->restore();
    }

    // The styles draw a box's focus frame in the opposite of a light window's colour, black
    // here; it is drawn in the caption's own colour instead, once the keyboard moves the focus,
    // as the buttons show theirs.
    static void drawCheckBoxFocus(const QStyleOption *option, QPainter *painter)
    {
        if (!(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        painter->setPen(option->palette.color(QPalette::WindowText));
        painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
        painter->restore();
    }
};

} // namespace

void useWindowsLook()
{
#ifdef Q_OS_WIN
    QApplication::setStyle(new BlackWindowStyle);
#else
    // The windows were drawn for the Windows system font and controls. Elsewhere the default sans
    // font runs a tenth wider and clips the dialogs' help texts, and the default style draws the
    // check boxes in the black window colour, so they vanish. Arial's widths (or a
    // metric-compatible stand-in) and the classic style keep the look.
    QApplication::setStyle(new BlackWindowStyle(QStringLiteral("Windows")));
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Arial"));
    QApplication::setFont(font);
#endif
}
