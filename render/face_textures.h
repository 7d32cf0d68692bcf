// The device's textures of the scene's pictures: one per picture, made when a frame first
// draws it and kept while the picture is held anywhere (a face, an undo step, a batch).
#pragma once
#include <windows.h>
#include <d3d9.h>

#include <vector>

#include "com_ptr.h"
#include "picture_store.h"

class FaceTextures {
public:
    FaceTextures() = default;
    ~FaceTextures() { Release(); }
    FaceTextures(const FaceTextures&) = delete;
    FaceTextures& operator=(const FaceTextures&) = delete;

    // The picture's texture, made now if it has none: mipmapped, each level the area average
    // in light of the one above; as large as the device takes (a half, a quarter.. where it
    // has no room). Null for no picture, or when the device cannot make one.
    IDirect3DTexture9* For(IDirect3DDevice9* pDevice, const PictureRef& picture);
    // Frees the textures of pictures nobody holds any more.
    void DropUnheld();
    void Release();
    size_t Count() const { return m_entries.size(); }

private:
    struct Entry {
        std::weak_ptr<const ScenePicture> picture;
        const ScenePicture* pKey = nullptr;
        unsigned long long serial = 0;
        ComPtr<IDirect3DTexture9> texture;
    };
    std::vector<Entry> m_entries;
};

// A managed texture of the picture with a full mipmap chain, each level the area average, in
// light, of the one above (a fine black and white pattern seen small is the grey it looks,
// 188, not 128); as large as the device takes.
HRESULT CreateMippedTexture(IDirect3DDevice9* pDevice, const DecodedImage& picture, IDirect3DTexture9** ppTexture);

// The memory a face texture holds, its mip levels included.
unsigned long long FaceTextureBytes(IDirect3DTexture9* pTexture);
