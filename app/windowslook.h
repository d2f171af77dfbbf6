#ifndef WINDOWSLOOK_H
#define WINDOWSLOOK_H

// Gives the windows the font widths and control frames they were drawn with on Windows, where
// they look that way anyway.
void useWindowsLook();

#endif // WINDOWSLOOK_H
