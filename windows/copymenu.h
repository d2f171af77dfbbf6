#ifndef COPYMENU_H
#define COPYMENU_H

#include <QObject>
#include <QString>

class QLabel;
class QPoint;

// A right click on a label that shows a value offers "Kopieren", which puts the value on the
// clipboard without the caption that the label may show in front of it. Left presses stay with
// the window, which is dragged by them.
class CopyMenu : public QObject
{
    Q_OBJECT

public:
    // The menu belongs to the label; caption is the text that may stand before the value.
    explicit CopyMenu(QLabel *label, QString caption = QString());

private slots:
    void popUp(const QPoint &position);
    void copy();

private:
    QString value() const;

    QLabel *label;
    QString caption;
    QString offered;
};

#endif // COPYMENU_H
