// The panel's pictures as the panel loads them: the PNG library through platform::PictureLibrary
// under the numbers the panel and the service use, and the icons and cursors of Scribo.exe under
// their resource ids.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "config/language.h"
#include "device_profile.h"
#include "platform/gdiplus_init.h"
#include "platform/handles.h"
#include "platform/pictures.h"
#include "platform/profile_source.h"
#include "platform/wide.h"
#include "processes.h"
#include "resource.h"
#include "shell/picture_ids.h"

namespace {

using testsupport::layoutDir;

using scribo::kNewVersionPicture;
using scribo::kPenPictures;

// The device pictures the service hands the panel in each record's pictureIds, as the demo
// devices have them: [0] the tablet, [1] its keys, [2..5] the preview at rotation 0..3, [7] the
// pen display's monitor.
scribo::sim::DeviceProfile demoDevices() {
    return scribo::sim::parseProfile(testsupport::readFile(layoutDir() + L"\\demo.profile"));
}

class Pictures : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gdiplus_ = new platform::GdiplusInit;
        library_ = new platform::PictureLibrary;
        library_->load((layoutDir() + L"\\ResDLL.dll").c_str());
    }
    static void TearDownTestSuite() {
        delete library_;
        delete gdiplus_;
    }
    static Gdiplus::Bitmap* picture(int id) { return library_->picture(id); }

    // Every picture number the panel can ask for.
    static std::set<int> usedIds() {
        std::set<int> ids(std::begin(kPenPictures), std::end(kPenPictures));
        ids.insert(kNewVersionPicture);
        platform::Win32ProfileSource source;
        ids.insert(
            scribo::CommonFile(source, platform::toU16(layoutDir() + L"\\language\\common.ini"))
                .logoId());
        for (const auto& dev : demoDevices().devices)
            for (int id : dev->pictureIds)
                if (id != 0) ids.insert(id);
        return ids;
    }

    static platform::GdiplusInit* gdiplus_;
    static platform::PictureLibrary* library_;
};
platform::GdiplusInit* Pictures::gdiplus_ = nullptr;
platform::PictureLibrary* Pictures::library_ = nullptr;

// The 32-bit ARGB pixels of a bitmap, row by row.
std::vector<uint32_t> argb(Gdiplus::Bitmap& b) {
    Gdiplus::Rect all(0, 0, static_cast<INT>(b.GetWidth()), static_cast<INT>(b.GetHeight()));
    Gdiplus::BitmapData data{};
    std::vector<uint32_t> px;
    if (b.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return px;
    for (UINT y = 0; y < data.Height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(data.Scan0) + y * data.Stride);
        px.insert(px.end(), row, row + data.Width);
    }
    b.UnlockBits(&data);
    return px;
}

TEST_F(Pictures, EveryUsedPictureLoadsWithTransparentCornersAndAnOpaqueCentre) {
    ASSERT_TRUE(gdiplus_->usable());
    ASSERT_TRUE(library_->loaded()) << "ResDLL.dll beside the program";
    const std::set<int> ids = usedIds();
    ASSERT_GT(ids.size(), 10u);
    ASSERT_EQ(ids.count(0), 0u) << "common.ini names the logo";
    for (int id : ids) {
        SCOPED_TRACE(id);
        Gdiplus::Bitmap* p = picture(id);
        ASSERT_NE(p, nullptr);
        const int w = static_cast<int>(p->GetWidth()) - 1, h = static_cast<int>(p->GetHeight()) - 1;
        ASSERT_GT(w, 0);
        for (auto [x, y] : {std::pair{0, 0}, {w, 0}, {0, h}, {w, h}}) {
            Gdiplus::Color c;
            p->GetPixel(x, y, &c);
            EXPECT_EQ(c.GetA(), 0) << "corner " << x << "," << y;
        }
        Gdiplus::Color centre;
        p->GetPixel(w / 2, h / 2, &centre);
        EXPECT_EQ(centre.GetA(), 255) << "centre";
    }
}

TEST_F(Pictures, PenPicturesShareOneBox) {
    ASSERT_TRUE(library_->loaded());
    Gdiplus::Bitmap* first = picture(kPenPictures[0]);
    ASSERT_NE(first, nullptr);
    for (int id : kPenPictures) {
        SCOPED_TRACE(id);
        ASSERT_NE(picture(id), nullptr);
        EXPECT_EQ(picture(id)->GetWidth(), first->GetWidth());
        EXPECT_EQ(picture(id)->GetHeight(), first->GetHeight());
    }
}

// The small pictures drawn at their size times the dots per inch over 96: above 96 from the copy
// drawn at twice the size, so they stay sharp; pictures without a copy are scaled themselves.
TEST_F(Pictures, SmallPicturesHaveASharpCopyForMoreDotsPerInch) {
    ASSERT_TRUE(library_->loaded());
    for (int id : {kPenPictures[0], kPenPictures[1], kPenPictures[2], 129, 130}) {
        SCOPED_TRACE(id);
        Gdiplus::Bitmap* small = picture(id);
        Gdiplus::Bitmap* large = picture(id + platform::PictureLibrary::kLargeOffset);
        ASSERT_NE(small, nullptr);
        ASSERT_NE(large, nullptr);
        EXPECT_EQ(large->GetWidth(), 2 * small->GetWidth());
        EXPECT_EQ(large->GetHeight(), 2 * small->GetHeight());
        const int w = static_cast<int>(small->GetWidth()), h = static_cast<int>(small->GetHeight());
        const struct {
            int dpi;
            Gdiplus::Bitmap* drawn;
            int width, height;
        } cases[] = {{96, small, w, h},
                     {144, large, (w * 3 + 1) / 2, (h * 3 + 1) / 2},  // halves rounded up
                     {192, large, 2 * w, 2 * h}};
        for (const auto& c : cases) {
            const auto sized = library_->forDpi(id, c.dpi);
            EXPECT_EQ(sized.bitmap, c.drawn) << c.dpi;
            EXPECT_EQ(sized.width, c.width) << c.dpi;
            EXPECT_EQ(sized.height, c.height) << c.dpi;
        }
    }
    const auto preview = library_->forDpi(210, 192);
    EXPECT_EQ(preview.bitmap, picture(210));
    EXPECT_EQ(preview.width, 2 * static_cast<int>(picture(210)->GetWidth()));
    EXPECT_EQ(library_->forDpi(9999, 192).bitmap, nullptr);
}

