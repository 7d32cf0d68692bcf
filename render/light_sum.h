// The studio's soft light: the same frame drawn with its key light at several places over
// the light's size, averaged. Each drawing is resolved into Drawing(), added into a
// floating-point sum, and the average is written back into an ordinary target.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "com_ptr.h"
#include "pass_states.h"

class LightSum {
public:
    // Ready for drawings of width x height in format (the picture's own): false where the
    // device has no floating-point target it can blend into, or no pixel shaders.
    bool Prepare(IDirect3D9* pD3D, IDirect3DDevice9* pDevice, UINT width, UINT height, D3DFORMAT format);
    // Where the next drawing is resolved before it is added.
    IDirect3DSurface9* Drawing() const { return m_pDrawingSurface; }
    // Adds Drawing() into the sum; the first drawing of a sum replaces what it held.
    void Add(IDirect3DDevice9* pDevice, bool bFirst);
    // The sum divided by count into pTarget (the size prepared).
    void AverageInto(IDirect3DDevice9* pDevice, IDirect3DSurface9* pTarget, unsigned count);
    void Release();

private:
    void DrawQuad(IDirect3DDevice9* pDevice, IDirect3DTexture9* pSource, float scale, PassStates::Blend blend);

    UINT m_width = 0, m_height = 0;
    D3DFORMAT m_format = D3DFMT_UNKNOWN;
    ComPtr<IDirect3DPixelShader9> m_pShader;
    ComPtr<IDirect3DTexture9> m_pDrawing;  // default pool, the picture's format
    ComPtr<IDirect3DSurface9> m_pDrawingSurface;
    ComPtr<IDirect3DTexture9> m_pSum;      // default pool, floating point
    ComPtr<IDirect3DSurface9> m_pSumSurface;
};
