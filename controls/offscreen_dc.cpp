#include "offscreen_dc.h"

COffscreenDC::COffscreenDC(CDC* pTargetDC) : m_pTargetDC(pTargetDC), m_bOffscreen(!pTargetDC->IsPrinting())
{
    if (m_bOffscreen) {
        pTargetDC->GetClipBox(&m_rcArea);
        CreateCompatibleDC(pTargetDC);
        m_bmpOffscreen.CreateCompatibleBitmap(pTargetDC->m_hDC, m_rcArea.Width(), m_rcArea.Height());
        m_pPrevBitmap = SelectObject(m_bmpOffscreen);
        SetWindowOrg(m_rcArea.left, m_rcArea.top);
    } else {
        // Printing: draw straight to the target.
        m_hDC = pTargetDC->m_hDC;
        m_hAttribDC = pTargetDC->m_hAttribDC;
        m_bPrinting = true;
    }
    FillSolidRect(&m_rcArea, ::GetBkColor(pTargetDC->m_hAttribDC));
}

COffscreenDC::~COffscreenDC()
{
    if (m_bOffscreen) {
        m_pTargetDC->BitBlt(m_rcArea.left, m_rcArea.top, m_rcArea.Width(), m_rcArea.Height(), this, m_rcArea.left,
                            m_rcArea.top, SRCCOPY);
        SelectObject(m_pPrevBitmap);
    } else {
        m_hDC = m_hAttribDC = nullptr;  // the target's, not ours to delete
    }
    m_bmpOffscreen.DeleteObject();
    // The base destructor deletes the memory DC.
}
