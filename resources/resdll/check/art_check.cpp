// Loads the picture library, the icons and the cursors the way the panel does and checks what the
// panel relies on: every picture number is present as a "PNG" resource, decodes with GDI+ at its
// drawn size with a transparent background; icons have their layers with alpha; the corner
// cursors are 64 x 64 with the hot spot (0, 0) and the bracket where the panel expects it.
#include <windows.h>
#include <objidl.h>
#include <propidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::wstring besideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p(path);
    return p.substr(0, p.find_last_of(L"\\/") + 1) + name;
}

struct Picture {
    int id;
    unsigned width;
    unsigned height;
};

// Every number of the library with the size it is drawn at.
const Picture kPictures[] = {
    {122, 30, 115},  {158, 30, 115},  {181, 30, 115},  {130, 170, 44},  {129, 16, 16},
    {201, 300, 416}, {203, 420, 204}, {206, 300, 416}, {207, 300, 416}, {202, 220, 220},
    {204, 220, 220}, {208, 220, 220}, {205, 220, 220}, {210, 420, 270}, {211, 270, 420},
    {212, 420, 270}, {213, 270, 420}, {214, 420, 270}, {215, 270, 420}, {216, 420, 270},
    {217, 270, 420}, {218, 420, 270}, {219, 270, 420}, {220, 420, 270}, {221, 270, 420},
};

class Library : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
        module_ = LoadLibraryW(besideThisProgram(L"ResDLL.dll").c_str());
    }
    static void TearDownTestSuite() {
        if (module_) FreeLibrary(module_);
        Gdiplus::GdiplusShutdown(token_);
    }

    // The bytes of PNG resource `id`, empty when it is missing.
    static std::vector<uint8_t> bytes(int id) {
        HRSRC found = FindResourceW(module_, MAKEINTRESOURCEW(id), L"PNG");
        if (!found) return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const auto* data = static_cast<const uint8_t*>(LockResource(loaded));
        return std::vector<uint8_t>(data, data + SizeofResource(module_, found));
    }

    static ULONG_PTR token_;
    static HMODULE module_;
};
ULONG_PTR Library::token_ = 0;
HMODULE Library::module_ = nullptr;

// A GDI+ bitmap decoded from memory, as the panel draws it.
struct Decoded {
    explicit Decoded(const std::vector<uint8_t>& png) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, png.size());
        std::memcpy(GlobalLock(mem), png.data(), png.size());
        GlobalUnlock(mem);
        if (CreateStreamOnHGlobal(mem, TRUE, &stream) == S_OK)
            bitmap = Gdiplus::Bitmap::FromStream(stream);
    }
    ~Decoded() {
        delete bitmap;
        if (stream) stream->Release();
    }
    IStream* stream = nullptr;
    Gdiplus::Bitmap* bitmap = nullptr;
};

TEST_F(Library, LoadsAsTheProgramLoadsIt) {
    ASSERT_NE(module_, nullptr) << "ResDLL.dll next to the program";
}

TEST_F(Library, EveryPictureDecodesAtItsSizeWithTransparentCorners) {
    ASSERT_NE(module_, nullptr);
    for (const Picture& p : kPictures) {
        SCOPED_TRACE(p.id);
        std::vector<uint8_t> png = bytes(p.id);
        ASSERT_GT(png.size(), 8u);
        EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
        Decoded d(png);
        ASSERT_NE(d.bitmap, nullptr);
        ASSERT_EQ(d.bitmap->GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(d.bitmap->GetWidth(), p.width);
        EXPECT_EQ(d.bitmap->GetHeight(), p.height);
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(d.bitmap->GetPixelFormat()));
        // the background shows through at every corner, and the picture is not empty
        const int w = static_cast<int>(p.width) - 1, h = static_cast<int>(p.height) - 1;
        for (auto [x, y] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}}) {
            Gdiplus::Color c;
            d.bitmap->GetPixel(x, y, &c);
            EXPECT_EQ(c.GetA(), 0) << "corner " << x << "," << y;
        }
        Gdiplus::Color centre;
        d.bitmap->GetPixel(w / 2, h / 2, &centre);
        EXPECT_EQ(centre.GetA(), 255) << "centre";
    }
}

TEST_F(Library, RotationTwoAndThreeRepeatZeroAndOne) {
    ASSERT_NE(module_, nullptr);
    for (int base : {210, 214, 218}) {
        SCOPED_TRACE(base);
        EXPECT_EQ(bytes(base + 2), bytes(base));
        EXPECT_EQ(bytes(base + 3), bytes(base + 1));
        EXPECT_NE(bytes(base + 1), bytes(base));
    }
}

TEST_F(Library, UnknownNumbersAreMissing) {
    ASSERT_NE(module_, nullptr);
    EXPECT_TRUE(bytes(0).empty());
    EXPECT_TRUE(bytes(209).empty());
}

