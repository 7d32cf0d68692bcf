// COM for the platform's image codecs, for the length of a call whatever the thread had
// before.
#pragma once
#include <objbase.h>
#include <wincodec.h>

#include "com_ptr.h"


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
