// A picture drawn straight into its file, band by band as the tiles are finished, so that
// its size is bounded by the device and not by memory. The file appears only once complete.
#pragma once
#include <string>

#include "box_renderer.h"
#include "picture_writer.h"

// Pictures with more pixels than this are drawn into their file; smaller ones are drawn
// whole into memory, where a batch can encode one while the next is drawn.
constexpr unsigned long long kWholePicturePixels = BoxRenderer::kTilePixels;

// *pBackgroundOnly: the picture held nothing but its background (the box out of view), and
// nothing was written; the result is then S_FALSE.
HRESULT RenderPictureToFile(BoxRenderer& renderer, const PictureRequest& request, const PictureFormat& format,
                            const std::wstring& path, bool* pBackgroundOnly, PictureDrawTimings* pTimings = nullptr,
                            const std::function<void(const wchar_t*)>& onStage = nullptr);