// 32-bit top-down pixels (BGRA) of a bitmap handle.
std::vector<uint32_t> pixels(HBITMAP bmp, int& w, int& h) {
    BITMAP info = {};
    GetObjectW(bmp, sizeof info, &info);
    w = info.bmWidth;
    h = info.bmHeight;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bmp, 0, h, px.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return px;
}

TEST(Icons, EveryIconHasItsLayersWithAlpha) {
    HMODULE self = GetModuleHandleW(nullptr);
    for (int id : {128, 164, 179, 185}) {
        for (int size : {16, 24, 32, 48, 256}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
            HICON icon = static_cast<HICON>(
                LoadImageW(self, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
            ASSERT_NE(icon, nullptr);
            ICONINFO ii = {};
            ASSERT_TRUE(GetIconInfo(icon, &ii));
            int w = 0, h = 0;
            std::vector<uint32_t> px = pixels(ii.hbmColor, w, h);
            EXPECT_EQ(w, size);
            EXPECT_EQ(h, size);
            bool soft = false, opaque = false;
            for (uint32_t p : px) {
                uint32_t a = p >> 24;
                soft |= a > 0 && a < 255;
                opaque |= a == 255;
            }
            EXPECT_TRUE(soft) << "anti-aliased edges";
            EXPECT_TRUE(opaque);
            EXPECT_EQ(px[0] >> 24, 0u) << "transparent top-left corner";
            DeleteObject(ii.hbmColor);
            DeleteObject(ii.hbmMask);
            DestroyIcon(icon);
        }
    }
}

constexpr uint32_t kBracket = 0xFFF20268;  // opaque RGB(242, 2, 104) as BGRA in a 32-bit word

struct CursorPixels {
    int w = 0, h = 0;
    ICONINFO ii = {};
    std::vector<uint32_t> px;
    uint32_t at(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

CursorPixels loadCursor(int id, int size) {
    CursorPixels c;
    HCURSOR cur = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                                  IMAGE_CURSOR, size, size, LR_DEFAULTCOLOR));
    if (!cur || !GetIconInfo(cur, &c.ii)) return c;
    c.px = pixels(c.ii.hbmColor, c.w, c.h);
    DeleteObject(c.ii.hbmColor);
    DeleteObject(c.ii.hbmMask);
    DestroyCursor(cur);
    return c;
}

TEST(Cursors, TopLeftBracketHasItsCornerOnTheHotSpot) {
    CursorPixels c = loadCursor(171, 64);
    ASSERT_EQ(c.w, 64);
    ASSERT_EQ(c.h, 64);
    EXPECT_FALSE(c.ii.fIcon);
    EXPECT_EQ(c.ii.xHotspot, 0u);
    EXPECT_EQ(c.ii.yHotspot, 0u);
    EXPECT_EQ(c.at(0, 0), kBracket);
    EXPECT_EQ(c.at(47, 3), kBracket);   // horizontal arm: 48 long, 4 thick
    EXPECT_EQ(c.at(48, 0) >> 24, 0u);
    EXPECT_EQ(c.at(0, 4), kBracket);
    EXPECT_EQ(c.at(4, 4) >> 24, 0u);
    EXPECT_EQ(c.at(3, 47), kBracket);   // vertical arm
    EXPECT_EQ(c.at(0, 48) >> 24, 0u);
    EXPECT_EQ(c.at(63, 63) >> 24, 0u);
}

TEST(Cursors, BottomRightBracketHasItsCornerInTheLastPixel) {
    CursorPixels c = loadCursor(172, 64);
    ASSERT_EQ(c.w, 64);
    ASSERT_EQ(c.h, 64);
    EXPECT_EQ(c.ii.xHotspot, 0u);
    EXPECT_EQ(c.ii.yHotspot, 0u);
    EXPECT_EQ(c.at(63, 63), kBracket);
    EXPECT_EQ(c.at(16, 60), kBracket);
    EXPECT_EQ(c.at(15, 63) >> 24, 0u);
    EXPECT_EQ(c.at(60, 16), kBracket);
    EXPECT_EQ(c.at(63, 15) >> 24, 0u);
    EXPECT_EQ(c.at(59, 59) >> 24, 0u);
    EXPECT_EQ(c.at(0, 0) >> 24, 0u);
}

TEST(Cursors, AtTheStandardSizeTheBottomRightCornerIsThirtyOnePixelsFromTheHotSpot) {
    // The area-selection overlay adds (31, 31) to the click point for this cursor.
    CursorPixels c = loadCursor(172, 32);
    ASSERT_EQ(c.w, 32);
    EXPECT_EQ(c.ii.xHotspot, 0u);
    EXPECT_GT(c.at(31, 31) >> 24, 128u);
    EXPECT_EQ(c.at(29, 29) >> 24, 0u);
}

}  // namespace
