// Where a picture is written, as the file system sees it: one key per file whatever its
// spelling (case, a link to its folder, a second hard link to it), and whether it lies
// below the one folder a run may write into.
#pragma once
#include <string>

// The same number for every name of one file: two lines naming it write one picture.
unsigned long long OutputKey(const std::wstring& output);

// --output-root: every picture lies below this folder, or is refused.
class OutputRoot {
public:
    // False with the reason when the folder is not there.
    bool Set(const std::wstring& folder, std::wstring* pError);
    bool IsSet() const { return !m_root.empty(); }
    // Empty when `output` may be written; else why not, for the user.
    std::wstring Refusal(const std::wstring& output) const;

private:
    std::wstring m_root;  // full path, ending in a backslash
};
