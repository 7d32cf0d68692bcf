// One theme handle and the visual-style functions of UxTheme.dll, loaded at run time so
// that the program also runs where the library is missing; each function then falls
// back to a harmless answer and the callers draw the classic look.
#pragma once
#include <windows.h>
#include <uxtheme.h>

class CThemeHelper {
public:
    CThemeHelper() = default;
    ~CThemeHelper() { Close(); }
    CThemeHelper(const CThemeHelper&) = delete;
    CThemeHelper& operator=(const CThemeHelper&) = delete;

    BOOL Open(HWND hWnd, LPCWSTR pszClassList);
    void Close();
    BOOL IsNull() const { return m_hTheme == nullptr; }
    HRESULT DrawBackground(HDC hDC, int nPartId, int nStateId, const RECT* pRect, const RECT* pClipRect);
    HRESULT GetBackgroundContentRect(HDC hDC, int nPartId, int nStateId, const RECT* pBoundingRect,
                                     RECT* pContentRect);
    static BOOL IsAppThemed();

    // The five entry points as the helper calls them.
    struct Api {
        HTHEME(WINAPI* pfnOpenThemeData)(HWND, LPCWSTR);
        HRESULT(WINAPI* pfnCloseThemeData)(HTHEME);
        HRESULT(WINAPI* pfnDrawThemeBackground)(HTHEME, HDC, int, int, const RECT*, const RECT*);
        HRESULT(WINAPI* pfnGetThemeBackgroundContentRect)(HTHEME, HDC, int, int, const RECT*, RECT*);
        BOOL(WINAPI* pfnIsAppThemed)();
    };
    // Tests: forget the loaded library and the looked-up entry points; the next call loads
    // pszLibrary (null: UxTheme.dll again). With pApi, calls go to its functions instead.
    static void ResetForTesting(LPCSTR pszLibrary, const Api* pApi = nullptr);
    static int LoadAttemptsForTesting();

    HTHEME m_hTheme = nullptr;
};
