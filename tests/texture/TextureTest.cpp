// The texture library: pairs in a pack, the rebuilt VTF, its header and the
// decoded pixels, on textures built here and on the real samples.
#include "texture/ImageFiles.h"
#include "texture/TexturePair.h"
#include "vpk/VpkArchive.h"

#include "FakeFileSystem.h"
#include "PackBuilder.h"
#include "TestSupport.h"
#include "texture/TextureBuilder.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#include <stb_image.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>

namespace {

using test::TexturePairBuilder;
using test::VtfBuilder;
using Pixel = std::array<int, 4>;

class TextureTest : public ::testing::Test {
protected:
    // Opens a pack of the given entries (from memory) and loads the texture
    // the entry at index belongs to; false with why set when refused.
    bool LoadFrom(const test::PackBuilder& builder, std::uint32_t index)
    {
        const std::string bytes = builder.Build();
        fake.AddSparseFile("p.vpk", bytes.size(), bytes);
        archive.Close();
        if (!archive.Open("p.vpk") || !archive.ReadDirectory())
            return false;
        const texture::TexturePairs pairs(archive);
        return texture::LoadTexture(archive, pairs.PairOf(index), loaded, why) &&
               texture::DecodeLargestImage(loaded.vtf.data(), loaded.info, rgba, why);
    }

    bool Load(const TexturePairBuilder& pair, bool withTtz = true)
    {
        test::PackBuilder builder;
        builder.Add("materials/X.tth", pair.Tth());
        if (withTtz)
            builder.Add("materials/x.TTZ", pair.ttz);
        return LoadFrom(builder, 0);
    }

    Pixel At(std::uint32_t x, std::uint32_t y) const
    {
        const std::size_t at = (std::size_t{y} * loaded.info.width + x) * 4;
        return {rgba[at], rgba[at + 1], rgba[at + 2], rgba[at + 3]};
    }

    test::MessageRecorder recorder;
    test::FakeFileSystem fake;
    VpkArchive archive;
    texture::LoadedTexture loaded;
    std::vector<unsigned char> rgba;
    std::string why;
};

std::uint64_t Fnv1a(const std::vector<unsigned char>& bytes)
{
    std::uint64_t hash = 14695981039346656037u;
    for (const unsigned char b : bytes)
        hash = (hash ^ b) * 1099511628211u;
    return hash;
}

TEST_F(TextureTest, TheRealSamplesDecodeToThePixelsSeenOnce)
{
    TESSARO_REQUIRE_TESTDATA();
    struct Sample {
        const char* name;
        std::uint64_t checksum;
    };
    // Checked by eye once (written as PNG and looked at): a dark panel over a
    // framed box of answer lines in blue, pink and green (blue and green in
    // the Nosferatu one), the rest translucent black; pinned by checksum.
    const Sample samples[] = {{"dialog_feats", 17226440361362353008u},
                              {"dialog_feats_nosferatu", 16207819882177396790u}};
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const std::string base = std::string("textures/") + sample.name;
        const std::string tth = test::ReadFile(test::TestDataPath((base + ".tth").c_str()));
        const std::string ttz = test::ReadFile(test::TestDataPath((base + ".ttz").c_str()));
        // Named by its .ttz half.
        ASSERT_TRUE(LoadFrom(test::PackBuilder().Add("interface/a.ttz", ttz).Add("interface/a.tth", tth), 0)) << why;
        EXPECT_EQ(loaded.vtf.size(), 16777280u);
        EXPECT_EQ(loaded.tth.mipFlags, std::vector<std::uint64_t>{0x40});
        EXPECT_EQ(loaded.info.minor, 1u);
        EXPECT_EQ(loaded.info.width, 2048u);
        EXPECT_EQ(loaded.info.height, 1024u);
        EXPECT_STREQ(loaded.info.format->name, "BGRA8888");
        EXPECT_EQ(loaded.info.mipCount, 1u);
        EXPECT_EQ(loaded.info.frames, 1u);
        EXPECT_EQ(At(0, 0), (Pixel{0, 0, 0, 0x61}));
        EXPECT_EQ(Fnv1a(rgba), sample.checksum);
    }
}

