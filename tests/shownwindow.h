#ifndef SHOWNWINDOW_H
#define SHOWNWINDOW_H

#include "about.h"
#include "compute.h"
#include "mainwindow.h"

#include <QApplication>
#include <QtTest>

#include <memory>

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

#endif
