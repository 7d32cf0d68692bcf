// Writing a file so that a failure never leaves a broken or half-replaced one: the data
// goes to a new temporary file beside the target, which replaces the target only once it
// is complete. A read-only target is refused.
#pragma once
#include <windows.h>

HRESULT ReplaceFileContents(LPCWSTR pszPath, const void* pData, DWORD nBytes);
