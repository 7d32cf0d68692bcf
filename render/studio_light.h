// The studio light's device objects: its shaders, the key light's shadow map (a depth
// texture, compared by the device as it is read), the sky's (from one of its directions at a
// time) and a white picture for parts without one.
#pragma once
#include <windows.h>
#include <d3d9.h>

#include "com_ptr.h"
#include "key_light.h"

// The lights of one drawing in the studio: the key light (placed on its face) and, where
// several drawings are averaged, one of the sky's directions, each with the transform into
// its shadow map.
struct StudioLights {
    KeyLight key;
    Mat4 toKeyMap;
    bool bSky = false;
    KeyLight sky;
    Mat4 toSkyMap;
};

class StudioLight {
public:
    static constexpr UINT kMapTexels = 2048;
    static constexpr UINT kSkyMapTexels = 1024;  // the sky's shadows are soft: a coarser map

    // The shaders, on a device with shader model 3.0 and depth textures; false where it
    // lacks them (the studio then draws with the light at the eye).
    bool CreateShaders(IDirect3D9* pD3D, IDirect3DDevice9* pDevice);
    // The default pool's part: made on demand, freed before a reset.
    bool CreateTargets(IDirect3DDevice9* pDevice);
    void ReleaseTargets();
    void Release();
    bool Ready() const
    {
        return m_pVertexShader && m_pDraftShader && m_pDraftToneShader && m_pModelShader && m_pFloorShader && m_pModelLightShader &&
               m_pSummedModelShader && m_pSummedFloorShader;
    }
    // Whether CreateShaders was called on this device (it is not tried again when it failed).
    bool Tried() const { return m_bTried; }

    ComPtr<IDirect3DVertexShader9> m_pVertexShader;
    ComPtr<IDirect3DVertexShader9> m_pDraftShader;  // a moving frame's lights, per vertex
    ComPtr<IDirect3DPixelShader9> m_pDraftToneShader;  // and its colour in the neutral tone
    ComPtr<IDirect3DPixelShader9> m_pModelShader;        // one drawing's
    ComPtr<IDirect3DPixelShader9> m_pFloorShader;
    ComPtr<IDirect3DPixelShader9> m_pModelLightShader;   // a placement's light, gathered
    ComPtr<IDirect3DPixelShader9> m_pSummedModelShader;  // drawn from the gathered light
    ComPtr<IDirect3DPixelShader9> m_pSummedFloorShader;
    ComPtr<IDirect3DTexture9> m_pWhite;        // managed, 1 x 1
    bool m_bTried = false;
    ComPtr<IDirect3DTexture9> m_pShadowMap;    // default pool, the key light's depth
    ComPtr<IDirect3DSurface9> m_pMapColour;    // default pool: a target nothing is written to
    ComPtr<IDirect3DTexture9> m_pSkyMap;       // default pool, the sky's depth
    ComPtr<IDirect3DSurface9> m_pSkyColour;    // default pool, the sky map's size
};
