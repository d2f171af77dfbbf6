#ifndef SHOWNWINDOW_H
#define SHOWNWINDOW_H

#include "about.h"
#include "compute.h"
#include "mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QStyleOptionButton>
#include <QtTest>

#include <memory>

// The program's windows and their controls as a user finds and handles them.

// One of the program's three windows by its class name.
inline std::unique_ptr<QWidget> makeWindow(const QString &kind)
{
    if (kind == QLatin1String("MainWindow"))
        return std::make_unique<MainWindow>();
    if (kind == QLatin1String("About"))
        return std::make_unique<About>();
    return std::make_unique<Compute>();
}

// The window shown with its top left corner at (200, 150); null when it never came on screen.
inline std::unique_ptr<QWidget> shownWindow(const QString &kind)
{
    std::unique_ptr<QWidget> window = makeWindow(kind);
    window->move(200, 150);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? std::move(window) : nullptr;
}

// The shown top-level window of that class, as a tray's menu opens it; null when none is shown.
inline QWidget *visibleWindow(const char *className)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// The texts of a part of a window as a user reads them, row by row or column by column: labels,
// buttons, the input, and a group box's title followed by its options.
inline QStringList reading(const QWidget *area, Qt::Orientation lines)
{
    QList<std::pair<QVector<int>, QString>> texts;
    for (const QWidget *widget : area->findChildren<QWidget *>()) {
        const auto *group = qobject_cast<const QGroupBox *>(widget);
        const QString text = group ? group->title() : widget->property("text").toString();
        const QWidget *place = widget; // where it stands among the area's own widgets
        while (place->parentWidget() != area)
            place = place->parentWidget();
        const QPoint at = widget->mapTo(area, QPoint());
        const QPoint first = lines == Qt::Vertical ? QPoint(place->y(), place->x()) : place->pos();
        if (widget->isVisible() && !text.isEmpty())
            texts.append({{first.y(), first.x(), at.y(), at.x()}, text});
    }
    std::sort(texts.begin(), texts.end());
    QStringList read;
    for (const auto &text : texts)
        read << text.second;
    return read;
}

// The button or option that shows this caption.
inline QAbstractButton *captioned(const QWidget *window, const QString &caption)
{
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (button->text() == caption)
            return button;
    }
    return nullptr;
}

// Where the style draws a part of a check box: its indicator, or the caption beside it.
inline QRect checkBoxPart(const QCheckBox *box, QStyle::SubElement part)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    return box->style()->subElementRect(part, &option, box);
}

// A check box is clicked on its indicator, anything else in its middle.
inline void click(QWidget *widget)
{
    QVERIFY(widget);
    const auto *box = qobject_cast<QCheckBox *>(widget);
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier,
                      box ? checkBoxPart(box, QStyle::SE_CheckBoxIndicator).center() : widget->rect().center());
}

// A right click through the window system, which makes it a context menu request; the menu it opens.
inline QMenu *rightClick(QWidget *widget)
{
    QWidget *window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::RightButton, Qt::NoModifier, widget->mapTo(window, widget->rect().center()));
    return qobject_cast<QMenu *>(QApplication::activePopupWidget());
}

// Clicks an entry of a menu in its middle, opening the menu first where a tray would.
inline void choose(QMenu *menu, QAction *entry)
{
    if (!menu->isVisible())
        menu->popup(QPoint());
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(entry).center());
}

// Clicks the menu's one entry, which must be "Kopieren", and tells what the entry offered.
inline QString clickKopieren(QMenu *menu)
{
    if (!menu || menu->actions().size() != 1 || menu->actions().constFirst()->text() != QLatin1String("Kopieren"))
        return QStringLiteral("no menu of just Kopieren");
    QAction *copy = menu->actions().constFirst();
    QString offered = copy->isEnabled() ? QStringLiteral("copies") : QStringLiteral("greyed out");
    choose(menu, copy);
    if (menu->isVisible())
        menu->close();
    return offered;
}

// What the control with the keyboard focus says to a user: its caption, or "[input]".
inline QString focused()
{
    const auto *button = qobject_cast<const QAbstractButton *>(QApplication::focusWidget());
    return button ? button->text() : QStringLiteral("[input]");
}

// A key pressed where the keyboard is.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : QApplication::activeWindow(), key, modifiers);
}

// Presses Tab until the control with this caption has the focus, ten times at most.
inline void tabTo(const QString &caption)
{
    for (int i = 0; i < 10 && focused() != caption; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(focused(), caption);
}

#endif // SHOWNWINDOW_H
