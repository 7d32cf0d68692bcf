#include "model_file.h"

#include "device_shape.h"
#include "screen_fit.h"
#include "spread_of_pages.h"

#include <algorithm>

#include "book_cover.h"
#include "key_light.h"
#include "light_kinds.h"
#include "box_model.h"
#include "picture_store.h"
#include "file_open.h"
#include "file_replace.h"
#include "page_edge_image.h"
#include "picture_writer.h"
#include "scene_camera.h"
#include "shapes.h"
#include "stage_layout.h"

namespace {

// What lies past a cover's trim (the bleed, a case wrap's turn-ins) becomes the trim's edge:
// a viewer's smaller copies of the picture then never carry the bleed's colour onto the book.
void ClampToTrim(DecodedImage& image, const CoverLayout& layout)
{
    UINT x0, x1, y0, y1;
    TexelsInside(layout.back[0], layout.front[1], image.width, &x0, &x1);
    TexelsInside(layout.top, layout.bottom, image.height, &y0, &y1);
    --x1, --y1;  // the last inside
    std::vector<uint32_t> clamped(image.pixels.size());
    for (UINT y = 0; y < image.height; ++y)
        for (UINT x = 0; x < image.width; ++x)
            clamped[static_cast<size_t>(y) * image.width + x] =
                image.pixels[static_cast<size_t>(std::clamp(y, y0, y1)) * image.width + std::clamp(x, x0, x1)];
    image.pixels.swap(clamped);
}

} // namespace

bool IsModelName(const std::wstring& path)
{
    return path.size() > 4 && _wcsicmp(path.c_str() + path.size() - 4, L".glb") == 0;
}

namespace {

// A product's pictures decoded and encoded for the model, and its shape (a cover picture
// gives a book its spine). False with the face at fault.
bool ModelProductOf(const ProductDescription& product, const int* values, int textureSide, int quality,
                    ModelProduct* pOut, ShapeSpec* pSpec, ModelFileFailure* pFailure)
{
    const bool bBox = !TakesCover(values[kValueShape]);  // no cover, no pages
    const bool bPagesMakeSpread = ShapeOf(values[kValueShape]).ownPicture == SideSpread && product.facePaths[SideSpread].empty();
    DecodedImage cover, pages[2];  // pages: an open book's left and right, where they make its spread
    for (int s = 0; s < kPictureCount; ++s) {
        const std::wstring& picturePath = product.facePaths[s];
        if (picturePath.empty() || (s == SideCover && bBox))  // a box wraps no cover
            continue;
        ModelPicture& out = pOut->pictures[s];
        std::wstring refusal = PathRefusal(picturePath, !product.faceNamedByFile[s]);
        DecodedImage picture;
        FaceLoadFailure why;
        if (refusal.empty() &&
            !DecodeFacePicture(picturePath.c_str(), static_cast<UINT>(textureSide), &picture, &out.bJpeg, &why))
            refusal = FaceLoadReason(why);
        DeviceScreen screen;
        if (refusal.empty() && s == SideScreen && DeviceScreenOf(values, &screen)) {
            // The screen as the preview shows it: fitted, in ink on an e-reader.
            ScreenFit fit;
            fit.aspect = screen.width / screen.height;
            fit.bCrop = screen.fit == ScreenCover;
            const Colour bars = product.faceColours[SideScreen];
            fit.bars = OpaqueArgbOf(bars);
            fit.bInk = screen.bInk;
            fit.bColourInk = screen.bColourInk;
            fit.maxSide = static_cast<unsigned>(textureSide);
            picture = FitToScreen(picture, fit);
        }
        if (refusal.empty() && bPagesMakeSpread && (s == SideLeft || s == SideRight))
            pages[s == SideLeft ? 0 : 1] = picture;
        if (refusal.empty() && s == SideCover) {
            const ShapeSpec spec = ShapeSpecOf(values, picture.width, picture.height, nullptr, &refusal);
            if (spec.bCover)
                ClampToTrim(picture, spec.cover);
            cover = picture;
        }
        // A JPEG stays a JPEG (photographs are smaller so); anything else becomes a PNG.
        PictureFormat format;
        format.bJpeg = out.bJpeg;
        format.quality = quality;
        if (refusal.empty() && FAILED(EncodePicture(picture, format, &out.bytes)))
            refusal = L"the picture could not be encoded for the model (out of memory?)";
        if (!refusal.empty()) {
            pFailure->face = s;
            pFailure->reason = refusal;
            return false;
        }
    }
    if (pages[0].width || pages[1].width) {
        // The spread as the preview shows it: the two pages side by side.
        const Colour paper = product.faceColours[SideSpread];
        const DecodedImage spread =
            SpreadOfPages(pages[0].width ? &pages[0] : nullptr, pages[1].width ? &pages[1] : nullptr,
                          OpaqueArgbOf(paper),
                          static_cast<unsigned>(textureSide) * 2);
        if (FAILED(EncodePicture(spread, PictureFormat{}, &pOut->pictures[SideSpread].bytes))) {
            pFailure->face = -1;
            pFailure->reason = L"the spread could not be encoded for the model (out of memory?)";
            return false;
        }
    }
    for (bool bAcross : {false, true})
        if (!bBox && FAILED(EncodePicture(PageEdgeImage(values[kValuePaper], bAcross), PictureFormat{},
                                          &pOut->pictures[bAcross ? kModelPaperAcross : kModelPaperDown].bytes))) {
            *pFailure = {-1, 0, L"the page edges could not be encoded for the model (out of memory?)"};
            return false;
        }
    std::copy(std::begin(product.faceColours), std::end(product.faceColours), pOut->colours);
    pOut->finish = values[kValueFinish];
    *pSpec = ShapeSpecOf(values, cover.width, cover.height);
    return true;
}

} // namespace

