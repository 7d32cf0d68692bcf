#include "theme_helper.h"

namespace {

HTHEME WINAPI FallbackOpenThemeData(HWND, LPCWSTR) { return nullptr; }
HRESULT WINAPI FallbackCloseThemeData(HTHEME) { return E_FAIL; }
HRESULT WINAPI FallbackDrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*) { return E_FAIL; }
HRESULT WINAPI FallbackGetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) { return E_FAIL; }
BOOL WINAPI FallbackIsAppThemed() { return FALSE; }

// Shared by every helper for the whole process; one GUI thread, so no lock.
struct UxThemeState {
    LPCSTR pszLibrary = "UxTheme.dll";
    HMODULE hModule = nullptr;
    bool bLoadAttempted = false;
    int nLoadAttempts = 0;
    CThemeHelper::Api api = {};  // null entries are not looked up yet
};

UxThemeState& State()
{
    static UxThemeState state;
    return state;
}

// The entry point named pszName, looked up once; the fallback when there is none.
template <class Fn>
Fn Resolve(Fn& cached, LPCSTR pszName, Fn fallback)
{
    if (cached)
        return cached;
    UxThemeState& s = State();
    if (!s.hModule && !s.bLoadAttempted) {
        s.bLoadAttempted = true;
        ++s.nLoadAttempts;
        s.hModule = ::LoadLibraryA(s.pszLibrary);
    }
    FARPROC proc = s.hModule ? ::GetProcAddress(s.hModule, pszName) : nullptr;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
    cached = proc ? reinterpret_cast<Fn>(proc) : fallback;
#pragma GCC diagnostic pop
    return cached;
}

} // namespace

BOOL CThemeHelper::Open(HWND hWnd, LPCWSTR pszClassList)
{
    Close();
    m_hTheme = Resolve(State().api.pfnOpenThemeData, "OpenThemeData", &FallbackOpenThemeData)(hWnd, pszClassList);
    return m_hTheme != nullptr;
}

void CThemeHelper::Close()
{
    if (!m_hTheme)
        return;
    Resolve(State().api.pfnCloseThemeData, "CloseThemeData", &FallbackCloseThemeData)(m_hTheme);
    m_hTheme = nullptr;
}

HRESULT CThemeHelper::DrawBackground(HDC hDC, int nPartId, int nStateId, const RECT* pRect, const RECT* pClipRect)
{
    return Resolve(State().api.pfnDrawThemeBackground, "DrawThemeBackground", &FallbackDrawThemeBackground)(
        m_hTheme, hDC, nPartId, nStateId, pRect, pClipRect);
}

HRESULT CThemeHelper::GetBackgroundContentRect(HDC hDC, int nPartId, int nStateId, const RECT* pBoundingRect,
                                               RECT* pContentRect)
{
    return Resolve(State().api.pfnGetThemeBackgroundContentRect, "GetThemeBackgroundContentRect",
                   &FallbackGetThemeBackgroundContentRect)(m_hTheme, hDC, nPartId, nStateId, pBoundingRect,
                                                           pContentRect);
}

BOOL CThemeHelper::IsAppThemed()
{
    return Resolve(State().api.pfnIsAppThemed, "IsAppThemed", &FallbackIsAppThemed)();
}

void CThemeHelper::ResetForTesting(LPCSTR pszLibrary, const Api* pApi)
{
    UxThemeState& s = State();
    s.pszLibrary = pszLibrary ? pszLibrary : "UxTheme.dll";
    s.hModule = nullptr;  // a loaded library stays loaded; it is simply not used
    s.bLoadAttempted = false;
    s.api = pApi ? *pApi : Api{};
}

int CThemeHelper::LoadAttemptsForTesting()
{
    return State().nLoadAttempts;
}
