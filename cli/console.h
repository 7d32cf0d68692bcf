// Text to standard output and standard error: the console's own wide text when there is a
// console, UTF-8 when the stream is a pipe or a file (as it is under a Unix shell).
#pragma once
#include <string>

void PrintOut(const std::wstring& text);
void PrintErr(const std::wstring& text);
