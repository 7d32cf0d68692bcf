// Scene files: what is written is read back whole, pictures travel with their folder, and a
// file that is not a good scene is refused whole with its line and name.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

#include "options.h"
#include "arrangements.h"
#include "scene_file.h"
#include "shape_kinds.h"

namespace {

std::wstring TempFolder(const wchar_t* name)
{
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    std::wstring folder = std::wstring(base) + name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

SceneDescription EveryValueChanged(const std::wstring& artFolder)
{
    SceneDescription s;
    for (int i = 0; i < kSceneValueCount; ++i)
        s.values[i] = g_sceneValues[i].nMin + 1;
    for (int f = 0; f < kPictureCount; ++f)
        s.faceColours[f] = RGB(10 * f, 200 - f, 7);
    s.facePaths[SideCover] = artFolder + L"\\covers\\wrap.png";  // a book's whole cover
    s.facePaths[SideFront] = artFolder + L"\\art\\fr\x00F6nt \x043A.png";  // below the scene's folder
    s.facePaths[SideBack] = L"C:\\elsewhere\\back.png";                  // not below it
    s.background = 0xFF123456;
    s.bTransparent = true;
    s.width = 2048;
    s.height = 1776;
    s.dpi = 300;
    s.supersample = 3;
    const int hero[kSceneValueCount] = {80, 120, 20, 150, 110, 220, 760, 0, 0, 0, 0, 0, 0, 0, 0};
    s.views = {SceneView::Of(L"Hero \"\x00E9t\x00E9\"", hero), SceneView::Of(L"Low", s.values)};  // centre moved
    return s;
}

} // namespace

TEST(SceneFile, WhatIsWrittenIsReadBackAndPicturesMoveWithTheirFolder)
{
    const std::wstring first = TempFolder(L"zelmora scene a"), moved = TempFolder(L"zelmora scene b");
    const SceneDescription written = EveryValueChanged(first);
    ASSERT_EQ(WriteSceneFile(first + L"\\box.zelmora", written), S_OK);

    SceneDescription read;
    std::wstring error;
    ASSERT_TRUE(ReadSceneFile(first + L"\\box.zelmora", &read, &error)) << error;
    EXPECT_TRUE(read == written);
    EXPECT_FALSE(read == SceneDescription());

    // The folder moves with the scene: the front picture is found beside it still; the back stays.
    ASSERT_TRUE(::MoveFileExW((first + L"\\box.zelmora").c_str(), (moved + L"\\box.zelmora").c_str(),
                              MOVEFILE_REPLACE_EXISTING));
    ASSERT_TRUE(ReadSceneFile(moved + L"\\box.zelmora", &read, &error)) << error;
    EXPECT_EQ(read.facePaths[SideFront], moved + L"\\art\\fr\x00F6nt \x043A.png");
    EXPECT_EQ(read.facePaths[SideBack], L"C:\\elsewhere\\back.png");
    EXPECT_TRUE(read.facePaths[SideTop].empty());
    EXPECT_EQ(read.facePaths[SideCover], moved + L"\\covers\\wrap.png");
    ::DeleteFileW((moved + L"\\box.zelmora").c_str());
}

TEST(SceneFile, ABadSceneIsRefusedWholeWithItsLineAndName)
{
    const std::string good = SceneFileText(SceneDescription(), L"");
    auto with = [&](const std::string& from, const std::string& to) {
        std::string t = good;
        t.replace(t.find(from), from.size(), to);
        return t;
    };
    struct Case {
        std::string text;
        const wchar_t* messagePart;
    };
    const Case cases[] = {
        {"{\"zelmora-scene\": 1,\n\"width\": 80,,}", L"line 2, column 13"},
        {with("\"zelmora-scene\": 1", "\"zelmora-scene\": 2"), L"line 2, \"zelmora-scene\": version 2"},
        {with("\"width\": 80", "\"width\": 301"), L"line 3, \"width\": 301: expected a whole number from 1 to 300"},
        {with("\"width\": 80", "\"width\": \"80\""), L"\"width\": expected a number"},
        {with("\"front\": \"\"", "\"front\": 12"), L"\"front\": expected a string"},
        {with("\"transparent\": false", "\"transparent\": \"no\""), L"expected true or false"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"glare\": 3"), L"\"glare\": not a scene setting"},
        {"{\"width\": 80}", L"no \"zelmora-scene\" version"},
        {"\xEF\xBB\xBF" + with("\"depth\": 20", "\"depth\": 21"), nullptr},  // a BOM is fine
        // Text that is not what it seems: refused where it is read, not later as a garbled name.
        {with("\"front\": \"\"", "\"front\": \"art/front.png\\u0000evil.png\""), L"\"front\": control characters"},
        {with("\"front\": \"\"", "\"front\": \"\xC0\xAF.png\""), L"not UTF-8 text"},      // overlong '/'
        {with("\"front\": \"\"", "\"front\": \"\xED\xA0\x80.png\""), L"not UTF-8 text"},  // a surrogate
        {with("\"front\": \"\"", "\"front\": \"\xE4.png\""), L"not UTF-8 text"},          // Latin-1
        {with("\"front\": \"\"", "\"front\": \"\\udc00.png\""), L"half a surrogate pair"},
        {with("\"width\": 80", "\"width\": 80, \"width\": 90"), L"a second \"width\" (line 3 has the first)"},
        {with("\"zelmora-scene\": 1", "\"zelmora-scene\": \"1\""), L"expected the version as a number"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"gl\xC3\xA4re\": 3"), L"\"gl\x00E4re\": not a scene setting"},
        {with("\"size\": \"preview\"", "\"size\": \"1x\xEF\xBC\x91\""), L"expected WIDTHxHEIGHT"},  // a fullwidth 1
        // The views: a list of flat objects, each named once, each value in its range.
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": [{\"name\": \"A\"}, {\"name\": \"a\"}]"), L"a view named \"A\" already"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": [{\"name\": \"A\", \"zoom\": 2000}]"), L"\"zoom\": expected a whole number from 150"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": [{\"name\": \"A\", \"width\": 20}]"), L"\"width\": not part of a view"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": [{\"zoom\": 700}]"), L"a view without a \"name\""},
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": \"Hero\""), L"expected a list of views"},
        {with("\"dpi\": 0", "\"dpi\": 0, \"views\": [{\"name\": \"A\", \"at\": [1]}]"), L"nested objects and lists"},
        {with("\"dpi\": 0", "\"dpi\": []"), L"\"dpi\": a list is not a scene setting"},
    };
    for (const Case& c : cases) {
        SceneDescription scene = EveryValueChanged(L"C:\\x");
        const SceneDescription before = scene;
        std::wstring error;
        bool ok = ParseSceneText(c.text, L"C:\\x", &scene, &error);
        if (!c.messagePart) {
            EXPECT_TRUE(ok) << error;
            EXPECT_EQ(scene.values[kValueDepth], 21);
            continue;
        }
        EXPECT_FALSE(ok) << c.text;
        EXPECT_NE(error.find(c.messagePart), std::wstring::npos) << error;
        EXPECT_TRUE(scene == before) << "a refused scene changes nothing";
    }

    // A huge file is refused without being read.
    const std::wstring huge = TempFolder(L"zelmora scene a") + L"\\huge.zelmora";
    HANDLE h = ::CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    LARGE_INTEGER size;
    size.QuadPart = 100LL << 20;
    ::SetFilePointerEx(h, size, nullptr, FILE_BEGIN);
    ::SetEndOfFile(h);
    ::CloseHandle(h);
    SceneDescription scene;
    std::wstring error;
    EXPECT_FALSE(ReadSceneFile(huge, &scene, &error));
    EXPECT_NE(error.find(L"100 MB"), std::wstring::npos) << error;
    ::DeleteFileW(huge.c_str());
}

