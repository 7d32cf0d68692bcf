// What every page does with WM_CTLCOLOR: labels, trackbars, buttons and the page itself
// are painted with the page's menu-colour brush, text drawn transparently.
#pragma once
#include "afxwin.h"

// The page brush for the kinds of control the pages paint; null for the others, which
// keep the system's default.
HBRUSH PageBackgroundBrush(CDC* pDC, UINT nCtlColor, const CBrush& brBackground);
