#include "copymenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>

#include <utility>

CopyMenu::CopyMenu(QLabel *label, QString caption)
    : QObject(label)
    , label(label)
    , caption(std::move(caption))
{
    // In place of the menu that a selectable label brings, whose "Copy" takes the caption along.
    label->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(label, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(popUp(QPoint)));
}

// Shown without waiting for it, so that the clock goes on ticking behind it.
void CopyMenu::popUp(const QPoint &position)
{
    auto *menu = new QMenu(label);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The clock may tick while the menu is open; what is copied is what was right-clicked.
    offered = value();
    QAction *copyAction = menu->addAction(tr("Kopieren"), this, SLOT(copy()));
    // Before the first tick, or after a conversion that found no date, there is nothing to copy.
    copyAction->setEnabled(!offered.isEmpty());
    menu->popup(label->mapToGlobal(position));
}

void CopyMenu::copy()
{
    QGuiApplication::clipboard()->setText(offered);
}

QString CopyMenu::value() const
{
    const QString text = label->text();
    return text.startsWith(caption) ? text.mid(caption.size()) : text;
}
