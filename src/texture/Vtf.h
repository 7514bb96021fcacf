// Reading a VTF texture file: its header (versions 7.0 to 7.5), where its
// largest image lies, and that image decoded to RGBA8.
//
// The header is "VTF\0", major 7, minor 0-5, header size, width, height,
// flags, frames, first frame, reflectivity, bump scale, image format, mip
// count, thumbnail format and size; 7.2 adds the depth at offset 63, 7.3 a
// resource table (count at 68, 8-byte entries from 80: a 3-byte tag, a flag
// byte and the offset of the resource). Without a table the data follows the
// header: the thumbnail (when both its sides are non-zero), then the mips
// from the smallest to the largest, each holding its frames, each frame its
// faces (6 for an environment map), each face its depth slices. With a table
// the image data is the resource tagged 30 00 00, laid out the same way.
//
// ReadVtfInfo checks everything it can from the header alone against the
// file's length, so a caller holding only the first bytes of a file can
// refuse it before the rest is produced: sizes are computed in 64 bits and
// every mip, frame, face and slice the header implies must fit in the file.
// The file may hold more after that; it is not read.
#pragma once

#include "texture/TextureFormat.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace texture {

constexpr std::uint32_t kMaxTextureSide = 16384;
constexpr std::uint32_t kVtfFlagEnvironmentMap = 0x4000;

struct VtfInfo {
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t flags = 0;
    std::uint32_t frames = 0;     // as stored; 0 is read as 1
    std::uint32_t depth = 1;      // 1 before 7.2
    std::uint32_t mipCount = 0;
    std::int32_t formatNumber = 0;
    const TextureFormat* format = nullptr;
    // Where the largest mip's first frame, face and slice lies, and its size.
    std::uint64_t imageOffset = 0;
    std::uint64_t imageBytes = 0;
};

enum class VtfCheck {
    kOk,
    kNeedMore,  // the header reaches past the bytes given (but not past the file)
    kRefused,   // why says why
};

// Reads the header from the first `have` bytes of a file of fileLength bytes.
VtfCheck ReadVtfInfo(const unsigned char* bytes, std::size_t have, std::uint64_t fileLength, VtfInfo& info,
                     std::string& why);

// Decodes the largest mip's first frame, face and slice of a whole file that
// ReadVtfInfo accepted into width*height RGBA8 pixels. False (why set) only
// when the memory for the pixels can't be had.
bool DecodeLargestImage(const unsigned char* file, const VtfInfo& info, std::vector<unsigned char>& rgba,
                        std::string& why);

}  // namespace texture
