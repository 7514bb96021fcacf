// The game's textures: one VTF file cut in two entries of a pack, NAME.tth
// (a small header and the file's first bytes) and NAME.ttz (the rest, one
// zlib stream).
//
// The .tth, little-endian: "TTH\0", version (u16), mip count n (u8), an
// aspect flag (u8, kept, not interpreted), the chunk length C (u32), one
// 64-bit flag word per mip, the VTF file's length (u32), Z (u32, the bytes
// of the .ttz to read), then the file's first C bytes. The first Z bytes of
// the .ttz inflate to exactly the other (length - C) bytes; Z may be 0 and
// the .ttz empty or missing when the chunk is the whole file.
//
// Everything is checked before memory is taken for the file: the memory used
// is bounded by the declared length (at most 256 MiB), never by what a
// stream would inflate to. Refusals name the entry: "x.tth: ...".
//
//   texture::TexturePairs pairs(archive);           // once per pack
//   texture::TexturePair pair = pairs.PairOf(index); // either half
//   texture::LoadedTexture loaded;
//   if (texture::LoadTexture(archive, pair, loaded, why)) ...  // loaded.vtf, loaded.info
//   texture::DecodeLargestImage(loaded.vtf.data(), loaded.info, rgba, why);
#pragma once

#include "texture/Vtf.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class VpkArchive;

namespace texture {

constexpr std::uint32_t kMaxVtfLength = 256u * 1024 * 1024;
constexpr std::uint32_t kNoEntry = UINT32_MAX;

struct TthHeader {
    std::uint32_t version = 0;
    std::uint32_t mipCount = 0;
    std::uint32_t aspectFlag = 0;
    std::uint32_t chunkLength = 0;  // C
    std::vector<std::uint64_t> mipFlags;
    std::uint32_t vtfLength = 0;
    std::uint32_t ttzLength = 0;    // Z
    std::size_t chunkOffset = 0;    // where the chunk starts in the .tth
};

// Reads and checks the header of a .tth of `size` bytes: magic, length within
// 256 MiB, a chunk no longer than the file and held whole by the .tth, and
// Z = 0 only when the chunk is the whole file. why gets the reason without
// the entry's name.
bool ReadTthHeader(const unsigned char* tth, std::size_t size, TthHeader& header, std::string& why);

// Rebuilds the VTF file: the chunk followed by the first Z bytes of ttz
// inflated, which must end exactly at the declared length. vtf ends up
// holding exactly header.vtfLength bytes.
bool RebuildVtf(const TthHeader& header, const unsigned char* tth, const unsigned char* ttz, std::size_t ttzSize,
                std::vector<unsigned char>& vtf, std::string& why);

// The two halves of a texture in a pack, as entry indexes (kNoEntry for a
// missing half).
struct TexturePair {
    std::uint32_t tth = kNoEntry;
    std::uint32_t ttz = kNoEntry;
    bool IsTexture() const { return tth != kNoEntry || ttz != kNoEntry; }
};

// True for a name ending in ".tth" or ".ttz" in any case.
bool IsTextureName(const char* name);

// The texture entries of a pack, paired by name (ASCII case ignored); where
// two entries differ only in case, the first in directory order counts.
class TexturePairs {
public:
    explicit TexturePairs(const VpkArchive& archive);
    // The pair the entry belongs to; !IsTexture() for other entries.
    TexturePair PairOf(std::uint32_t index) const;

private:
    const VpkArchive& archive;
    std::unordered_map<std::string, TexturePair> byStem;
};

// The name a texture goes by: its .tth entry's, else its .ttz entry's.
std::string TextureName(const VpkArchive& archive, const TexturePair& pair);

struct LoadedTexture {
    TthHeader tth;
    std::vector<unsigned char> vtf;  // the rebuilt file
    VtfInfo info;
};

// Reads both halves, rebuilds the VTF and reads its header; every refusal
// is checked before the file's memory is taken when the chunk holds the VTF
// header. why: "NAME: reason", the archive's own messages included.
bool LoadTexture(VpkArchive& archive, const TexturePair& pair, LoadedTexture& texture, std::string& why);

}  // namespace texture