TEST_F(Pictures, PreviewsTurnWithTheRotationAndRepeatAfterHalfATurn) {
    ASSERT_TRUE(library_->loaded());
    int checked = 0;
    for (const auto& dev : demoDevices().devices) {
        const int32_t* r = dev->pictureIds + 2;  // rotation 0..3
        if (r[0] == 0 || r[1] == 0 || r[2] == 0 || r[3] == 0) continue;
        SCOPED_TRACE(r[0]);
        Gdiplus::Bitmap *r0 = picture(r[0]), *r1 = picture(r[1]), *r2 = picture(r[2]),
                        *r3 = picture(r[3]);
        ASSERT_TRUE(r0 && r1 && r2 && r3);
        EXPECT_EQ(r1->GetWidth(), r0->GetHeight());  // a quarter turn swaps the sides
        EXPECT_EQ(r1->GetHeight(), r0->GetWidth());
        EXPECT_EQ(argb(*r2), argb(*r0));
        EXPECT_EQ(argb(*r3), argb(*r1));
        ++checked;
    }
    EXPECT_GE(checked, 2);
}

TEST_F(Pictures, NumbersWithoutAPictureGiveNone) {
    ASSERT_TRUE(library_->loaded());
    const std::set<int> ids = usedIds();
    for (int id : {0, -1, 209, 0x10000}) {
        SCOPED_TRACE(id);
        ASSERT_EQ(ids.count(id), 0u);
        EXPECT_EQ(picture(id), nullptr);
    }
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

// Scribo.exe's resources, read without running it.
class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        program_.reset(LoadLibraryExW((layoutDir() + L"\\Scribo.exe").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(program_);
    }
    platform::UniqueModule program_;
};

TEST_F(ProgramResources, EveryIconHasItsLayersWithAlpha) {
    for (int id : {IDI_MAIN, IDI_TRAY_ALT, IDI_OTHERS, IDI_REMOTE}) {
        for (int size : {16, 24, 32, 48, 256}) {
            SCOPED_TRACE(testing::Message() << "icon " << id << " at " << size);
            platform::UniqueIcon icon(static_cast<HICON>(LoadImageW(
                program_.get(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
            ASSERT_TRUE(icon);
            ICONINFO ii = {};
            ASSERT_TRUE(GetIconInfo(icon.get(), &ii));
            platform::UniqueBitmap color(ii.hbmColor), mask(ii.hbmMask);
            int w = 0, h = 0;
            std::vector<uint32_t> px = pixels(color.get(), w, h);
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

CursorPixels loadCursor(HMODULE program, int id, int size) {
    CursorPixels c;
    HCURSOR cur = static_cast<HCURSOR>(
        LoadImageW(program, MAKEINTRESOURCEW(id), IMAGE_CURSOR, size, size, LR_DEFAULTCOLOR));
    if (!cur || !GetIconInfo(cur, &c.ii)) return c;
    platform::UniqueBitmap color(c.ii.hbmColor), mask(c.ii.hbmMask);
    c.px = pixels(color.get(), c.w, c.h);
    DestroyCursor(cur);
    return c;
}

TEST_F(ProgramResources, TopLeftBracketHasItsCornerOnTheHotSpot) {
    CursorPixels c = loadCursor(program_.get(), IDC_CORNER_TL, 64);
    ASSERT_EQ(c.w, 64);
    ASSERT_EQ(c.h, 64);
    EXPECT_FALSE(c.ii.fIcon);
    EXPECT_EQ(c.ii.xHotspot, 0u);
    EXPECT_EQ(c.ii.yHotspot, 0u);
    EXPECT_EQ(c.at(0, 0), kBracket);
    EXPECT_EQ(c.at(47, 3), kBracket);  // horizontal arm: 48 long, 4 thick
    EXPECT_EQ(c.at(48, 0) >> 24, 0u);
    EXPECT_EQ(c.at(0, 4), kBracket);
    EXPECT_EQ(c.at(4, 4) >> 24, 0u);
    EXPECT_EQ(c.at(3, 47), kBracket);  // vertical arm
    EXPECT_EQ(c.at(0, 48) >> 24, 0u);
    EXPECT_EQ(c.at(63, 63) >> 24, 0u);
}

TEST_F(ProgramResources, BottomRightBracketHasItsCornerInTheLastPixel) {
    CursorPixels c = loadCursor(program_.get(), IDC_CORNER_BR, 64);
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

TEST_F(ProgramResources, AtTheStandardSizeTheBottomRightCornerIsThirtyOnePixelsFromTheHotSpot) {
    // The area-selection overlay adds (31, 31) to the click point for this cursor.
    CursorPixels c = loadCursor(program_.get(), IDC_CORNER_BR, 32);
    ASSERT_EQ(c.w, 32);
    EXPECT_EQ(c.ii.xHotspot, 0u);
    EXPECT_GT(c.at(31, 31) >> 24, 128u);
    EXPECT_EQ(c.at(29, 29) >> 24, 0u);
}

}  // namespace