TEST(SceneFile, TheSameMembersMeanTheSamePictureAsASceneAndAsAJobsLine)
{
    const std::vector<JsonMember> members[] = {
        {{"width", L"290", false}, {"template", L"3-sided Cube, Left Rotation"}},
        {{"transparent", L"false", false}, {"background", L"transparent"}},
        {{"transparent", L"true", false}, {"background", L"#102030"}},
    };
    for (const auto& m : members) {
        std::string text = "{\"zelmora-scene\": 1";
        for (const JsonMember& member : m)
            text += ", \"" + member.name + "\": " +
                    (member.bString ? "\"" + std::string(member.value.begin(), member.value.end()) + "\""
                                    : std::string(member.value.begin(), member.value.end()));
        SceneDescription scene;
        std::wstring error;
        ASSERT_TRUE(ParseSceneText(text + "}", L"", &scene, &error)) << error;
        RenderJob job;
        ASSERT_TRUE(ApplyOptions(job, m, L"", &error, true)) << error;
        EXPECT_TRUE(scene == static_cast<const SceneDescription&>(job)) << text;
    }
    SceneDescription scene;
    std::wstring error;
    ASSERT_TRUE(ParseSceneText("{\"zelmora-scene\": 1, \"width\": 290, \"template\": \"3-sided Cube, Left Rotation\"}",
                               L"", &scene, &error));
    EXPECT_EQ(scene.values[kValueWidth], 290) << "single values go over the template";
}

