// COM for the platform's image codecs: an owning pointer, and COM for the length of a call
// whatever the thread had before.
#pragma once
#include <objbase.h>
#include <wincodec.h>

template <class T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() { if (p) p->Release(); }
    T** operator&() { return &p; }
    T* operator->() const { return p; }
};

struct ComScope {
    HRESULT hr = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~ComScope() { if (SUCCEEDED(hr)) ::CoUninitialize(); }
};

// The platform's imaging factory, for decoding and encoding.
inline HRESULT CreateImagingFactory(IWICImagingFactory** ppFactory)
{
    return ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                              reinterpret_cast<void**>(ppFactory));
}
