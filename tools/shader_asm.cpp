// Assembles a Direct3D 9 shader written in shader assembly into a header of its tokens, at
// build time: the programs then create the shader from the tokens and need no compiler DLL
// (a stock Windows has no d3dx9_43.dll). The assembler is the system's d3dcompiler_47.dll
// (Wine's where the build runs under Wine), loaded by name.
// Usage: shader_asm IN.asm OUT.h NAME   (writes `const DWORD NAME[] = {...};`)
#include <windows.h>
#include <d3dcommon.h>

#include <cstdio>
#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "com_ptr.h"

namespace {

using D3DAssembleFn = HRESULT(WINAPI*)(const void* data, SIZE_T size, const char* filename,
                                       const D3D_SHADER_MACRO* defines, ID3DInclude* include, UINT flags,
                                       ID3DBlob** shader, ID3DBlob** messages);

int Fail(const std::string& message)
{
    std::fprintf(stderr, "shader_asm: %s\n", message.c_str());
    return 1;
}

// A shader may #include a part it shares with others, named from its own folder.
class IncludeBeside : public ID3DInclude {
public:
    explicit IncludeBeside(std::string folder) : m_folder(std::move(folder)) {}
    HRESULT STDMETHODCALLTYPE Open(D3D_INCLUDE_TYPE, LPCSTR name, LPCVOID, LPCVOID* pData, UINT* pBytes) override
    {
        std::ifstream in(m_folder + name, std::ios::binary);
        if (!in)
            return E_FAIL;
        std::stringstream text;
        text << in.rdbuf();
        m_open.push_back(std::make_unique<std::string>(text.str()));
        *pData = m_open.back()->data();
        *pBytes = static_cast<UINT>(m_open.back()->size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Close(LPCVOID pData) override
    {
        m_open.erase(std::remove_if(m_open.begin(), m_open.end(),
                                    [&](const std::unique_ptr<std::string>& text) { return text->data() == pData; }),
                     m_open.end());
        return S_OK;
    }

private:
    std::string m_folder;
    std::vector<std::unique_ptr<std::string>> m_open;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4)
        return Fail("usage: shader_asm IN.asm OUT.h NAME");
    std::ifstream in(argv[1], std::ios::binary);
    if (!in)
        return Fail(std::string(argv[1]) + ": cannot be read");
    std::stringstream source;
    source << in.rdbuf();
    const std::string text = source.str();

    HMODULE hCompiler = ::LoadLibraryW(L"d3dcompiler_47.dll");
    auto assemble = hCompiler ? reinterpret_cast<D3DAssembleFn>(reinterpret_cast<void*>(::GetProcAddress(hCompiler, "D3DAssemble"))) : nullptr;
    if (!assemble)
        return Fail("d3dcompiler_47.dll with D3DAssemble is not on this system");
    ComPtr<ID3DBlob> code, messages;
    std::string folder = argv[1];
    folder.erase(folder.find_last_of("/\\") + 1);
    IncludeBeside include(folder);
    const HRESULT hr = assemble(text.data(), text.size(), argv[1], nullptr, &include, 0, &code, &messages);
    if (FAILED(hr) || !code) {
        std::string why = messages ? std::string(static_cast<const char*>(messages->GetBufferPointer()),
                                                 messages->GetBufferSize())
                                   : "no messages";
        return Fail(std::string(argv[1]) + ": " + why);
    }
    const DWORD* tokens = static_cast<const DWORD*>(code->GetBufferPointer());
    const size_t count = code->GetBufferSize() / sizeof(DWORD);
    std::ofstream out(argv[2], std::ios::binary);
    out << "// Made by shader_asm from " << argv[1] << " at build time: do not edit.\n#pragma once\n"
        << "#include <windows.h>\n\nconst DWORD " << argv[3] << "[] = {";
    char number[16];
    for (size_t i = 0; i < count; ++i) {
        std::snprintf(number, sizeof number, "0x%08lx", static_cast<unsigned long>(tokens[i]));
        out << (i % 8 ? " " : "\n    ") << number << ",";
    }
    out << "\n};\n";
    return out ? 0 : Fail(std::string(argv[2]) + ": cannot be written");
}
