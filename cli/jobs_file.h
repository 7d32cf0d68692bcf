// A jobs file read a line at a time, never whole: UTF-8 (with or without a byte order mark)
// or UTF-16 with its byte order mark, as Windows editors save it. A line longer than any
// job needs is refused with its number instead of being held in memory.
#pragma once
#include <windows.h>

#include <string>

class JobsFile {
public:
    static constexpr size_t kMaxLineBytes = 1 << 20;
    // Past this many bytes of one over-long line, the rest of the file is not read.
    static constexpr unsigned long long kMaxSkippedBytes = 64ull << 20;

    explicit JobsFile(const std::wstring& path);
    ~JobsFile();
    JobsFile(const JobsFile&) = delete;
    JobsFile& operator=(const JobsFile&) = delete;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    // Why reading stopped before the end of the file (a device, a file that opens but cannot
    // be read); 0 when it was read to its end.
    DWORD ReadError() const { return m_nReadError; }
    // The next line as UTF-8, without its line break; false at the end. *pError is set (and
    // the line empty) when the line was too long or not readable as text.
    bool Next(std::string* pLine, size_t* pLineNo, std::wstring* pError);

private:
    bool Fill();
    bool NextUnit(unsigned* pUnit);

    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    int m_nUnitBytes = 1;    // 2 for UTF-16
    bool m_bBigEndian = false;
    char m_buffer[64 * 1024];
    DWORD m_nFilled = 0, m_nAt = 0;
    size_t m_nLine = 0;
    bool m_bEnd = false;
    DWORD m_nReadError = 0;
};
