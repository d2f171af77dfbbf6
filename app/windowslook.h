#ifndef WINDOWSLOOK_H
#define WINDOWSLOOK_H

// Gives the windows the font widths and control frames they were drawn with on Windows, where
// they look that way anyway, and on every platform frames that show on black: the input field's,
// and the keyboard's place among the check boxes.
void useWindowsLook();

#endif // WINDOWSLOOK_H
