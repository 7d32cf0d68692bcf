#include "jobs_file.h"

#include <cstring>

#include "file_open.h"

JobsFile::JobsFile(const std::wstring& path)
{
    m_hFile = OpenFileToRead(path, FILE_SHARE_READ, FILE_FLAG_SEQUENTIAL_SCAN);
    if (m_hFile == INVALID_HANDLE_VALUE || !Fill())
        return;
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer);
    if (m_nFilled >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
        m_nAt = 3;
    } else if (m_nFilled >= 2 && ((b[0] == 0xFF && b[1] == 0xFE) || (b[0] == 0xFE && b[1] == 0xFF))) {
        m_nUnitBytes = 2;
        m_bBigEndian = b[0] == 0xFE;
        m_nAt = 2;
    }
}

JobsFile::~JobsFile()
{
    if (m_hFile != INVALID_HANDLE_VALUE)
        ::CloseHandle(m_hFile);
}

bool JobsFile::Fill()
{
    // Keep a byte left over from a split UTF-16 unit.
    DWORD keep = m_nFilled - m_nAt;
    if (keep)
        memmove(m_buffer, m_buffer + m_nAt, keep);
    m_nAt = 0;
    m_nFilled = keep;
    DWORD got = 0;
    const BOOL bRead = ::ReadFile(m_hFile, m_buffer + keep, sizeof(m_buffer) - keep, &got, nullptr);
    if (!bRead && !m_nReadError)
        m_nReadError = ::GetLastError() ? ::GetLastError() : ERROR_READ_FAULT;
    if (!bRead || got == 0) {
        m_bEnd = true;
        return keep > 0;
    }
    m_nFilled += got;
    return true;
}

bool JobsFile::NextUnit(unsigned* pUnit)
{
    while (m_nFilled - m_nAt < static_cast<DWORD>(m_nUnitBytes)) {
        if (m_bEnd)
            return false;
        Fill();
    }
    const auto* b = reinterpret_cast<const unsigned char*>(m_buffer + m_nAt);
    *pUnit = m_nUnitBytes == 1 ? b[0] : (m_bBigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]));
    m_nAt += m_nUnitBytes;
    return true;
}

bool JobsFile::Next(std::string* pLine, size_t* pLineNo, std::wstring* pError)
{
    pLine->clear();
    pError->clear();
    if (!IsOpen())
        return false;
    std::string bytes;        // UTF-8 lines
    std::wstring units;       // UTF-16 lines
    unsigned long long length = 0;
    bool bAny = false, bTooLong = false;
    unsigned unit = 0;
    while (NextUnit(&unit)) {
        bAny = true;
        if (unit == '\n')
            break;
        if (++length * m_nUnitBytes > kMaxLineBytes) {
            if (!bTooLong) {
                bTooLong = true;
                bytes.clear();
                units.clear();
            }
            if (length * m_nUnitBytes > kMaxSkippedBytes) {
                m_bEnd = true;
                m_nAt = m_nFilled;
                *pError = L"the line is longer than " + std::to_wstring(kMaxLineBytes >> 20) +
                          L" MB (and runs on past " + std::to_wstring(kMaxSkippedBytes >> 20) +
                          L" MB: the rest of the file is not read)";
                *pLineNo = ++m_nLine;
                return true;
            }
            continue;
        }
        if (m_nUnitBytes == 1)
            bytes.push_back(static_cast<char>(unit));
        else
            units.push_back(static_cast<wchar_t>(unit));
    }
    if (!bAny)
        return false;
    *pLineNo = ++m_nLine;
    if (bTooLong) {
        *pError = L"the line is longer than " + std::to_wstring(kMaxLineBytes >> 20) + L" MB";
        return true;
    }
    if (m_nUnitBytes == 2 && !units.empty()) {
        int n = ::WideCharToMultiByte(CP_UTF8, 0, units.data(), static_cast<int>(units.size()), nullptr, 0, nullptr, nullptr);
        bytes.resize(static_cast<size_t>(n));
        ::WideCharToMultiByte(CP_UTF8, 0, units.data(), static_cast<int>(units.size()), &bytes[0], n, nullptr, nullptr);
    }
    if (!bytes.empty() && bytes.back() == '\r')
        bytes.pop_back();
    *pLine = std::move(bytes);
    return true;
}
