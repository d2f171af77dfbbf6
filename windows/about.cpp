#include "about.h"

About::About(QWidget *parent)
    : QDialog(parent)
{
}
