// CString: the framework's text type, a wide string (the program is built for Unicode).
#pragma once
#include <windows.h>
#include <string>

class CString {
public:
    CString() = default;
    CString(LPCWSTR psz) : m_str(psz ? psz : L"") {}
    CString(LPCWSTR psz, int nLength) : m_str(psz ? psz : L"", psz ? nLength : 0) {}
    CString(const std::wstring& s) : m_str(s) {}

    operator LPCWSTR() const { return m_str.c_str(); }
    LPCWSTR GetString() const { return m_str.c_str(); }
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t operator[](int i) const { return m_str[static_cast<size_t>(i)]; }

    CString& operator=(LPCWSTR psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(LPCWSTR psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, LPCWSTR b) { CString r(a); r += b; return r; }
    friend CString operator+(LPCWSTR a, const CString& b) { CString r(a); r += b; return r; }
    bool operator==(const CString& s) const { return m_str == s.m_str; }
    bool operator!=(const CString& s) const { return m_str != s.m_str; }
    bool operator==(LPCWSTR psz) const { return m_str == (psz ? psz : L""); }

    // Ordinal comparison ignoring case, as the system's locale-independent compare does.
    int CompareNoCase(LPCWSTR psz) const;
    int Find(wchar_t ch, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    void Format(LPCWSTR pszFormat, ...);

    // Direct access for Win32 calls that fill a buffer; ReleaseBuffer trims at the terminator.
    LPWSTR GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    const std::wstring& str() const { return m_str; }

private:
    std::wstring m_str;
};
