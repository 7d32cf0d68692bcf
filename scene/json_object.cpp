#include "json_object.h"

#include <windows.h>

#include <unordered_map>

namespace {

class Reader {
public:
    explicit Reader(const std::string& s) : m_s(s) {}

    void SkipSpace()
    {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t' || m_s[m_i] == '\r' || m_s[m_i] == '\n'))
            ++m_i;
    }
    bool Eat(char c)
    {
        SkipSpace();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    bool AtEnd()
    {
        SkipSpace();
        return m_i >= m_s.size();
    }
    char Peek()
    {
        SkipSpace();
        return m_i < m_s.size() ? m_s[m_i] : '\0';
    }
    // Line and column of the reader's place, both from 1.
    size_t Line()
    {
        for (; m_counted < m_i; ++m_counted)  // the place only moves forward
            m_lines += m_s[m_counted] == '\n';
        return m_lines;
    }
    size_t Column() const
    {
        size_t newline = m_s.rfind('\n', m_i ? m_i - 1 : 0);
        return newline == std::string::npos || newline >= m_i ? m_i + 1 : m_i - newline;
    }
    bool Multiline() const { return m_s.find('\n') != std::string::npos; }

    // A JSON string, its escapes resolved, as UTF-8.
    bool String(std::string* pOut)
    {
        if (!Eat('"'))
            return false;
        std::string out;
        while (m_i < m_s.size()) {
            char c = m_s[m_i++];
            if (c == '"') {
                *pOut = out;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return Why(L"a control character in a string (write it as \\u00XX)");
            if (static_cast<unsigned char>(c) >= 0x80) {
                --m_i;
                if (!Utf8Sequence(&out))
                    return Why(L"not UTF-8 text (a scene and a jobs file are UTF-8)");
                continue;
            }
            if (c != '\\') {
                out += c;
                continue;
            }
            if (m_i >= m_s.size())
                return false;
            char e = m_s[m_i++];
            switch (e) {
            case '"': case '\\': case '/': out += e; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'n': out += '\n'; break;
            case 'r': out += '\r'; break;
            case 't': out += '\t'; break;
            case 'u': {
                unsigned cp = 0;
                if (!Hex4(&cp))
                    return false;
                if (cp >= 0xDC00 && cp <= 0xDFFF)
                    return Why(L"half a surrogate pair (\\uDC00..\\uDFFF alone)");
                if (cp >= 0xD800 && cp < 0xDC00) {  // a surrogate pair
                    unsigned low = 0;
                    if (m_i + 1 >= m_s.size() || m_s[m_i] != '\\' || m_s[m_i + 1] != 'u')
                        return Why(L"half a surrogate pair (\\uD800..\\uDBFF alone)");
                    m_i += 2;
                    if (!Hex4(&low) || low < 0xDC00 || low > 0xDFFF)
                        return Why(L"half a surrogate pair (\\uD800..\\uDBFF alone)");
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, cp);
                break;
            }
            default:
                return false;
            }
        }
        return false;
    }

    // A number, true, false: the text as written.
    bool Scalar(std::string* pOut)
    {
        SkipSpace();
        size_t start = m_i;
        while (m_i < m_s.size() && (isalnum(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '-' ||
                                    m_s[m_i] == '+' || m_s[m_i] == '.'))
            ++m_i;
        *pOut = m_s.substr(start, m_i - start);
        return !pOut->empty();
    }

    // Why String() refused its string, when it knows more than "a broken string".
    const wchar_t* m_pszWhy = nullptr;

private:
    bool Why(const wchar_t* why)
    {
        m_pszWhy = why;
        return false;
    }

    // One character of UTF-8 at m_i, copied to *pOut: the shortest form only, no
    // surrogates, nothing past U+10FFFF.
    bool Utf8Sequence(std::string* pOut)
    {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(m_s[m_i + k]); };
        const unsigned char lead = byte(0);
        size_t n = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (n == 0 || m_i + n > m_s.size())
            return false;
        unsigned char lo = 0x80, hi = 0xBF;  // the second byte's range
        if (lead == 0xE0) lo = 0xA0;
        if (lead == 0xED) hi = 0x9F;
        if (lead == 0xF0) lo = 0x90;
        if (lead == 0xF4) hi = 0x8F;
        if (byte(1) < lo || byte(1) > hi)
            return false;
        for (size_t k = 2; k < n; ++k)
            if (byte(k) < 0x80 || byte(k) > 0xBF)
                return false;
        pOut->append(m_s, m_i, n);
        m_i += n;
        return true;
    }

    bool Hex4(unsigned* pValue)
    {
        if (m_i + 4 > m_s.size())
            return false;
        unsigned v = 0;
        for (int k = 0; k < 4; ++k) {
            char c = m_s[m_i++];
            v <<= 4;
            if (c >= '0' && c <= '9') v |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') v |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') v |= static_cast<unsigned>(c - 'A' + 10);
            else return false;
        }
        *pValue = v;
        return true;
    }
    static void AppendUtf8(std::string& out, unsigned cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (cp >> 18));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    const std::string& m_s;
    size_t m_i = 0;
    size_t m_counted = 0;  // newlines before m_counted: m_lines - 1
    size_t m_lines = 1;
};

} // namespace

std::wstring WideFromUtf8(const std::string& s)
{
    if (s.empty())
        return std::wstring();
    int n = ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}


std::string Utf8FromWide(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

namespace {

// The members of one object, the reader just past its '{'. A list of flat objects is taken
// as a member's value at the top level only.
bool ParseMembers(Reader& r, bool bTopLevel, std::vector<JsonMember>* pMembers, std::wstring* pError);

bool Fail(Reader& r, const std::wstring& what, std::wstring* pError)
{
    *pError = what + L" at " +
              (r.Multiline() ? L"line " + std::to_wstring(r.Line()) + L", column " : std::wstring(L"column ")) +
              std::to_wstring(r.Column());
    return false;
}

bool ParseList(Reader& r, JsonMember* pMember, std::wstring* pError)
{
    pMember->bString = false;
    pMember->bList = true;
    if (r.Eat(']'))
        return true;
    for (;;) {
        if (!r.Eat('{'))
            return Fail(r, L"expected an object ({...}) in the list", pError);
        pMember->objects.emplace_back();
        if (!ParseMembers(r, false, &pMember->objects.back(), pError))
            return false;
        if (r.Eat(','))
            continue;
        if (r.Eat(']'))
            return true;
        return Fail(r, L"expected ',' or ']'", pError);
    }
}

bool ParseMembers(Reader& r, bool bTopLevel, std::vector<JsonMember>* pMembers, std::wstring* pError)
{
    pMembers->clear();
    std::unordered_map<std::string, size_t> lineOfName;
    if (r.Eat('}'))
        return true;
    for (;;) {
        JsonMember member;
        r.SkipSpace();
        member.line = r.Line();
        std::string value;
        if (!r.String(&member.name))
            return Fail(r, r.m_pszWhy ? r.m_pszWhy : L"expected a quoted option name", pError);
        auto first = lineOfName.emplace(member.name, member.line);
        if (!first.second)
            return Fail(r, L"a second \"" + WideFromUtf8(member.name) + L"\" (line " + std::to_wstring(first.first->second) +
                               L" has the first)", pError);
        if (!r.Eat(':'))
            return Fail(r, L"expected ':'", pError);
        char c = r.Peek();
        if (c == '"') {
            if (!r.String(&value))
                return Fail(r, r.m_pszWhy ? r.m_pszWhy : L"a broken string", pError);
        } else if (c == '[' && bTopLevel) {
            r.Eat('[');
            if (!ParseList(r, &member, pError))
                return false;
        } else if (c == '{' || c == '[') {
            return Fail(r, L"nested objects and lists are not options", pError);
        } else if (!r.Scalar(&value)) {
            return Fail(r, L"expected a value", pError);
        } else if (value == "null") {
            return Fail(r, L"\"" + WideFromUtf8(member.name) + L"\": null is not a value (leave the option out to keep "
                               L"what it would be)", pError);
        } else {
            member.bString = false;
        }
        member.value = WideFromUtf8(value);
        pMembers->push_back(std::move(member));
        if (r.Eat(','))
            continue;
        if (r.Eat('}'))
            return true;
        return Fail(r, L"expected ',' or '}'", pError);
    }
}

} // namespace

bool ParseJsonObject(const std::string& utf8, std::vector<JsonMember>* pMembers, std::wstring* pError)
{
    Reader r(utf8);
    if (!r.Eat('{'))
        return Fail(r, L"expected a JSON object ({...})", pError);
    if (!ParseMembers(r, true, pMembers, pError))
        return false;
    return r.AtEnd() ? true : Fail(r, L"text after the object", pError);
}
