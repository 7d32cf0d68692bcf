// The target a frame is drawn into (colour, depth, viewport), taken from the device and put
// back when this goes: for drawing elsewhere in between (a picture, a shadow map).
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "com_ptr.h"

class TargetSwap {
public:
    explicit TargetSwap(IDirect3DDevice9* pDevice) : m_pDevice(pDevice)
    {
        pDevice->GetRenderTarget(0, &m_pTarget);
        pDevice->GetDepthStencilSurface(&m_pDepth);
        pDevice->GetViewport(&m_viewport);
    }
    ~TargetSwap()
    {
        m_pDevice->SetRenderTarget(0, m_pTarget);
        m_pDevice->SetDepthStencilSurface(m_pDepth);
        m_pDevice->SetViewport(&m_viewport);
        m_pDepth.Reset();
        m_pTarget.Reset();
    }
    TargetSwap(const TargetSwap&) = delete;
    TargetSwap& operator=(const TargetSwap&) = delete;

private:
    IDirect3DDevice9* m_pDevice;
    ComPtr<IDirect3DSurface9> m_pTarget;
    ComPtr<IDirect3DSurface9> m_pDepth;
    D3DVIEWPORT9 m_viewport = {};
};