bool WriteModelFile(const SceneDescription& scene, int textureSide, int quality, const std::wstring& path,
                    ModelFileFailure* pFailure, const std::string& record)
{
    std::vector<ModelProduct> products(static_cast<size_t>(ProductCount(scene)));
    std::vector<StageProduct> shapes(products.size());
    for (int k = 0; k < ProductCount(scene); ++k) {
        // Each product's own values over the stage's.
        SceneDescription values = scene;
        SwapProduct(values, k);
        const ProductDescription& product = k == 0 ? scene : scene.products[static_cast<size_t>(k - 1)];
        pFailure->product = k;
        if (!ModelProductOf(product, values.values, textureSide, quality, &products[static_cast<size_t>(k)],
                            &shapes[static_cast<size_t>(k)].spec, pFailure))
            return false;
        shapes[static_cast<size_t>(k)].placeX = values.values[kValuePlaceX];
        shapes[static_cast<size_t>(k)].placeZ = values.values[kValuePlaceZ];
        shapes[static_cast<size_t>(k)].turn = values.values[kValueTurn];
    }
    pFailure->product = 0;
    const StageLayout stage = PlaceProducts(scene.values, shapes);
    // The picture's camera and lights ride along: opened in a viewer, the model is seen as
    // the picture shows it.
    ModelView view;
    const float aspect = scene.width && scene.height ? static_cast<float>(scene.width) / scene.height : 0.0f;
    const SceneCamera camera = CameraOfValues(scene.values, 0.0f, aspect > 0 ? aspect : 1.0f);
    view.eye[0] = camera.eye.x, view.eye[1] = camera.eye.y, view.eye[2] = camera.eye.z;
    view.fovY = FieldOfView(scene.values[kValueZoom]);
    view.aspect = aspect;
    view.eyeLight = scene.values[kValueDiffuse] / 100.0f;
    view.topLight = scene.values[kValueTopLight] / 100.0f;
    view.bStudio = scene.values[kValueLight] == LightStudio;
    const Vec3 toKey = LightDirection(scene.values[kValueLightAzimuth], scene.values[kValueLightElevation], camera.eye);
    view.toKey[0] = toKey.x, view.toKey[1] = toKey.y, view.toKey[2] = toKey.z;
    view.key = scene.values[kValueKey] / 100.0f;
    view.sky = scene.values[kValueSky] / 100.0f;
    view.keySize = static_cast<float>(scene.values[kValueLightSize]);
    const std::vector<BYTE> model = BuildShapeModel(StageMesh(stage), products, g_faceNames, &view, record);
    const HRESULT hr = ReplaceFileContents(path.c_str(), model.data(), static_cast<DWORD>(model.size()));
    if (FAILED(hr)) {
        *pFailure = {-1, 0, WriteFailureReason(path, hr)};
        return false;
    }
    return true;
}
