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

// Owns a brush handle and deletes it with the object.
class CBrush {
public:
    CBrush() = default;
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    BOOL Attach(HBRUSH hBrush) { DeleteObject(); m_hObject = hBrush; return hBrush != nullptr; }
    BOOL CreateSolidBrush(COLORREF clr) { return Attach(::CreateSolidBrush(clr)); }
    // Deleting a system colour brush is allowed and does nothing.
    BOOL DeleteObject()
    {
        HBRUSH h = m_hObject;
        m_hObject = nullptr;
        return h ? ::DeleteObject(h) : FALSE;
    }
    operator HBRUSH() const { return m_hObject; }
    HBRUSH GetSafeHandle() const { return m_hObject; }

    HBRUSH m_hObject = nullptr;
};
