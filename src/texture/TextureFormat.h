// The image formats a texture's pixels come in, and their decoding to RGBA8.
//
// Each format the program reads has one row in a table: its number as the
// VTF header gives it, its name as the program shows it ("DXT5",
// "BGRA8888"), how many bytes an image of it takes, and the function that
// turns those bytes into RGBA8 pixels. Uncompressed formats take whole
// pixels; DXT formats take whole 4x4 blocks (8 bytes for DXT1, 16 for DXT3
// and DXT5), an image smaller than 4x4 still taking one block each way.
//
// The decoders are pure functions over the caller's buffers: they read
// exactly ImageBytes(format, width, height) bytes and write width*height*4.
// The caller checks that the input holds that many bytes first.
//
// Packed 16-bit formats are named from the least significant bit up, as the
// 8-bit ones are named in byte order: RGB565 has red in bits 0-4, BGR565 blue.
#pragma once

#include <cstddef>
#include <cstdint>

namespace texture {

// Decodes a run of `pixels` pixels of an uncompressed format.
using PixelDecoder = void (*)(const unsigned char* in, unsigned char* rgba, std::size_t pixels);
// Decodes one 4x4 block into 16 RGBA8 pixels, row by row.
using BlockDecoder = void (*)(const unsigned char* block, unsigned char (&rgba)[64]);

struct TextureFormat {
    std::int32_t number;
    const char* name;
    unsigned bytesPerPixel;  // uncompressed formats; 0 for block formats
    unsigned blockBytes;     // block formats; 0 for uncompressed ones
    PixelDecoder decodePixels;
    BlockDecoder decodeBlock;
};

// The format of that number, or nullptr for one the program can't read.
const TextureFormat* FindTextureFormat(std::int32_t number);

// Bytes one image of width x height takes in the format (64-bit: the sizes
// come from the file).
std::uint64_t ImageBytes(const TextureFormat& format, std::uint32_t width, std::uint32_t height);

// Decodes one image to width*height RGBA8 pixels, rows top to bottom.
void DecodeImage(const TextureFormat& format, const unsigned char* data, std::uint32_t width, std::uint32_t height,
                 unsigned char* rgba);

// The block decoders on their own (tests and the table use them).
void DecodeDxt1Block(const unsigned char* block, unsigned char (&rgba)[64]);
void DecodeDxt1AlphaBlock(const unsigned char* block, unsigned char (&rgba)[64]);
void DecodeDxt3Block(const unsigned char* block, unsigned char (&rgba)[64]);
void DecodeDxt5Block(const unsigned char* block, unsigned char (&rgba)[64]);

}  // namespace texture
