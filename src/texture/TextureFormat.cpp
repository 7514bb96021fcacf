#include "texture/TextureFormat.h"

#include <algorithm>
#include <cstring>

namespace texture {
namespace {

std::uint32_t Le16(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

// Byte formats: where each of R, G, B and A lies in the pixel's bytes, -1
// for a channel the format lacks (255 for alpha, 0 for colour).
template <unsigned Bytes, int R, int G, int B, int A>
void DecodeBytes(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, in += Bytes, out += 4) {
        out[0] = R < 0 ? 0 : in[R < 0 ? 0 : R];
        out[1] = G < 0 ? 0 : in[G < 0 ? 0 : G];
        out[2] = B < 0 ? 0 : in[B < 0 ? 0 : B];
        out[3] = A < 0 ? 255 : in[A < 0 ? 0 : A];
    }
}

// A field of `Bits` bits widened to 8 by repeating its high bits.
template <unsigned Bits>
unsigned char Widen(std::uint32_t value)
{
    if constexpr (Bits == 0) {
        return 0;
    } else if constexpr (Bits == 1) {
        return value != 0 ? 255 : 0;
    } else {
        return static_cast<unsigned char>(value << (8 - Bits) | value >> (2 * Bits - 8));
    }
}

// Packed 16-bit formats: each channel's lowest bit and width; a channel of
// width 0 is absent.
template <unsigned RShift, unsigned RBits, unsigned GShift, unsigned GBits, unsigned BShift, unsigned BBits,
          unsigned AShift, unsigned ABits>
void DecodePacked16(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, in += 2, out += 4) {
        const std::uint32_t v = Le16(in);
        out[0] = Widen<RBits>(v >> RShift & ((1u << RBits) - 1));
        out[1] = Widen<GBits>(v >> GShift & ((1u << GBits) - 1));
        out[2] = Widen<BBits>(v >> BShift & ((1u << BBits) - 1));
        out[3] = ABits == 0 ? 255 : Widen<ABits>(v >> AShift & ((1u << ABits) - 1));
    }
}

void DecodeI8(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, ++in, out += 4) {
        out[0] = out[1] = out[2] = in[0];
        out[3] = 255;
    }
}

void DecodeIA88(const unsigned char* in, unsigned char* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, in += 2, out += 4) {
        out[0] = out[1] = out[2] = in[0];
        out[3] = in[1];
    }
}

// The colour half of every DXT block: two RGB565 end points (red in the
// high bits) and 2-bit indices. Three-colour mode (first end point not
// above the second) exists only in DXT1; its fourth colour is black,
// transparent where the format has one-bit alpha.
void DecodeColors(const unsigned char* block, bool dxt1, unsigned char blackAlpha, unsigned char (&rgba)[64])
{
    const std::uint32_t c0 = Le16(block);
    const std::uint32_t c1 = Le16(block + 2);
    unsigned char palette[4][4];
    for (int i = 0; i < 2; ++i) {
        const std::uint32_t c = i == 0 ? c0 : c1;
        palette[i][0] = Widen<5>(c >> 11 & 31);
        palette[i][1] = Widen<6>(c >> 5 & 63);
        palette[i][2] = Widen<5>(c & 31);
        palette[i][3] = 255;
    }
    const bool fourColors = !dxt1 || c0 > c1;
    for (int ch = 0; ch < 3; ++ch) {
        const unsigned a = palette[0][ch];
        const unsigned b = palette[1][ch];
        if (fourColors) {
            palette[2][ch] = static_cast<unsigned char>((2 * a + b) / 3);
            palette[3][ch] = static_cast<unsigned char>((a + 2 * b) / 3);
        } else {
            palette[2][ch] = static_cast<unsigned char>((a + b) / 2);
            palette[3][ch] = 0;
        }
    }
    palette[2][3] = 255;
    palette[3][3] = fourColors ? 255 : blackAlpha;
    std::uint32_t indexes = Le16(block + 4) | Le16(block + 6) << 16;
    for (int i = 0; i < 16; ++i, indexes >>= 2)
        std::memcpy(rgba + 4 * i, palette[indexes & 3], 4);
}

// DXT5's alpha half: two end points and 3-bit indices over 48 bits.
void DecodeInterpolatedAlpha(const unsigned char* block, unsigned char (&rgba)[64])
{
    const unsigned a0 = block[0];
    const unsigned a1 = block[1];
    unsigned char alpha[8] = {static_cast<unsigned char>(a0), static_cast<unsigned char>(a1)};
    if (a0 > a1) {
        for (unsigned i = 1; i < 7; ++i)
            alpha[i + 1] = static_cast<unsigned char>(((7 - i) * a0 + i * a1) / 7);
    } else {
        for (unsigned i = 1; i < 5; ++i)
            alpha[i + 1] = static_cast<unsigned char>(((5 - i) * a0 + i * a1) / 5);
        alpha[6] = 0;
        alpha[7] = 255;
    }
    std::uint64_t indexes = 0;
    for (int i = 5; i >= 0; --i)
        indexes = indexes << 8 | block[2 + i];
    for (int i = 0; i < 16; ++i, indexes >>= 3)
        rgba[4 * i + 3] = alpha[indexes & 7];
}

