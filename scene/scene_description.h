// What a picture is made from, apart from where it goes: the scene values, the colours,
// the face pictures and the export settings. A scene file holds exactly this; the window
// keeps its scene as one, and a zelmora-render job is one plus its output.
#pragma once
#include <windows.h>

#include <string>

#include <vector>

#include "box_scene.h"
#include "json_object.h"
#include "scene_values.h"
#include "scene_views.h"

// How pictures of a scene are made: the window's Save Image options, zelmora-render's defaults.
struct ExportSettings {
    UINT width = 0, height = 0;  // 0: the preview's size
    bool bTransparent = false;   // without the background (PNG only)
    int dpi = 0;                 // written into pictures; 0: none
    int supersample = 1;         // drawn this many times larger each way and averaged down, 1..4
};

// A product's pictures and colours as named, and (in a scene's first product, the stage's
// too) its values.
struct ProductDescription {
    std::wstring facePaths[kPictureCount];     // empty: no picture
    // The face's path was named by a scene or jobs file, not chosen by the user: a network
    // path there is kept but not opened. Not part of what the scene is (==).
    bool faceNamedByFile[kPictureCount] = {};
    Colour faceColours[kPictureCount];       // 0x00BBGGRR
    int values[kSceneValueCount];           // as g_sceneValues orders them
    // Its own values, pictures and colours equal (the stage's are not compared).
    bool SameProduct(const ProductDescription& other) const;
};

struct SceneDescription : ExportSettings, ProductDescription {
    std::uint32_t background = 0xFFFFFFFF;       // 0xFFRRGGBB
    std::vector<SceneView> views;           // the user's own, in the order they were added
    // A set: its products after the first (whose values, pictures and colours are the fields
    // above); only each one's own values are read.
    std::vector<ProductDescription> products;

    SceneDescription();  // the start scene
    // The numbers and colours into `scene` and back (the face pictures are the caller's).
    void ApplyTo(BoxScene& scene) const;
    void TakeFrom(const BoxScene& scene);
    bool operator==(const SceneDescription& other) const;
    bool operator!=(const SceneDescription& other) const { return !(*this == other); }
};

// Products in the scene, the first included.
inline int ProductCount(const SceneDescription& scene)
{
    return 1 + static_cast<int>(scene.products.size());
}
// Exchanges product k's own values, pictures and colours with the first product's (k 0: none):
// whatever works on the first product works on any.
void SwapProduct(SceneDescription& scene, int k);
// Makes the scene hold `count` products (1..kMaxProducts): new ones are copies of the first.
void SetProductCount(SceneDescription& scene, int count);

// The faces by option name, in SideSlot order.
extern const char* const g_faceNames[kPictureCount];

enum class OptionResult { Applied, Refused, Unknown };

// Puts named values into the one order in which a scene's values are applied, wherever they
// come from (a scene file, a jobs line, the command line): a scene file named by "scene"
// first, then a template, then one of the scene's views, then single values in the order
// given, and last "transparent", so that it decides whether the background is left out
// whatever colour was given.
void SortIntoApplyOrder(std::vector<JsonMember>& members);

// Sets one named value the way zelmora-render's options and the scene files name them
// ("width", "front", "front-colour", "template", "view", "background", "transparent", "size",
// "dpi"). Relative picture paths count from baseDir (empty: as given). Refused: *pExpected
// says what the value should have been.
// bNamedByFile: the value comes from a scene or jobs file rather than from the user.
// A product's own value (a shape, size, finish, face picture or colour) goes to every product
// of a set; numbers, names, trims and colours separated by commas give each product its own
// ("pages": "320,280,410"), making a set of that many out of a scene of one; "covers" gives
// each product a cover picture, one path each (commas separate them).
OptionResult ApplySceneOption(SceneDescription& scene, const std::string& name, const std::wstring& value,
                              const std::wstring& baseDir, std::wstring* pExpected, bool bNamedByFile = false);
// A "products" list: object k names product k's own values and pictures, over the first
// product's (a list longer than the set adds products). False with the reason.
bool ApplyProductList(SceneDescription& scene, const std::vector<std::vector<JsonMember>>& objects,
                      const std::wstring& baseDir, bool bNamedByFile, std::wstring* pError);

// A book's page size: "6x9in", "152x229mm" (decimals allowed), in thousandths of an inch,
// each side within the trim's range. And back: "6x9in", "5.5x8.5in".
bool ParseTrim(const std::wstring& text, int* pWidth, int* pHeight);
// A width and height ("2.6x5.6in", "66x142mm"), each within its value's range, in thousandths.
bool ParseSize(const std::wstring& text, SceneValueIndex widthValue, SceneValueIndex heightValue, int* pWidth,
               int* pHeight);
std::wstring FormatTrim(int width, int height);
// A length: "0.125in", "3.2mm", or a whole number of thousandths of an inch.
bool ParseLength(const std::wstring& text, int* pThousandths);
// Gives the scene that shape. A book or case chosen in place of a box gets the studio's
// light, and the light from above when the scene has none (for the eye's light, so that
// page edges read as paper rather than grey).
void ChooseShape(int* values, int shape);

// Control characters (a NUL among them) cut or change a name on its way to the system.
bool HasControlCharacters(const std::wstring& text);

// A whole decimal number, nothing else.
bool ParseWholeNumber(const std::wstring& text, long long* pValue);
// "#RRGGBB" and back, as a COLORREF.
bool ParseColour(const std::wstring& text, Colour* pColour);
std::wstring FormatColour(Colour colour);
// Joins a relative path to its folder (with the system's separators); absolute ones stay.
std::wstring ResolvePath(const std::wstring& path, const std::wstring& baseDir);
bool IsAbsolutePath(const std::wstring& path);
