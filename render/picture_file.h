// A picture drawn straight into its file, band by band as the tiles are finished, so that
// its size is bounded by the device and not by memory. The file appears only once complete.
#pragma once
#include <string>

#include "box_renderer.h"
#include "picture_writer.h"

// Pictures with more pixels than this are drawn into their file; smaller ones are drawn
// whole into memory, where a batch can encode one while the next is drawn.
constexpr unsigned long long kWholePicturePixels = BoxRenderer::kTilePixels;

HRESULT RenderPictureToFile(BoxRenderer& renderer, const PictureRequest& request, const PictureFormat& format,
                            const std::wstring& path, PictureDrawTimings* pTimings = nullptr,
                            const std::function<void(const wchar_t*)>& onStage = nullptr);
