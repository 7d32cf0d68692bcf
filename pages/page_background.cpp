#include "page_background.h"

HBRUSH PageBackgroundBrush(CDC* pDC, UINT nCtlColor, const CBrush& brBackground)
{
    switch (nCtlColor) {
    case CTLCOLOR_STATIC:  // labels, path texts and trackbars
        pDC->SetBkMode(TRANSPARENT);
        return brBackground;
    case CTLCOLOR_DLG:
    case CTLCOLOR_BTN:
        return brBackground;
    default:
        return nullptr;
    }
}
