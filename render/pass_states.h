// The render states a pass of the frame draws with, all of them: each pass begins by setting
// its whole set, so that none depends on what the pass before it left behind. A pass says
// only where it differs from an opaque, lit, depth-tested drawing of the model.
#pragma once
#include <windows.h>
#include <d3d9.h>

struct PassStates {
    enum Blend {
        Opaque,
        Over,  // the source's alpha over what is there; the target's alpha gains the coverage
        Add,   // summed
    };
    bool bDepthTest = true;
    bool bDepthWrite = true;
    D3DCULL cull = D3DCULL_CCW;
    bool bLighting = true;     // the fixed stages' lights, their highlights too
    DWORD colourWrite = 0xF;
    bool bEncodeSrgb = false;  // the pass writes light; the target encodes it as sRGB
    Blend blend = Opaque;
    float slopeBias = 0, depthBias = 0;  // a shadow map's, to keep a surface off itself

    void Apply(IDirect3DDevice9* pDevice) const;
};
