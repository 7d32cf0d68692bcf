// Which format and name a save means, and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <d3d9.h>

#include <fstream>
#include <string>

#include "image_export.h"
#include "json_object.h"
#include "render_harness.h"
#include "wic_decoder.h"

namespace {

struct Case {
    const wchar_t* name;
    DWORD filter;
    bool supported;
    bool bJpeg;
    const wchar_t* written;
};

CString ExtensionOf(const CString& name)
{
    int dot = name.ReverseFind(L'.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

} // namespace

TEST(SaveTarget, ExtensionDecidesAndOtherwiseTheFileTypeAppendsOne)
{
    const Case cases[] = {
        {L"Box.PNG", 2, true, false, L"Box.PNG"},
        {L"box.Jpg", 1, true, true, L"box.Jpg"},
        {L"box", 1, true, false, L"box.png"},
        {L"box", 2, true, true, L"box.jpg"},
        {L"box.jpeg", 1, true, false, L"box.jpeg.png"},
        {L"box.jpeg", 2, true, true, L"box.jpeg.jpg"},
        {L"box.bmp", 1, true, false, L"box.bmp.png"},
        {L"box.bmp", 2, true, true, L"box.bmp.jpg"},
        {L"box.bmp", 7, false, false, L"box.bmp"},
        {L"box", 0, false, false, L"box"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << " filter " << c.filter);
        SaveTarget t = DecideSaveTarget(c.name, ExtensionOf(c.name), c.filter);
        EXPECT_EQ(t.bSupported, c.supported);
        if (!c.supported)
            continue;
        EXPECT_EQ(t.bJpeg, c.bJpeg);
        EXPECT_EQ(t.strPath, CString(c.written));
        EXPECT_EQ(t.bExtensionAppended, t.strPath != CString(c.name));
        EXPECT_EQ(t.kind, SaveKind::Picture);
    }
    // The spin's type writes pictures named as given; the model's type, or .glb, a model.
    const struct {
        const wchar_t* name;
        DWORD filter;
        SaveKind kind;
        bool bJpeg;
        const wchar_t* written;
    } kinds[] = {
        {L"spin", kSaveSpinFilter, SaveKind::Spin, false, L"spin.png"},
        {L"spin.jpg", kSaveSpinFilter, SaveKind::Spin, true, L"spin.jpg"},
        {L"turn", kSaveSpinApngFilter, SaveKind::Spin, false, L"turn.png"},
        {L"turn.png", kSaveSpinPageFilter, SaveKind::Spin, false, L"turn.png.html"},
        {L"box", kSaveModelFilter, SaveKind::Model, false, L"box.glb"},
        {L"box.GLB", kSavePngFilter, SaveKind::Model, false, L"box.GLB"},
        {L"box.png", kSaveModelFilter, SaveKind::Picture, false, L"box.png"},
    };
    for (const auto& k : kinds) {
        SaveTarget t = DecideSaveTarget(k.name, ExtensionOf(k.name), k.filter);
        EXPECT_TRUE(t.bSupported && t.kind == k.kind && t.bJpeg == k.bJpeg && t.strPath == CString(k.written))
            << Utf8FromWide(k.name) << " " << k.filter;
    }
}

namespace {

// A real frame to write, from a renderer on a window of its own.
class WriteFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hWnd = CreatePreviewWindow(64, 48);
        ASSERT_EQ(renderer.InitDirect3D(hWnd), nullptr);
        renderer.RenderFrame();
        ASSERT_TRUE(SUCCEEDED(renderer.ReadLastFrame(frame)));
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = std::wstring(temp) + L"zelmora-export-" + std::wstring(test.begin(), test.end());
        ::CreateDirectoryW(dir.c_str(), nullptr);
        ForEachFile([](const std::wstring& path) {
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(path.c_str());
        });
    }
    template <class Fn>
    void ForEachFile(Fn fn) const
    {
        WIN32_FIND_DATAW fd;
        HANDLE h = ::FindFirstFileW((dir + L"\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                fn(dir + L"\\" + fd.cFileName);
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    int FilesIn(const std::wstring&) const
    {
        int n = 0;
        ForEachFile([&n](const std::wstring&) { ++n; });
        return n;
    }
    void TearDown() override
    {
        renderer.Release();
        ::DestroyWindow(hWnd);
    }
    static std::string Contents(const std::wstring& path)
    {
        std::ifstream in(path.c_str(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    TestScene scene;
    BoxRenderer renderer{scene};
    HWND hWnd = nullptr;
    DecodedImage frame;
    std::wstring dir;
};

} // namespace

TEST_F(WriteFrameTest, WritesPngAndJpegThatReadBackAtTheFrameSize)
{
    std::wstring png = dir + L"\\frame.png", jpg = dir + L"\\frame.jpg";
    ASSERT_TRUE(SUCCEEDED(WriteFrameToFile(frame, false, png.c_str())));
    ASSERT_TRUE(SUCCEEDED(WriteFrameToFile(frame, true, jpg.c_str())));
    EXPECT_EQ(Contents(png).substr(1, 3), "PNG");
    EXPECT_EQ(Contents(jpg).substr(0, 2), "\xFF\xD8");
    DecodedImage back;
    ASSERT_TRUE(SUCCEEDED(DecodeWithWic(png.c_str(), 4096, back)));
    EXPECT_EQ(back.width, 64u);
    EXPECT_EQ(back.height, 48u);
    EXPECT_EQ(back.pixels, frame.pixels) << "the file holds the frame as drawn";
    EXPECT_EQ(FilesIn(dir), 2) << "no temporary file left";
}

TEST_F(WriteFrameTest, TheLongestLegalNamesSaveAndAFileOfTheOldTemporaryNameIsNotTouched)
{
    std::wstring name(246, L'n');
    std::wstring path = dir + L"\\" + name + L".png";  // 250 characters: a legal name
    ASSERT_TRUE(SUCCEEDED(WriteFrameToFile(frame, false, path.c_str())));
    EXPECT_EQ(Contents(path).substr(1, 3), "PNG");

    std::wstring target = dir + L"\\box.png", old = target + L".zelmora-saving";
    {
        std::ofstream out(old.c_str(), std::ios::binary);
        out << "the user's own file";
    }
    ASSERT_TRUE(SUCCEEDED(WriteFrameToFile(frame, false, target.c_str())));
    EXPECT_EQ(Contents(old), "the user's own file");
    EXPECT_EQ(FilesIn(dir), 3);
}

TEST_F(WriteFrameTest, AFolderThatIsGoneFailsAndWritesNothing)
{
    std::wstring path = dir + L"\\no such folder\\frame.png";
    EXPECT_TRUE(FAILED(WriteFrameToFile(frame, false, path.c_str())));
    EXPECT_EQ(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WriteFrameTest, AReadOnlyFileFailsAndKeepsItsContents)
{
    std::wstring path = dir + L"\\locked.png";
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    {
        std::ofstream out(path.c_str(), std::ios::binary);
        out << "precious";
    }
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(FAILED(WriteFrameToFile(frame, false, path.c_str())));
    EXPECT_EQ(Contents(path), "precious");
    EXPECT_EQ(FilesIn(dir), 1) << "no temporary file left";
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(WriteFrameTest, NamesInAnyScriptAreWritten)
{
    std::wstring path = dir + L"\\\x043A\x043E\x0440\x043E\x0431\x043A\x0430 \x7BB1.png";
    ASSERT_TRUE(SUCCEEDED(WriteFrameToFile(frame, false, path.c_str())));
    EXPECT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}
