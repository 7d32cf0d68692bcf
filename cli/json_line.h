// One line of a jobs file: a flat JSON object of names and values (strings, numbers,
// true/false). Nested objects and arrays are refused.
#pragma once
#include <string>
#include <vector>

// The pairs in order; values as text (numbers as written). False with the reason.
bool ParseJsonLine(const std::string& utf8, std::vector<std::pair<std::string, std::wstring>>* pPairs,
                   std::wstring* pError);