TEST_F(TextureTest, UncompressedFormatsDecodeEachChannel)
{
    struct Case {
        std::int32_t format;
        std::string pixel;  // one pixel as stored
        Pixel expected;
    };
    const Case cases[] = {
        {0, "\x10\x20\x30\x40", {0x10, 0x20, 0x30, 0x40}},
        {1, "\x10\x20\x30\x40", {0x40, 0x30, 0x20, 0x10}},
        {2, "\x10\x20\x30", {0x10, 0x20, 0x30, 255}},
        {3, "\x10\x20\x30", {0x30, 0x20, 0x10, 255}},
        {4, std::string("\x1F\x00", 2), {255, 0, 0, 255}},            // RGB565: red in the low bits
        {4, "\xE0\x07", {0, 255, 0, 255}},
        {5, "\x7F", {0x7F, 0x7F, 0x7F, 255}},
        {6, "\x7F\x10", {0x7F, 0x7F, 0x7F, 0x10}},
        {8, "\x33", {0, 0, 0, 0x33}},
        {11, "\x10\x20\x30\x40", {0x20, 0x30, 0x40, 0x10}},
        {12, "\x10\x20\x30\x40", {0x30, 0x20, 0x10, 0x40}},
        {16, "\x10\x20\x30\x40", {0x30, 0x20, 0x10, 255}},
        {17, std::string("\x1F\x00", 2), {0, 0, 255, 255}},           // BGR565: blue in the low bits
        {17, std::string("\x00\xF8", 2), {255, 0, 0, 255}},
        {19, "\x21\x43", {0x33, 0x22, 0x11, 0x44}},   // BGRA4444
        {21, std::string("\x1F\x80", 2), {0, 0, 255, 255}},  // BGRA5551
        {21, std::string("\x00\x7C", 2), {255, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const texture::TextureFormat* format = texture::FindTextureFormat(c.format);
        ASSERT_NE(format, nullptr) << c.format;
        ASSERT_EQ(texture::ImageBytes(*format, 1, 1), c.pixel.size()) << format->name;
        unsigned char out[4];
        texture::DecodeImage(*format, reinterpret_cast<const unsigned char*>(c.pixel.data()), 1, 1, out);
        EXPECT_EQ((Pixel{out[0], out[1], out[2], out[3]}), c.expected) << format->name;
    }
    EXPECT_EQ(texture::FindTextureFormat(7), nullptr);
    EXPECT_EQ(texture::FindTextureFormat(-1), nullptr);
}

TEST_F(TextureTest, DxtBlocksDecodeColoursAndAlpha)
{
    // Colour half: red (F800) and blue (001F) end points; pixels 0-3 take
    // indexes 0, 1, 2, 3, the rest 0.
    const std::string redBlue("\x00\xF8\x1F\x00\xE4\x00\x00\x00", 8);
    const std::string blueRed("\x1F\x00\x00\xF8\xE4\x00\x00\x00", 8);
    struct Case {
        std::int32_t format;
        std::string block;
        std::array<Pixel, 4> first;  // pixels 0-3 of the top row
    };
    const Case cases[] = {
        {13, redBlue, {{{255, 0, 0, 255}, {0, 0, 255, 255}, {170, 0, 85, 255}, {85, 0, 170, 255}}}},
        // Three colours and black, opaque in DXT1, transparent with one-bit alpha.
        {13, blueRed, {{{0, 0, 255, 255}, {255, 0, 0, 255}, {127, 0, 127, 255}, {0, 0, 0, 255}}}},
        {20, blueRed, {{{0, 0, 255, 255}, {255, 0, 0, 255}, {127, 0, 127, 255}, {0, 0, 0, 0}}}},
        // DXT3: 4-bit alpha, low nibble first; its colours always four.
        {14, std::string("\x10\x32\0\0\0\0\0\0", 8) + blueRed,
         {{{0, 0, 255, 0}, {255, 0, 0, 17}, {85, 0, 170, 34}, {170, 0, 85, 51}}}},
        // DXT5, eight alphas (255 > 0): indexes 0, 1, 2, 7.
        {15, std::string("\xFF\x00\x88\x0E\0\0\0\0", 8) + redBlue,
         {{{255, 0, 0, 255}, {0, 0, 255, 0}, {170, 0, 85, 218}, {85, 0, 170, 36}}}},
        // DXT5, six alphas and 0 and 255 (0 <= 255): indexes 2, 5, 6, 7.
        {15, std::string("\x00\xFF\xAA\x0F\0\0\0\0", 8) + redBlue,
         {{{255, 0, 0, 51}, {0, 0, 255, 204}, {170, 0, 85, 0}, {85, 0, 170, 255}}}},
    };
    for (const Case& c : cases) {
        const texture::TextureFormat* format = texture::FindTextureFormat(c.format);
        SCOPED_TRACE(format->name);
        ASSERT_EQ(texture::ImageBytes(*format, 4, 4), c.block.size());
        unsigned char out[64];
        texture::DecodeImage(*format, reinterpret_cast<const unsigned char*>(c.block.data()), 4, 4, out);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ((Pixel{out[4 * i], out[4 * i + 1], out[4 * i + 2], out[4 * i + 3]}), c.first[i]) << i;
    }
}

TEST_F(TextureTest, ImagesNotAMultipleOfFourTakeWholeBlocks)
{
    // 6x5 DXT1: 2x2 blocks, each of one colour; the image shows the parts
    // of them that fit.
    const texture::TextureFormat& dxt1 = *texture::FindTextureFormat(13);
    EXPECT_EQ(texture::ImageBytes(dxt1, 6, 5), 32u);
    EXPECT_EQ(texture::ImageBytes(dxt1, 1, 1), 8u);
    std::string blocks;
    for (const char* colour : {"\x00\xF8", "\xE0\x07", "\x1F\x00", "\xFF\xFF"})
        blocks += std::string(colour, 2) + std::string(colour, 2) + std::string(4, '\0');
    unsigned char out[6 * 5 * 4];
    texture::DecodeImage(dxt1, reinterpret_cast<const unsigned char*>(blocks.data()), 6, 5, out);
    auto at = [&](int x, int y) {
        const unsigned char* p = out + (y * 6 + x) * 4;
        return Pixel{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(at(3, 3), (Pixel{255, 0, 0, 255}));
    EXPECT_EQ(at(5, 0), (Pixel{0, 255, 0, 255}));
    EXPECT_EQ(at(0, 4), (Pixel{0, 0, 255, 255}));
    EXPECT_EQ(at(5, 4), (Pixel{255, 255, 255, 255}));
}

TEST_F(TextureTest, TheLargestMipsFirstImageIsFoundInEveryLayout)
{
    auto with = [](std::function<void(VtfBuilder&)> set) {
        VtfBuilder b;
        set(b);
        return b;
    };
    struct Case {
        const char* what;
        VtfBuilder vtf;
        std::uint32_t chunk;
    };
    const Case cases[] = {
        {"one mip, pixels in the chunk", VtfBuilder{}, 128},
        {"header alone in the chunk", VtfBuilder{}, 64},
        {"mips", with([](VtfBuilder& b) { b.mips = 4; }), 128},
        {"more mips than the sides halve", with([](VtfBuilder& b) { b.mips = 40; }), 128},
        {"frames and mips", with([](VtfBuilder& b) { b.frames = 3; b.mips = 2; }), 128},
        {"no frames counted", with([](VtfBuilder& b) { b.frames = 0; }), 128},
        {"environment map", with([](VtfBuilder& b) { b.flags = 0x4000; b.mips = 2; }), 128},
        {"thumbnail", with([](VtfBuilder& b) { b.thumbnailWidth = 16; b.thumbnailHeight = 8; b.mips = 3; }), 128},
        {"thumbnail format without a size",
         with([](VtfBuilder& b) { b.thumbnailFormat = 12; b.thumbnailHeight = 4; }), 128},
        {"more data than the header implies", with([](VtfBuilder& b) { b.extra = 200; }), 128},
        {"7.0", with([](VtfBuilder& b) { b.minor = 0; }), 128},
        {"7.2 depth", with([](VtfBuilder& b) { b.minor = 2; b.depth = 4; b.mips = 3; }), 128},
        {"7.3 resources", with([](VtfBuilder& b) { b.minor = 3; b.thumbnailWidth = 4; b.thumbnailHeight = 4; b.mips = 2; }), 96},
        {"7.5 resources past the chunk", with([](VtfBuilder& b) { b.minor = 5; b.frames = 2; }), 70},
        {"the whole file in the .tth", VtfBuilder{}, 1000},
        {"DXT5 with mips below 4x4", with([](VtfBuilder& b) { b.format = 15; b.width = 8; b.height = 8; b.mips = 4; }), 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const TexturePairBuilder pair = TexturePairBuilder::Cut(c.vtf.Build(), c.chunk);
        ASSERT_TRUE(Load(pair, !pair.ttz.empty())) << why;
        EXPECT_EQ(loaded.vtf, std::vector<unsigned char>(pair.vtf.begin(), pair.vtf.end()));
        EXPECT_EQ(loaded.info.width, c.vtf.width);
        EXPECT_EQ(loaded.info.mipCount, c.vtf.mips);
        // Every pixel of the image comes from the marker bytes.
        std::vector<unsigned char> expected(std::size_t{c.vtf.width} * c.vtf.height * 4);
        const std::string marker(texture::ImageBytes(*loaded.info.format, c.vtf.width, c.vtf.height), '\xA5');
        texture::DecodeImage(*loaded.info.format, reinterpret_cast<const unsigned char*>(marker.data()), c.vtf.width,
                             c.vtf.height, expected.data());
        EXPECT_EQ(rgba, expected);
    }
}

TEST_F(TextureTest, HalvesArePairedByNameInAnyCase)
{
    const std::string whole = VtfBuilder{}.Build();
    const TexturePairBuilder cut = TexturePairBuilder::Cut(whole);
    const TexturePairBuilder inTth = TexturePairBuilder::Cut(whole, 1000);
    const std::string pack = test::PackBuilder()
                                 .Add("a/One.TTH", cut.Tth())   // 0
                                 .Add("readme.txt", "text")     // 1
                                 .Add("a/one.ttz", cut.ttz)     // 2
                                 .Add("b.tth", inTth.Tth())     // 3: needs no .ttz
                                 .Add("c.ttz", cut.ttz)         // 4: no .tth
                                 .Add("A/ONE.tth", cut.Tth())   // 5: the first of the case-twins counts
                                 .Build();
    fake.AddSparseFile("p.vpk", pack.size(), pack);
    ASSERT_TRUE(archive.Open("p.vpk") && archive.ReadDirectory());
    const texture::TexturePairs pairs(archive);
    struct Case {
        std::uint32_t index;
        std::uint32_t tth;
        std::uint32_t ttz;
    };
    const std::uint32_t none = texture::kNoEntry;
    for (const Case& c : {Case{0, 0, 2}, Case{1, none, none}, Case{2, 0, 2}, Case{3, 3, none}, Case{4, none, 4},
                          Case{5, 0, 2}, Case{99, none, none}}) {
        const texture::TexturePair pair = pairs.PairOf(c.index);
        EXPECT_EQ(pair.tth, c.tth) << c.index;
        EXPECT_EQ(pair.ttz, c.ttz) << c.index;
    }
    EXPECT_TRUE(texture::LoadTexture(archive, pairs.PairOf(2), loaded, why)) << why;
    EXPECT_TRUE(texture::LoadTexture(archive, pairs.PairOf(3), loaded, why)) << why;
    EXPECT_FALSE(texture::LoadTexture(archive, pairs.PairOf(4), loaded, why));
    EXPECT_EQ(why, "c.ttz: no .tth beside it");
    EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(TextureTest, HostileTexturesAreRefusedNamingTheEntry)
{
    // Each case spoils one thing of a good 8x4 BGRA8888 texture with 16 bytes
    // to spare. early: refused before the VTF's memory is taken.
    struct Case {
        std::function<void(VtfBuilder&)> vtf;
        std::function<void(TexturePairBuilder&)> pair;
        std::string why;
        bool early = true;
    };
    auto none = [](auto&) {};
    const std::string name = "materials/X.tth: ";
    const Case cases[] = {
        {none, [](TexturePairBuilder& p) { p.magic = "TTZ"; p.magic.push_back('\0'); }, "not a texture header (wrong magic)"},
        {none, [](TexturePairBuilder& p) { p.tthCut = 11; }, "texture header cut short"},
        {none, [](TexturePairBuilder& p) { p.tthCut = 27; }, "texture header cut short"},
        {none, [](TexturePairBuilder& p) { p.tthCut = 128; }, "texture header's chunk cut short (100 of 128 bytes)"},
        {none, [](TexturePairBuilder& p) { p.vtfLength = 256u * 1024 * 1024 + 1; }, "VTF length 268435457 is over 256 MiB"},
        {none, [](TexturePairBuilder& p) { p.vtfLength = 100; }, "chunk of 128 bytes is longer than the VTF (100 bytes)"},
        {none, [](TexturePairBuilder& p) { p.ttzLength = 0; }, "no .ttz bytes declared, but the chunk holds 128 of the 208 VTF bytes"},
        {none, [](TexturePairBuilder& p) { p.ttz.clear(); }, ".ttz is empty"},
        {[](VtfBuilder& b) { b.extra = 100000; }, [](TexturePairBuilder& p) { p.ttzLength = 20; },
         ".ttz stream of 20 bytes can't inflate to the declared 100064 bytes"},
        {none, [](TexturePairBuilder& p) { p.ttz.pop_back(); }, ".ttz holds 13 bytes, fewer than the declared 14"},
        {none, [](TexturePairBuilder& p) { p.ttz[0] = 'y'; }, ".ttz stream is corrupt", false},
        {none, [](TexturePairBuilder& p) { p.ttzLength -= 4; }, ".ttz stream is cut short", false},
        {none, [](TexturePairBuilder& p) { p.vtfLength += 10; }, ".ttz stream ends after 80 of the declared 90 bytes", false},
        {none, [](TexturePairBuilder& p) { p.vtfLength -= 10; }, ".ttz stream inflates to more than the declared 70 bytes", false},
        {none, [](TexturePairBuilder& p) { p.vtf[0] = 'W'; }, "not a VTF file (wrong magic)"},
        {[](VtfBuilder& b) { b.minor = 6; }, none, "unsupported VTF version 7.6"},
        {[](VtfBuilder& b) { b.width = 0; }, none, "image size 0x4 is not within 1 to 16384"},
        {[](VtfBuilder& b) { b.height = 16385; }, none, "image size 8x16385 is not within 1 to 16384"},
        {[](VtfBuilder& b) { b.format = 7; }, none, "unknown image format 7"},
        {[](VtfBuilder& b) { b.mips = 0; }, none, "no mips"},
        {[](VtfBuilder& b) { b.thumbnailFormat = 99; b.thumbnailWidth = 1; b.thumbnailHeight = 1; }, none, "unknown thumbnail format 99"},
        {none, [](TexturePairBuilder& p) { p.vtf[56] = 3; }, "image data of 8x4 BGRA8888 lies past the end of the file"},
        {none, [](TexturePairBuilder& p) { p.vtf[24] = 2; }, "image data of 8x4 BGRA8888 lies past the end of the file"},
        {none, [](TexturePairBuilder& p) { p.vtf[12] = 64 + 32; p.vtf[13] = 1; }, "VTF header size 352 does not fit the file"},
        {[](VtfBuilder& b) { b.minor = 3; }, [](TexturePairBuilder& p) { p.vtf[88] = 0x31; }, "VTF has no image data resource"},
        {[](VtfBuilder& b) { b.minor = 3; }, [](TexturePairBuilder& p) { p.vtf[68] = 100; }, "VTF resource table cut short (100 entries)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        VtfBuilder vtf;
        vtf.extra = 16;
        c.vtf(vtf);
        TexturePairBuilder pair = TexturePairBuilder::Cut(vtf.Build());
        c.pair(pair);
        const std::string spoilt = pair.vtf;
        loaded = texture::LoadedTexture{};
        EXPECT_FALSE(Load(pair));
        EXPECT_EQ(why, name + c.why);
        if (c.early) {
            EXPECT_EQ(loaded.vtf.capacity(), 0u);
        }
    }
    // A missing .ttz, and a stream that would inflate far past its declared
    // length, are refused the same way.
    TexturePairBuilder pair = TexturePairBuilder::Cut(VtfBuilder{}.Build());
    EXPECT_FALSE(Load(pair, false));
    EXPECT_EQ(why, name + "no .ttz beside it");
    pair.ttz = test::Deflate(std::string(64 << 20, '\0'));
    pair.ttzLength = static_cast<std::uint32_t>(pair.ttz.size());
    EXPECT_FALSE(Load(pair));
    EXPECT_EQ(why, name + ".ttz stream inflates to more than the declared 64 bytes");
    EXPECT_TRUE(recorder.Take().empty());
}

TEST_F(TextureTest, ImagesAreWrittenAsPngAndTgaWholeOrNotAtAll)
{
    const std::uint32_t width = 3;
    const std::uint32_t height = 2;
    std::vector<unsigned char> pixels;
    for (int i = 0; i < 3 * 2 * 4; ++i)
        pixels.push_back(static_cast<unsigned char>(i * 10));
    for (const bool png : {true, false}) {
        std::vector<unsigned char> file;
        ASSERT_TRUE(png ? texture::EncodePng(pixels.data(), width, height, file)
                        : texture::EncodeTga(pixels.data(), width, height, file));
        if (!png) {
            EXPECT_EQ(file[2], 2);   // uncompressed true colour
            EXPECT_EQ(file[16], 32); // bits per pixel
        }
        int w = 0, h = 0, channels = 0;
        unsigned char* back = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &channels, 4);
        ASSERT_NE(back, nullptr);
        EXPECT_EQ(w, 3);
        EXPECT_EQ(h, 2);
        EXPECT_EQ(channels, 4);
        EXPECT_EQ(std::vector<unsigned char>(back, back + pixels.size()), pixels);
        stbi_image_free(back);
    }

    // A file that has the temporary name already is someone else's: it is
    // neither written, nor taken, nor removed.
    test::TempDir dir;
    const std::string path = dir / "t.png";
    test::WriteFile(path, "older");
    test::WriteFile(dir / "t.png.partial", "theirs");
    const std::vector<std::string> before{"t.png", "t.png.partial"};
    fake.writeLimit = 2;
    EXPECT_FALSE(texture::WriteFileWhole(path, pixels));
    fake.writeLimit.reset();
    fake.failRename = true;
    EXPECT_FALSE(texture::WriteFileWhole(path, pixels));
    EXPECT_EQ(test::Tree(dir.Path()), before);
    EXPECT_EQ(test::ReadFile(path), "older");
    fake.failRename = false;
    EXPECT_TRUE(texture::WriteFileWhole(path, pixels));
    EXPECT_EQ(test::ReadFile(path), std::string(pixels.begin(), pixels.end()));
    EXPECT_EQ(test::Tree(dir.Path()), before);
    EXPECT_EQ(test::ReadFile(dir / "t.png.partial"), "theirs");
}

}  // namespace
