// A JSON object of names and values (strings, numbers, true/false): a jobs file's line or a
// whole scene file. A member may hold a list of flat objects (a scene's views); other
// nesting is refused.
#pragma once
#include <string>
#include <vector>

struct JsonMember {
    JsonMember() = default;
    JsonMember(std::string n, std::wstring v, bool bStr = true) : name(std::move(n)), value(std::move(v)), bString(bStr) {}

    std::string name;
    std::wstring value;   // strings with their escapes resolved; numbers and true/false as written
    bool bString = true;  // false: a number or true/false
    size_t line = 1;      // where the member starts in the text
    bool bList = false;   // a list: its objects, no value
    std::vector<std::vector<JsonMember>> objects;
};

// The members in order. False with the reason and its place ("line 3, column 9" in text of
// several lines, else "column 9").
// UTF-8 and UTF-16, for names and values in messages.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& text);

bool ParseJsonObject(const std::string& utf8, std::vector<JsonMember>* pMembers, std::wstring* pError);
