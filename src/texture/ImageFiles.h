// Writing decoded textures as files other tools open: PNG (8-bit RGBA) and
// TGA (32-bit, uncompressed), both through stb_image_write, and writing any
// file whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace texture {

// The zlib level the PNG writer uses (see bench/README.md for the choice).
constexpr int kPngCompressionLevel = 6;

// Encodes width*height RGBA8 pixels (rows top to bottom). False only when
// the encoder fails (out of memory).
bool EncodePng(const unsigned char* rgba, std::uint32_t width, std::uint32_t height, std::vector<unsigned char>& file,
               int level = kPngCompressionLevel);
bool EncodeTga(const unsigned char* rgba, std::uint32_t width, std::uint32_t height, std::vector<unsigned char>& file);

// Writes bytes to path through the pack library's file system: first to a
// temporary file of a new name beside it (path + ".partial" when free), then
// renamed over path, so a failure leaves no half file (and an older file of
// that name untouched). False on failure, the temporary file removed again.
bool WriteFileWhole(const std::string& path, const std::vector<unsigned char>& bytes);

}  // namespace texture