TEST(SceneFile, AUtf16SceneFromAWindowsEditorIsRead)
{
    const std::wstring path = TempFolder(L"zelmora scene a") + L"\\utf16.zelmora";
    const std::wstring text = L"\xFEFF{\"zelmora-scene\": 1, \"depth\": 33, \"front\": \"k\x043A.png\"}";
    std::ofstream(path.c_str(), std::ios::binary).write(reinterpret_cast<const char*>(text.data()),
                                                         static_cast<std::streamsize>(text.size() * 2));
    SceneDescription scene;
    std::wstring error;
    ASSERT_TRUE(ReadSceneFile(path, &scene, &error)) << error;
    EXPECT_EQ(scene.values[kValueDepth], 33);
    EXPECT_NE(scene.facePaths[SideFront].find(L"k\x043A.png"), std::wstring::npos);
    EXPECT_TRUE(scene.faceNamedByFile[SideFront]) << "a scene's picture was not chosen by this user";
    ::DeleteFileW(path.c_str());
}

TEST(SceneFile, ASaveNameIsTheFileWindowsWrites)
{
    EXPECT_EQ(SceneFilePathFor(L"C:\\s\\box.v2"), L"C:\\s\\box.v2.zelmora");
    EXPECT_EQ(SceneFilePathFor(L"C:\\s\\victim.png"), L"C:\\s\\victim.png.zelmora");
    EXPECT_EQ(SceneFilePathFor(L"C:\\s\\box.ZELMORA"), L"C:\\s\\box.ZELMORA");
    EXPECT_EQ(SceneFilePathFor(L"C:\\s\\dot.zelmora. "), L"C:\\s\\dot.zelmora");
    EXPECT_EQ(SceneFilePathFor(L"C:\\s\\box."), L"C:\\s\\box.zelmora");
}

TEST(SceneFile, ASceneIsTheBaseOfTheOptionsGivenWithIt)
{
    const std::wstring folder = TempFolder(L"zelmora scene a");
    SceneDescription saved = EveryValueChanged(folder);
    ASSERT_EQ(WriteSceneFile(folder + L"\\base.zelmora", saved), S_OK);

    for (bool sceneFirst : {true, false}) {
        std::vector<std::wstring> args = {L"--width", L"200", L"--background", L"#FF0000", L"-o", L"x.png"};
        std::vector<std::wstring> scene = {L"--scene", folder + L"\\base.zelmora"};
        args.insert(sceneFirst ? args.begin() : args.end(), scene.begin(), scene.end());
        CommandLine cmd;
        std::wstring error;
        ASSERT_TRUE(ParseCommandLine(args, &cmd, &error)) << error;
        EXPECT_EQ(cmd.job.values[kValueWidth], 200);                              // given: wins
        EXPECT_EQ(cmd.job.values[kValueHeight], saved.values[kValueHeight]);     // the scene's
        EXPECT_EQ(cmd.job.background, 0xFFFF0000u);
        EXPECT_FALSE(cmd.job.bTransparent);  // a colour given means a background
        EXPECT_EQ(cmd.job.facePaths[SideFront], saved.facePaths[SideFront]);
        EXPECT_EQ(cmd.job.width, 2048u);
    }
    // A jobs line names its scene relative to the jobs file's folder.
    RenderJob job;
    std::wstring error;
    ASSERT_TRUE(ApplyOptions(job, {{"scene", L"base.zelmora"}, {"o", L"x.png"}}, folder, &error, true)) << error;
    EXPECT_EQ(job.values[kValueDepth], saved.values[kValueDepth]);
    EXPECT_EQ(job.output, folder + L"\\x.png");

    // --view takes the scene's view, whatever the order given, and single values go on top.
    CommandLine cmd;
    ASSERT_TRUE(ParseCommandLine({L"--zoom", L"900", L"--view", L"LOW", L"--scene", folder + L"\\base.zelmora"}, &cmd,
                                 &error)) << error;
    for (int v : kViewValues)
        EXPECT_EQ(cmd.job.values[v], v == kValueZoom ? 900 : saved.values[v]);
    EXPECT_FALSE(ParseCommandLine({L"--scene", folder + L"\\base.zelmora", L"--view", L"Side"}, &cmd, &error));
    EXPECT_NE(error.find(L"--view \"Side\": expected one of the scene's views:\n  \"Hero"), std::wstring::npos) << error;
    std::vector<JsonMember> line;
    ASSERT_TRUE(ParseJsonObject("{\"views\": [], \"o\": \"x.png\"}", &line, &error)) << error;
    EXPECT_FALSE(ApplyOptions(job, line, folder, &error, true)) << "a jobs line holds no list";

    EXPECT_FALSE(ParseCommandLine({L"--scene", folder + L"\\missing.zelmora"}, &cmd, &error));
    EXPECT_NE(error.find(L"--scene"), std::wstring::npos) << error;
    ::DeleteFileW((folder + L"\\base.zelmora").c_str());
}

