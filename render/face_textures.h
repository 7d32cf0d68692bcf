// A face's image: loaded from a file into a texture on the scene's device, or taken away.
// Failures are silent and leave the face as it was.
#pragma once
#include "box_scene.h"

// Replaces the face's texture with the picture in the file; false (nothing changed) if
// the file cannot be made into a texture.
bool LoadSideImage(BoxScene& scene, int nSlot, LPCWSTR pszPath);
void ClearSideImage(BoxScene& scene, int nSlot);
