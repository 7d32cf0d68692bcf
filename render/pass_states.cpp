#include "pass_states.h"

#include <cstring>

namespace {

DWORD FloatBits(float f)
{
    DWORD d;
    std::memcpy(&d, &f, sizeof d);
    return d;
}

} // namespace

void PassStates::Apply(IDirect3DDevice9* pDevice) const
{
    pDevice->SetRenderState(D3DRS_ZENABLE, bDepthTest);
    pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, bDepthWrite);
    pDevice->SetRenderState(D3DRS_CULLMODE, cull);
    pDevice->SetRenderState(D3DRS_LIGHTING, bLighting);
    pDevice->SetRenderState(D3DRS_SPECULARENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    pDevice->SetRenderState(D3DRS_COLORWRITEENABLE, colourWrite);
    pDevice->SetRenderState(D3DRS_SRGBWRITEENABLE, bEncodeSrgb);
    pDevice->SetRenderState(D3DRS_SLOPESCALEDEPTHBIAS, FloatBits(slopeBias));
    pDevice->SetRenderState(D3DRS_DEPTHBIAS, FloatBits(depthBias));
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, blend != Opaque);
    pDevice->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    pDevice->SetRenderState(D3DRS_SEPARATEALPHABLENDENABLE, blend == Over);
    if (blend == Over) {
        pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        pDevice->SetRenderState(D3DRS_SRCBLENDALPHA, D3DBLEND_ONE);
        pDevice->SetRenderState(D3DRS_DESTBLENDALPHA, D3DBLEND_INVSRCALPHA);
    } else if (blend == Add) {
        pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    }
}
