// The studio's soft light, gathered: each placement of the key light and the sky adds the
// light it gives the model's pixels into the model's buffer and the darkness its shadows
// give the floor into the floor's, floating-point targets of the frame's size; the frame is
// then drawn once from their averages (each placement draws only its shadows, not the
// pictures and the finish).
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "com_ptr.h"

class LightBuffer {
public:
    // Ready for frames of width x height (depth in the device's format): false where the
    // device has no floating-point target it can add into.
    bool Prepare(IDirect3D9* pD3D, IDirect3DDevice9* pDevice, UINT width, UINT height, D3DFORMAT depthFormat);
    // Nothing gathered: both buffers cleared, and the depth the model's light is gathered
    // against (the model's nearest surfaces, drawn into it next).
    void Clear(IDirect3DDevice9* pDevice);
    IDirect3DSurface9* Model() const { return m_pModelSurface; }
    IDirect3DTexture9* ModelTexture() const { return m_pModel; }
    IDirect3DSurface9* Floor() const { return m_pFloorSurface; }
    IDirect3DTexture9* FloorTexture() const { return m_pFloor; }
    IDirect3DSurface9* Depth() const { return m_pDepth; }
    // One over the width and height, for a shader reading the buffers texel for pixel.
    void TexelSize(float* pConstant) const;
    void Release();

private:
    UINT m_width = 0, m_height = 0;
    ComPtr<IDirect3DTexture9> m_pModel;  // default pool, floating point
    ComPtr<IDirect3DSurface9> m_pModelSurface;
    ComPtr<IDirect3DTexture9> m_pFloor;  // default pool, floating point
    ComPtr<IDirect3DSurface9> m_pFloorSurface;
    ComPtr<IDirect3DSurface9> m_pDepth;  // default pool, not multisampled
};
