#include "d3d_proxy.h"

#include <cstring>

Direct3DProxy* Direct3DProxy::s_pNext = nullptr;
DeviceLossScript* DeviceLossScript::s_pActive = nullptr;

IDirect3D9* WINAPI Direct3DProxy::Create(UINT)
{
    return s_pNext;
}

ULONG Direct3DProxy::Release()
{
    LONG n = --m_refs;
    if (n == 0) {
        m_real->Release();
        delete this;
    }
    return static_cast<ULONG>(n);
}

namespace {
constexpr int kTestCooperativeLevelSlot = 3;
constexpr int kResetSlot = 16;
using TestCooperativeLevelFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*);
using ResetFn = HRESULT(STDMETHODCALLTYPE*)(IDirect3DDevice9*, D3DPRESENT_PARAMETERS*);
}

DeviceLossScript::DeviceLossScript(IDirect3DDevice9* pDevice) : m_pDevice(pDevice)
{
    m_pOriginalTable = *reinterpret_cast<void***>(pDevice);
    std::memcpy(m_table, m_pOriginalTable, sizeof(m_table));
    m_table[kTestCooperativeLevelSlot] = reinterpret_cast<void*>(&TestCooperativeLevel);
    m_table[kResetSlot] = reinterpret_cast<void*>(&Reset);
    *reinterpret_cast<void***>(pDevice) = m_table;
    s_pActive = this;
}

DeviceLossScript::~DeviceLossScript()
{
    *reinterpret_cast<void***>(m_pDevice) = m_pOriginalTable;
    s_pActive = nullptr;
}

HRESULT STDMETHODCALLTYPE DeviceLossScript::TestCooperativeLevel(IDirect3DDevice9* self)
{
    DeviceLossScript* s = s_pActive;
    if (!s->answers.empty()) {
        HRESULT hr = s->answers.front();
        s->answers.pop_front();
        return hr;
    }
    return reinterpret_cast<TestCooperativeLevelFn>(s->m_pOriginalTable[kTestCooperativeLevelSlot])(self);
}

HRESULT STDMETHODCALLTYPE DeviceLossScript::Reset(IDirect3DDevice9* self, D3DPRESENT_PARAMETERS* pp)
{
    DeviceLossScript* s = s_pActive;
    ++s->resets;
    HRESULT hr = reinterpret_cast<ResetFn>(s->m_pOriginalTable[kResetSlot])(self, pp);
    if (FAILED(hr))
        ++s->failedResets;
    return hr;
}
