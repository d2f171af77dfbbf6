#ifndef COMPUTE_H
#define COMPUTE_H

#include <QDialog>
#include <QPoint>

class QCheckBox;
class QValidator;

namespace Ui {
class Compute;
}

// Converts a typed date into stardates and a typed stardate into a date. Four linked check
// boxes choose the direction and the stardate kinds.
class Compute : public QDialog
{
    Q_OBJECT

public:
    explicit Compute(QWidget *parent = nullptr);
    ~Compute() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private slots:
    void changecheckBox();
    void changecheckBox2();
    void changecheckBox3();
    void changecheckBox4();
    void computes();

private:
    void setStyleSheets();
    void followDirection(QCheckBox *direction, QCheckBox *otherDirection);
    void followFormat(QCheckBox *format, QCheckBox *otherFormat);
    void convertDate(const QString &input);
    void convertStardate(const QString &input);
    void clearOutput();
    void uncheckAllBoxes();

    Ui::Compute *ui;
    QPoint dragPosition;
    QValidator *dateValidator;
    QValidator *ownStardateValidator;
};

#endif // COMPUTE_H
