// What the colour button and its palette tell each other and the button's parent.
// wParam: a colour (CLR_DEFAULT for the default box); lParam: 0 between palette and
// button, the button's control id towards the parent.
#pragma once
#include <windows.h>

#define CLRN_SELCHANGE    (WM_USER + 1001)  // the highlight moved (palette and button)
#define CLRN_DROPDOWN     (WM_USER + 1002)  // the palette opened (button only)
#define CLRN_CLOSEUP      (WM_USER + 1003)  // the palette closed (button only)
#define CLRN_SELENDOK     (WM_USER + 1004)  // a colour was accepted
#define CLRN_SELENDCANCEL (WM_USER + 1005)  // the palette was dismissed

// Windows XP or later: the flat-menu, drop-shadow and menu-highlight settings exist.
BOOL IsWindowsXPOrLater();
