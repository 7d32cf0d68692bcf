// A device context whose drawing lands in a bitmap that is copied to the target in one
// BitBlt when the object goes: flicker-free painting of a control.
#pragma once
#include "afxwin.h"

class COffscreenDC : public CDC {
public:
    explicit COffscreenDC(CDC* pTargetDC);
    ~COffscreenDC() override;

private:
    CBitmap m_bmpOffscreen;
    HGDIOBJ m_pPrevBitmap = nullptr;  // selected into the memory DC before our bitmap
    CDC* m_pTargetDC;
    CRect m_rcArea;                   // in the target's logical coordinates
    BOOL m_bOffscreen;
};