TEST(SceneFile, AJobsLineTakesItsValuesThenTheCommandLinesThenItsSceneThenTheCommandLinesScene)
{
    const std::wstring folder = TempFolder(L"zelmora scene a");
    SceneDescription outer, inner;
    outer.values[kValueWidth] = 100, outer.values[kValueDepth] = 30, outer.values[kValueHeight] = 44;
    outer.width = 2048, outer.height = 2048;
    inner.values[kValueHeight] = 200, inner.values[kValueWidth] = 150;
    inner.width = 1024, inner.height = 1024;
    inner.background = 0xFF0000FF;
    ASSERT_EQ(WriteSceneFile(folder + L"\\outer.zelmora", outer), S_OK);
    ASSERT_EQ(WriteSceneFile(folder + L"\\inner.zelmora", inner), S_OK);

    CommandLine cmd;
    std::wstring error;
    ASSERT_TRUE(ParseCommandLine({L"--scene", folder + L"\\outer.zelmora", L"--width", L"120", L"--size", L"500x400",
                                  L"--transparent", L"true", L"--jobs", L"j.jsonl"},
                                 &cmd, &error)) << error;
    RenderJob plain, scened;
    ASSERT_TRUE(BuildLineJob(cmd, {{"o", L"a.png"}}, folder, &plain, &error)) << error;
    ASSERT_TRUE(BuildLineJob(cmd, {{"depth", L"77", false}, {"scene", L"inner.zelmora"}, {"o", L"b.png"}}, folder,
                             &scened, &error)) << error;
    // A line with no scene of its own: the command line's scene and values.
    EXPECT_EQ(plain.values[kValueHeight], 44);
    EXPECT_EQ(plain.values[kValueWidth], 120);
    EXPECT_EQ(plain.output, folder + L"\\a.png");
    // With its scene: that scene under the command line's values, the line's values on top.
    EXPECT_EQ(scened.values[kValueHeight], 200) << "the line's scene over the command line's";
    EXPECT_EQ(scened.values[kValueWidth], 120) << "the command line's value over the line's scene";
    EXPECT_EQ(scened.values[kValueDepth], 77) << "the line's own value over all";
    EXPECT_EQ(scened.width, 500u);
    EXPECT_TRUE(scened.bTransparent) << "the command line's --transparent is not undone by a scene";
    EXPECT_EQ(scened.background, 0xFF0000FFu);
    RenderJob own;
    ASSERT_TRUE(BuildLineJob(cmd, {{"scene", L"inner.zelmora"}, {"size", L"64x64"}, {"transparent", L"false", false},
                                   {"o", L"c.png"}}, folder, &own, &error)) << error;
    EXPECT_EQ(own.width, 64u);
    EXPECT_FALSE(own.bTransparent);
    ::DeleteFileW((folder + L"\\outer.zelmora").c_str());
    ::DeleteFileW((folder + L"\\inner.zelmora").c_str());
}

TEST(SceneFile, ASetIsWrittenAndReadBackWithEachProductsOwn)
{
    const std::wstring folder = TempFolder(L"zelmora scene set");
    SceneDescription written;
    ChooseShape(written.values, ShapePaperback);
    written.values[kValueArrange] = ArrangeFan;
    written.facePaths[SideCover] = folder + L"\\one.png";
    SetProductCount(written, 3);
    written.products[0].values[kValuePages] = 640;
    written.products[0].values[kValueShape] = ShapeHardcover;
    written.products[1].facePaths[SideCover] = folder + L"\\art\\three.png";
    written.products[1].faceColours[SideLeft] = RGB(1, 2, 3);
    ASSERT_EQ(WriteSceneFile(folder + L"\\set.zelmora", written), S_OK);
    SceneDescription read;
    std::wstring error;
    ASSERT_TRUE(ReadSceneFile(folder + L"\\set.zelmora", &read, &error)) << error;
    EXPECT_TRUE(read == written);
    EXPECT_EQ(read.products[1].facePaths[SideCover], folder + L"\\art\\three.png");
    read.products[0].values[kValueRotation1] = 7;  // a stage value a product holds is not its own
    EXPECT_TRUE(read == written);
    read.products[0].values[kValuePages] = 7;
    EXPECT_FALSE(read == written);
    ::DeleteFileW((folder + L"\\set.zelmora").c_str());
}
