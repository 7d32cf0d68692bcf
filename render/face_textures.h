// A face's image: loaded from a file into a texture on the scene's device, or taken away.
// Failures are silent and leave the face as it was.
#pragma once
#include "box_scene.h"

#include <string>

// Why a file could not become a face's texture.
struct FaceLoadFailure {
    enum Reason { None, Unreadable, NotAPicture, TooLarge, Damaged, Device } reason = None;
    UINT width = 0;  // the size the file claims, for TooLarge
    UINT height = 0;
};

// Why, in words for the user: "the file was not found or cannot be read" and so on.
std::wstring FaceLoadReason(const FaceLoadFailure& why);

// Replaces the face's texture with the picture in the file; false (nothing changed) if
// the file cannot be made into a texture, with the reason in *pWhy when given. A size
// beyond what a face can take is refused from the file's header, before any decoding.
bool LoadSideImage(BoxScene& scene, int nSlot, LPCWSTR pszPath, FaceLoadFailure* pWhy = nullptr);
void ClearSideImage(BoxScene& scene, int nSlot);

// A face's picture decoded without a device (for a 3D model), at most maxSide pixels a side,
// with the same checks and reasons as LoadSideImage. *pbJpeg: the file is a JPEG.
bool DecodeFacePicture(LPCWSTR pszPath, UINT maxSide, struct DecodedImage* pImage, bool* pbJpeg, FaceLoadFailure* pWhy);

// The memory a face texture holds, its mip levels included.
unsigned long long FaceTextureBytes(IDirect3DTexture9* pTexture);

// The size of the picture the texture was made from (a large one is made smaller; its
// proportions are the picture's): 0 x 0 for none.
SIZE FacePictureSize(IDirect3DTexture9* pTexture);

// A number given to each face picture when it is loaded, never given twice in a run (0: none).
unsigned long long FaceTextureSerial(IDirect3DTexture9* pTexture);
