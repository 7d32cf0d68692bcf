// A device's screen as it is drawn: its picture fitted to the screen's proportions (bars of
// the screen's colour round it, or cropped), in an e-reader's greys, made again only when
// the picture, the screen or the colour changes.
#include "box_renderer.h"
#include "device_shape.h"
#include "picture_store.h"
#include "screen_fit.h"

IDirect3DTexture9* BoxRenderer::ScreenTexture(int product)
{
    const PictureRef& picture = PicturesOf(m_scene, product)[SideScreen];
    const ShapeSpec* pSpec = FrameSpecOf(product);
    DeviceScreen screen;
    if (!picture || !pSpec || !DeviceScreenOf(pSpec->values, &screen) || product < 0 || product >= kMaxProducts)
        return m_faceTextures.For(m_pDevice, picture);
    const Colour bars = ColoursOf(m_scene, product)[SideScreen];
    ScreenCopy& copy = m_screenCopies[product];
    const float aspect = screen.width / screen.height;
    if (!copy.fitted || copy.serial != picture->serial || copy.aspect != aspect || copy.fit != screen.fit ||
        copy.bInk != screen.bInk || copy.bColourInk != screen.bColourInk || copy.bars != bars) {
        ScreenFit fit;
        fit.aspect = aspect;
        fit.bCrop = screen.fit == ScreenCover;
        fit.bars = OpaqueArgbOf(bars);
        fit.bInk = screen.bInk;
        fit.bColourInk = screen.bColourInk;
        auto fitted = std::make_shared<ScenePicture>();
        fitted->pixels = FitToScreen(picture->pixels, fit);
        fitted->width = fitted->pixels.width, fitted->height = fitted->pixels.height;
        fitted->serial = NewPictureSerial();
        copy = {picture->serial, aspect, screen.fit, screen.bInk, screen.bColourInk, bars, std::move(fitted)};
    }
    return m_faceTextures.For(m_pDevice, copy.fitted);
}
