#include "nativedesktop.h"

bool desktopReportsChosenScale()
{
    return false;
}

void addTaskbarControls(QWidget *)
{
}