constexpr TextureFormat kFormats[] = {
    {0, "RGBA8888", 4, 0, DecodeBytes<4, 0, 1, 2, 3>, nullptr},
    {1, "ABGR8888", 4, 0, DecodeBytes<4, 3, 2, 1, 0>, nullptr},
    {2, "RGB888", 3, 0, DecodeBytes<3, 0, 1, 2, -1>, nullptr},
    {3, "BGR888", 3, 0, DecodeBytes<3, 2, 1, 0, -1>, nullptr},
    {4, "RGB565", 2, 0, DecodePacked16<0, 5, 5, 6, 11, 5, 0, 0>, nullptr},
    {5, "I8", 1, 0, DecodeI8, nullptr},
    {6, "IA88", 2, 0, DecodeIA88, nullptr},
    {8, "A8", 1, 0, DecodeBytes<1, -1, -1, -1, 0>, nullptr},
    {11, "ARGB8888", 4, 0, DecodeBytes<4, 1, 2, 3, 0>, nullptr},
    {12, "BGRA8888", 4, 0, DecodeBytes<4, 2, 1, 0, 3>, nullptr},
    {13, "DXT1", 0, 8, nullptr, DecodeDxt1Block},
    {14, "DXT3", 0, 16, nullptr, DecodeDxt3Block},
    {15, "DXT5", 0, 16, nullptr, DecodeDxt5Block},
    {16, "BGRX8888", 4, 0, DecodeBytes<4, 2, 1, 0, -1>, nullptr},
    {17, "BGR565", 2, 0, DecodePacked16<11, 5, 5, 6, 0, 5, 0, 0>, nullptr},
    {19, "BGRA4444", 2, 0, DecodePacked16<8, 4, 4, 4, 0, 4, 12, 4>, nullptr},
    {20, "DXT1_ONEBITALPHA", 0, 8, nullptr, DecodeDxt1AlphaBlock},
    {21, "BGRA5551", 2, 0, DecodePacked16<10, 5, 5, 5, 0, 5, 15, 1>, nullptr},
};

}  // namespace

void DecodeDxt1Block(const unsigned char* block, unsigned char (&rgba)[64])
{
    DecodeColors(block, true, 255, rgba);
}

void DecodeDxt1AlphaBlock(const unsigned char* block, unsigned char (&rgba)[64])
{
    DecodeColors(block, true, 0, rgba);
}

void DecodeDxt3Block(const unsigned char* block, unsigned char (&rgba)[64])
{
    DecodeColors(block + 8, false, 255, rgba);
    for (int i = 0; i < 16; ++i) {
        const unsigned nibble = (block[i / 2] >> (4 * (i % 2))) & 15;
        rgba[4 * i + 3] = static_cast<unsigned char>(nibble * 17);
    }
}

void DecodeDxt5Block(const unsigned char* block, unsigned char (&rgba)[64])
{
    DecodeColors(block + 8, false, 255, rgba);
    DecodeInterpolatedAlpha(block, rgba);
}

const TextureFormat* FindTextureFormat(std::int32_t number)
{
    for (const TextureFormat& format : kFormats) {
        if (format.number == number)
            return &format;
    }
    return nullptr;
}

std::uint64_t ImageBytes(const TextureFormat& format, std::uint32_t width, std::uint32_t height)
{
    if (format.blockBytes != 0)
        return std::uint64_t{(width + 3) / 4} * ((height + 3) / 4) * format.blockBytes;
    return std::uint64_t{width} * height * format.bytesPerPixel;
}

void DecodeImage(const TextureFormat& format, const unsigned char* data, std::uint32_t width, std::uint32_t height,
                 unsigned char* rgba)
{
    const std::size_t rowBytes = std::size_t{width} * 4;
    if (format.blockBytes == 0) {
        format.decodePixels(data, rgba, std::size_t{width} * height);
        return;
    }
    unsigned char block[64];
    for (std::uint32_t y = 0; y < height; y += 4) {
        const std::uint32_t rows = std::min<std::uint32_t>(4, height - y);
        for (std::uint32_t x = 0; x < width; x += 4, data += format.blockBytes) {
            format.decodeBlock(data, block);
            const std::size_t columns = std::min<std::uint32_t>(4, width - x) * 4;
            for (std::uint32_t r = 0; r < rows; ++r)
                std::memcpy(rgba + (y + r) * rowBytes + std::size_t{x} * 4, block + 16 * r, columns);
        }
    }
}

}  // namespace texture
