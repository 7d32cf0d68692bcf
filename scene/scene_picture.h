// A picture as a scene holds it: decoded once, shared by the window, its undo steps and
// zelmora-render's batches, and never changed after it is made (a new file is a new picture).
// The renderer makes its own texture of it; the scene holds no device objects.
#pragma once
#include <memory>
#include <string>

#include "decoded_image.h"

struct ScenePicture {
    std::wstring path;                // the file it was read from
    unsigned width = 0, height = 0;   // the picture's own size; pixels may hold it smaller
    unsigned long long serial = 0;    // given to one picture only in a run
    bool bJpeg = false;
    DecodedImage pixels;              // opaque or straight alpha, at most kMaxPictureSide a side

    // The largest side a picture is held at: as large as a picture is drawn with it.
    static constexpr unsigned kMaxPictureSide = 8192;
    unsigned long long Bytes() const { return pixels.pixels.size() * sizeof(uint32_t); }
};

using PictureRef = std::shared_ptr<const ScenePicture>;

// A picture's own size; 0 x 0 for none.
struct PictureSize {
    unsigned width = 0, height = 0;
};
inline PictureSize SizeOf(const PictureRef& picture)
{
    return picture ? PictureSize{picture->width, picture->height} : PictureSize{};
}
