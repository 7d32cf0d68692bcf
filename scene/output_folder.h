// The folder a picture goes into, made (with the folders above it) when it is not there yet.
#pragma once
#include <string>

// True when the folder of `output` exists or was made; else false with the reason, naming
// the folder as the user wrote it.
bool MakeOutputFolder(const std::wstring& output, std::wstring* pError);
