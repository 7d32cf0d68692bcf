// Painting over what is there with the source's alpha; the target's alpha (a transparent
// picture) gains the coverage, so that the straight colour can be divided out again.
#pragma once
#include <windows.h>
#include <d3d9.h>

inline void BlendOver(IDirect3DDevice9* pDevice)
{
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    pDevice->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
    pDevice->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_INVSRCALPHA);
}
