// Thin owners of GDI handles. CDC here wraps a device context it does not own.
#pragma once
#include <windows.h>

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    virtual ~CDC() = default;

    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }
    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    COLORREF SetTextColor(COLORREF clr) { return ::SetTextColor(m_hDC, clr); }
    COLORREF SetBkColor(COLORREF clr) { return ::SetBkColor(m_hDC, clr); }

    HDC m_hDC = nullptr;
};
