#include "windowslook.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

#ifndef Q_OS_WIN
namespace {

// The input field's sheet paints it black, and the classic style shades its frame from that
// colour, so the field would vanish; it gets a plain grey frame as on Windows.
class FramedInputStyle : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override
    {
        if (element == PE_FrameLineEdit) {
            painter->save();
            painter->setPen(QColor(0x7a, 0x7a, 0x7a));
            painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
            painter->restore();
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
};

} // namespace
#endif

void useWindowsLook()
{
#ifndef Q_OS_WIN
    // The windows were drawn for the Windows system font and controls. Elsewhere the default sans
    // font runs a tenth wider and clips the dialogs' help texts, and the default style draws the
    // check boxes in the black window colour, so they vanish. Arial's widths (or a
    // metric-compatible stand-in) and the classic style keep the look.
    QApplication::setStyle(new FramedInputStyle(QStringLiteral("Windows")));
    QFont font = QApplication::font();
    font.setFamily(QStringLiteral("Arial"));
    QApplication::setFont(font);
#endif
}
