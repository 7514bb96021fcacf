// The texture preview end to end: a click on either half of a pair shows the
// picture fitted to the pane over the checkerboard where it is transparent,
// with its status line; a refused texture says why on the status line, with
// no picture and no message box.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

#include "TextureBuilder.h"
#include "ViewerSupport.h"
#include "viewer/preview/ImageView.h"
#include "vpk/PackBuilder.h"
#include "win/Gdi.h"

namespace {

using viewer::preview::ImageView;
using viewertest::Click;

// 64 x 32, BGRA8888: the left half opaque red, the right half transparent.
std::string HalfRedTexture() {
    std::string row;
    for (int x = 0; x < 64; ++x) row += x < 32 ? std::string("\x00\x00\xFF\xFF", 4) : std::string(4, '\0');
    test::VtfBuilder vtf;
    vtf.width = 64;
    vtf.height = 32;
    vtf.largest = row;
    return vtf.Build();
}

class TexturePreview : public viewertest::ViewerOnScreen {
protected:
    ImageView* Image() { return dynamic_cast<ImageView*>(win::Window::FromHandle(preview())); }

    // The preview's pixel at (x, y) of its client area, as the screen shows it.
    COLORREF PixelAt(int x, int y) {
        ::UpdateWindow(preview());
        win::ClientDC window(preview());
        win::MemoryDC copy(window.Get());
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 1, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        win::Bitmap dib(::CreateDIBSection(window.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        win::SelectGuard select(copy.Get(), dib);
        ::BitBlt(copy.Get(), 0, 0, 1, 1, window.Get(), x, y, SRCCOPY);
        ::GdiFlush();
        const DWORD pixel = *static_cast<const DWORD*>(bits);
        return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }
};

TEST_F(TexturePreview, EitherHalfShowsThePictureFittedOverTheCheckerboard) {
    const test::TexturePairBuilder pair = test::TexturePairBuilder::Cut(HalfRedTexture());
    Load(Pack("textures.vpk", test::PackBuilder()
                                  .Add("materials/half.tth", pair.Tth())
                                  .Add("materials/half.ttz", pair.ttz)
                                  .Build()));
    for (int row : {0, 1}) {
        SCOPED_TRACE(row);
        Click(viewer, entries(), {row});
        ASSERT_TRUE(::IsWindowVisible(preview()));
        ASSERT_NE(Image(), nullptr);
        const std::string status = "64 \xD7 32 \xB7 BGRA8888 \xB7 1 mip  |  materials/half.tth";
        EXPECT_EQ(Status(), status);
        EXPECT_EQ(win::WindowText(preview()), status);

        // Smaller than a quarter of the pane: enlarged to its width or
        // height, aspect kept, centred.
        const win::Rect pane = win::ClientRect(preview());
        const win::Rect image = Image()->ImageRect();
        ASSERT_GT(pane.Width(), 128);
        ASSERT_GT(pane.Height(), 64);
        EXPECT_TRUE(image.Width() == pane.Width() || image.Height() == pane.Height());
        EXPECT_NEAR(image.Width(), 2 * image.Height(), 1);
        const int middle = (image.top + image.bottom) / 2;
        EXPECT_EQ(PixelAt(image.left + image.Width() / 4, middle), RGB(255, 0, 0));
        const COLORREF clear = PixelAt(image.left + image.Width() * 3 / 4, middle);
        EXPECT_TRUE(clear == viewer::preview::kCheckerDark || clear == viewer::preview::kCheckerLight) << clear;
    }
    EXPECT_TRUE(messages.Take().empty());
    EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(TexturePreview, RefusedTextureSaysWhyOnTheStatusLineWithoutABox) {
    test::TexturePairBuilder pair = test::TexturePairBuilder::Cut(HalfRedTexture());
    pair.magic = std::string("TTX", 4);
    Load(Pack("bad.vpk", test::PackBuilder().Add("materials/bad.tth", pair.Tth()).Add("materials/bad.ttz", pair.ttz).Build()));
    Click(viewer, entries(), {0});
    ASSERT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(Status().rfind("materials/bad.tth: ", 0), 0u) << Status();
    EXPECT_EQ(win::WindowText(preview()), Status());
    ASSERT_NE(Image(), nullptr);
    EXPECT_TRUE(Image()->ImageRect().IsEmpty());
    EXPECT_TRUE(boxes.calls.empty());
}

// A texture is known by its name's ending, as its pair is: a dot elsewhere in
// its path does not hide it, nor an empty .ttz (the .tth holding the whole
// file), and "tth" inside a longer name makes no texture.
TEST_F(TexturePreview, KnownByItsNamesEnding) {
    const test::TexturePairBuilder pair = test::TexturePairBuilder::Cut(HalfRedTexture(), UINT32_MAX);
    ASSERT_TRUE(pair.ttz.empty());
    Load(Pack("dots.vpk", test::PackBuilder()
                              .Add("materials/v1.5/half.tth", pair.Tth())
                              .Add("materials/v1.5/half.ttz", pair.ttz)
                              .Add("notes.tth.txt", "not a texture")
                              .Build()));
    Click(viewer, entries(), {1});
    EXPECT_EQ(Status(), "64 \xD7 32 \xB7 BGRA8888 \xB7 1 mip  |  materials/v1.5/half.tth");
    Click(viewer, entries(), {2});
    EXPECT_TRUE(::IsWindowVisible(preview()));
    EXPECT_EQ(Status(), "notes.tth.txt  |  13 bytes  |  text");
}

// Either half's pop-up saves the texture where the save dialog says: the
// VTF byte for byte, the PNG decoding to the texture's pixels; the dialog
// opens where the last one saved.
TEST_F(TexturePreview, SaveAsPngAndVtfWriteTheTexture) {
    namespace fs = std::filesystem;
    const std::string vtf = HalfRedTexture();
    const test::TexturePairBuilder pair = test::TexturePairBuilder::Cut(vtf);
    Load(Pack("textures.vpk", test::PackBuilder()
                                  .Add("materials/half.tth", pair.Tth())
                                  .Add("materials/half.ttz", pair.ttz)
                                  .Add("materials/half.vmt", "\"LightmappedGeneric\" {}")
                                  .Build()));
    wintest::PopupMenuRecorder menus;
    wintest::SaveFileDialogRecorder saves;
    const fs::path out = dir.Path() / "out";
    fs::create_directory(out);
    menus.Script({ID_SAVE_AS_VTF, ID_SAVE_AS_PNG});
    saves.Script({(out / "half.vtf").string(), (out / "half.png").string()});
    viewertest::Select(entries(), {1});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    viewertest::Select(entries(), {0});
    viewertest::Notify(viewer, entries(), NM_RCLICK);

    EXPECT_EQ(test::ReadFile(out / "half.vtf"), vtf);
    const std::string png = test::ReadFile(out / "half.png");
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(reinterpret_cast<const unsigned char*>(png.data()),
                                                  static_cast<int>(png.size()), &width, &height, &channels, 4);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 64);
    EXPECT_EQ(height, 32);
    const unsigned char* last = pixels + (31 * 64 + 63) * 4;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pixels), 4), std::string("\xFF\x00\x00\xFF", 4));
    EXPECT_EQ(last[3], 0);
    stbi_image_free(pixels);
    ASSERT_EQ(saves.calls.size(), 2u);
    EXPECT_EQ(saves.calls[0].initialFile, "half.vtf");
    EXPECT_EQ(saves.calls[0].owner, viewer.Handle());
    EXPECT_EQ(saves.calls[1].initialFile, "half.png");
    EXPECT_EQ(saves.calls[1].initialDirectory, out.string());
    EXPECT_FALSE(fs::exists(out / "half.png.partial"));
    EXPECT_TRUE(boxes.calls.empty());

