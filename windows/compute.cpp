#include "compute.h"

Compute::Compute(QWidget *parent)
    : QDialog(parent)
{
}
