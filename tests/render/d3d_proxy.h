// Stand-ins that sit in front of the real Direct3D objects so that tests can make a step
// fail or a device report itself lost.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include <deque>

// The Direct3D object, forwarding everything to the real one except the failures asked for.
class Direct3DProxy : public IDirect3D9 {
public:
    bool failDisplayMode = false;
    bool failDeviceFormat = false;
    bool failCaps = false;
    bool failCreateDevice = false;
    bool noMultisampling = false;       // every type but NONE is refused
    bool noVertexProcessingCaps = false;
    bool noFloatTargets = false;
    bool noDepth24 = false;             // depth buffers of 16 bits only        // no floating-point render target (nor blending into one)
    DWORD lastBehaviourFlags = 0;

    static Direct3DProxy* s_pNext;      // what the create function hands out
    static IDirect3D9* WINAPI Create(UINT sdkVersion);

    explicit Direct3DProxy(IDirect3D9* real) : m_real(real) {}
    virtual ~Direct3DProxy() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override { return m_real->QueryInterface(riid, ppv); }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE RegisterSoftwareDevice(void* p) override { return m_real->RegisterSoftwareDevice(p); }
    UINT STDMETHODCALLTYPE GetAdapterCount() override { return m_real->GetAdapterCount(); }
    HRESULT STDMETHODCALLTYPE GetAdapterIdentifier(UINT a, DWORD f, D3DADAPTER_IDENTIFIER9* p) override { return m_real->GetAdapterIdentifier(a, f, p); }
    UINT STDMETHODCALLTYPE GetAdapterModeCount(UINT a, D3DFORMAT f) override { return m_real->GetAdapterModeCount(a, f); }
    HRESULT STDMETHODCALLTYPE EnumAdapterModes(UINT a, D3DFORMAT f, UINT m, D3DDISPLAYMODE* p) override { return m_real->EnumAdapterModes(a, f, m, p); }
    HRESULT STDMETHODCALLTYPE GetAdapterDisplayMode(UINT a, D3DDISPLAYMODE* p) override
    {
        return failDisplayMode ? D3DERR_NOTAVAILABLE : m_real->GetAdapterDisplayMode(a, p);
    }
    HRESULT STDMETHODCALLTYPE CheckDeviceType(UINT a, D3DDEVTYPE t, D3DFORMAT f, D3DFORMAT b, BOOL w) override { return m_real->CheckDeviceType(a, t, f, b, w); }
    HRESULT STDMETHODCALLTYPE CheckDeviceFormat(UINT a, D3DDEVTYPE t, D3DFORMAT af, DWORD u, D3DRESOURCETYPE r, D3DFORMAT cf) override
    {
        if (noFloatTargets && (u & D3DUSAGE_RENDERTARGET) &&
            (cf == D3DFMT_A16B16G16R16F || cf == D3DFMT_A32B32G32R32F || cf == D3DFMT_R32F || cf == D3DFMT_R16F))
            return D3DERR_NOTAVAILABLE;
        if (noDepth24 && (cf == D3DFMT_D24S8 || cf == D3DFMT_D24X8 || cf == D3DFMT_D24X4S4 || cf == D3DFMT_D24FS8))
            return D3DERR_NOTAVAILABLE;
        return failDeviceFormat ? D3DERR_NOTAVAILABLE : m_real->CheckDeviceFormat(a, t, af, u, r, cf);
    }
    HRESULT STDMETHODCALLTYPE CheckDeviceMultiSampleType(UINT a, D3DDEVTYPE t, D3DFORMAT f, BOOL w, D3DMULTISAMPLE_TYPE m, DWORD* q) override
    {
        if (noMultisampling && m != D3DMULTISAMPLE_NONE)
            return D3DERR_NOTAVAILABLE;
        return m_real->CheckDeviceMultiSampleType(a, t, f, w, m, q);
    }
    HRESULT STDMETHODCALLTYPE CheckDepthStencilMatch(UINT a, D3DDEVTYPE t, D3DFORMAT af, D3DFORMAT rf, D3DFORMAT df) override { return m_real->CheckDepthStencilMatch(a, t, af, rf, df); }
    HRESULT STDMETHODCALLTYPE CheckDeviceFormatConversion(UINT a, D3DDEVTYPE t, D3DFORMAT s, D3DFORMAT d) override { return m_real->CheckDeviceFormatConversion(a, t, s, d); }
    HRESULT STDMETHODCALLTYPE GetDeviceCaps(UINT a, D3DDEVTYPE t, D3DCAPS9* p) override
    {
        if (failCaps)
            return D3DERR_NOTAVAILABLE;
        HRESULT hr = m_real->GetDeviceCaps(a, t, p);
        if (SUCCEEDED(hr) && noVertexProcessingCaps)
            p->VertexProcessingCaps = 0;
        return hr;
    }
    HMONITOR STDMETHODCALLTYPE GetAdapterMonitor(UINT a) override { return m_real->GetAdapterMonitor(a); }
    HRESULT STDMETHODCALLTYPE CreateDevice(UINT a, D3DDEVTYPE t, HWND h, DWORD f, D3DPRESENT_PARAMETERS* pp, IDirect3DDevice9** ppDev) override
    {
        lastBehaviourFlags = f;
        if (failCreateDevice)
            return D3DERR_NOTAVAILABLE;
        return m_real->CreateDevice(a, t, h, f, pp, ppDev);
    }

    LONG RefCount() const { return m_refs; }

private:
    IDirect3D9* m_real;
    LONG m_refs = 1;
};

// Makes a real device answer TestCooperativeLevel from a script, by pointing the object
// at a copy of its method table with two entries replaced. Reset goes to the real device.
class DeviceLossScript {
public:
    explicit DeviceLossScript(IDirect3DDevice9* pDevice);
    ~DeviceLossScript();
    std::deque<HRESULT> answers;  // consumed one per TestCooperativeLevel; then the real answer
    int resets = 0;
    int failedResets = 0;

private:
    static HRESULT STDMETHODCALLTYPE TestCooperativeLevel(IDirect3DDevice9* self);
    static HRESULT STDMETHODCALLTYPE Reset(IDirect3DDevice9* self, D3DPRESENT_PARAMETERS* pp);
    static DeviceLossScript* s_pActive;

    IDirect3DDevice9* m_pDevice;
    void** m_pOriginalTable;
    void* m_table[119];
};
