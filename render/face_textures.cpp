#include <d3dx9.h>

#include "box_renderer.h"
#include "face_textures.h"

bool LoadSideImage(BoxScene& scene, int nSlot, LPCWSTR pszPath)
{
    if (nSlot < 0 || nSlot >= kSideCount || !scene.m_pDevice || !pszPath)
        return false;
    IDirect3DTexture9* pTexture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileW(scene.m_pDevice, pszPath, &pTexture)) || !pTexture) {
        if (pTexture)
            pTexture->Release();
        return false;
    }
    IDirect3DTexture9*& slot = scene.m_pFaceTexture[nSlot];
    pTexture->AddRef();
    IDirect3DTexture9* pOld = slot;
    slot = pTexture;
    if (pOld)
        pOld->Release();
    pTexture->Release();  // the scene's reference is the only one now
    return true;
}

void ClearSideImage(BoxScene& scene, int nSlot)
{
    if (nSlot >= 0 && nSlot < kSideCount)
        SafeRelease(scene.m_pFaceTexture[nSlot]);
}
