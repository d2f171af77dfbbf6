#ifndef COMPUTE_H
#define COMPUTE_H

#include <QDialog>

class Compute : public QDialog
{
    Q_OBJECT

public:
    explicit Compute(QWidget *parent = nullptr);
};

#endif // COMPUTE_H
