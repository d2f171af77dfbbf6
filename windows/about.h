#ifndef ABOUT_H
#define ABOUT_H

#include <QDialog>
#include <QPoint>

namespace Ui {
class About;
}

// The info dialog: a fixed text on both stardates, between two copies of its header strip.
class About : public QDialog
{
    Q_OBJECT

public:
    explicit About(QWidget *parent = nullptr);
    ~About() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    Ui::About *ui;
    QPoint dragPosition;
};

#endif // ABOUT_H
