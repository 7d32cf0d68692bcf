#include "afxstr.h"

#include <algorithm>
#include <cstdarg>
#include <cwchar>
#include <vector>

int CString::CompareNoCase(LPCWSTR psz) const
{
    int r = CompareStringOrdinal(m_str.c_str(), -1, psz ? psz : L"", -1, TRUE);
    return r == CSTR_LESS_THAN ? -1 : (r == CSTR_GREATER_THAN ? 1 : 0);
}

int CString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0 || nStart > GetLength()) return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = std::clamp(nFirst, 0, GetLength());
    nCount = std::clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = std::clamp(nCount, 0, GetLength());
    return Mid(GetLength() - nCount, nCount);
}

void CString::Format(LPCWSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    int n = _vscwprintf(pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
    } else {
        std::vector<wchar_t> buf(static_cast<size_t>(n) + 1);
        _vsnwprintf(buf.data(), buf.size(), pszFormat, args);
        m_str.assign(buf.data(), static_cast<size_t>(n));
    }
    va_end(args);
}

LPWSTR CString::GetBuffer(int nMinLength)
{
    if (nMinLength > GetLength()) m_str.resize(static_cast<size_t>(nMinLength));
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) nNewLength = static_cast<int>(wcslen(m_str.c_str()));
    m_str.resize(static_cast<size_t>(nNewLength));
}