    // Not a texture: both items greyed; so is a directory pack's row named
    // like one, which has no bytes.
    viewertest::Select(entries(), {2});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    Load(Pack("folders.vpk", test::PackBuilder().Type(1).Add("materials/half.tth", "").Build()));
    viewertest::Select(entries(), {0});
    viewertest::Notify(viewer, entries(), NM_RCLICK);
    ASSERT_EQ(menus.calls.size(), 4u);
    EXPECT_FALSE(menus.calls[0].items[7].grayed || menus.calls[0].items[8].grayed);
    for (std::size_t call : {2u, 3u}) {
        SCOPED_TRACE(call);
        EXPECT_TRUE(menus.calls[call].items[7].grayed && menus.calls[call].items[8].grayed);
    }
}

// Drawn sizes: down to fit, 1:1 when it fits but is not small, up to fit
// when it fits in a quarter of the pane.
TEST(FitImage, KeepsAspectAndEnlargesOnlySmallImages) {
    using viewer::preview::DrawnSize;
    using viewer::preview::FitImage;
    struct Case {
        std::uint32_t w, h;
        int pw, ph;
        DrawnSize want;
    } cases[] = {
        {2048, 1024, 400, 400, {400, 200}}, {1024, 2048, 400, 400, {200, 400}}, {300, 300, 400, 400, {300, 300}},
        {200, 100, 400, 400, {400, 200}},   {201, 100, 400, 400, {201, 100}},  {16384, 1, 100, 100, {100, 1}},
        {64, 32, 0, 400, {0, 0}},           {0, 32, 400, 400, {0, 0}},
    };
    for (const Case& c : cases) {
        const DrawnSize got = FitImage(c.w, c.h, c.pw, c.ph);
        EXPECT_TRUE(got == c.want) << c.w << "x" << c.h << " in " << c.pw << "x" << c.ph << ": " << got.width << "x"
                                   << got.height;
    }
}

}  // namespace
