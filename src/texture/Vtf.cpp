#include "texture/Vtf.h"

#include <new>
#include <utility>

namespace texture {
namespace {

constexpr unsigned char kVtfMagic[4] = {'V', 'T', 'F', '\0'};
// The fixed header runs to the thumbnail's height (offset 62); 7.2 adds the
// depth (63-64); 7.3 the resource count (68) and the table from 80.
constexpr std::size_t kFixedHeader = 63;
constexpr std::size_t kDepthOffset = 63;
constexpr std::size_t kResourceCountOffset = 68;
constexpr std::size_t kResourceTableOffset = 80;
constexpr std::size_t kResourceEntrySize = 8;
constexpr unsigned char kImageResource[3] = {0x30, 0, 0};

std::uint32_t Le16(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t Le32(const unsigned char* p)
{
    return Le16(p) | Le16(p + 2) << 16;
}

// value *= factor, false once it passes limit (which keeps it far from
// overflowing: limit and factor are both below 2^32).
bool MultiplyWithin(std::uint64_t& value, std::uint64_t factor, std::uint64_t limit)
{
    value *= factor;
    return value <= limit;
}

// A side of a mip: halved per level, never below 1 (a header may count up
// to 255 mips, more than any side halves).
std::uint32_t MipSide(std::uint32_t side, std::uint32_t mip)
{
    return mip >= 32 || side >> mip == 0 ? 1 : side >> mip;
}

VtfCheck Refuse(std::string& why, std::string text)
{
    why = std::move(text);
    return VtfCheck::kRefused;
}

}  // namespace

VtfCheck ReadVtfInfo(const unsigned char* bytes, std::size_t have, std::uint64_t fileLength, VtfInfo& info,
                     std::string& why)
{
    // Each field is read only once the bytes given are known to hold it; a
    // field past the file's end cuts the header short.
    auto need = [&](std::size_t size) {
        if (fileLength < size)
            return VtfCheck::kRefused;
        return have < size ? VtfCheck::kNeedMore : VtfCheck::kOk;
    };
    if (const VtfCheck check = need(kFixedHeader); check != VtfCheck::kOk)
        return check == VtfCheck::kRefused ? Refuse(why, "VTF header cut short") : check;
    if (bytes[0] != kVtfMagic[0] || bytes[1] != kVtfMagic[1] || bytes[2] != kVtfMagic[2] || bytes[3] != kVtfMagic[3])
        return Refuse(why, "not a VTF file (wrong magic)");
    info = VtfInfo{};
    info.major = Le32(bytes + 4);
    info.minor = Le32(bytes + 8);
    if (info.major != 7 || info.minor > 5)
        return Refuse(why, "unsupported VTF version " + std::to_string(info.major) + "." + std::to_string(info.minor));
    info.headerSize = Le32(bytes + 12);
    info.width = Le16(bytes + 16);
    info.height = Le16(bytes + 18);
    info.flags = Le32(bytes + 20);
    info.frames = Le16(bytes + 24);
    info.formatNumber = static_cast<std::int32_t>(Le32(bytes + 52));
    info.mipCount = bytes[56];
    const std::int32_t thumbnailNumber = static_cast<std::int32_t>(Le32(bytes + 57));
    const std::uint32_t thumbnailWidth = bytes[61];
    const std::uint32_t thumbnailHeight = bytes[62];

    std::size_t fixedEnd = kFixedHeader;
    if (info.minor >= 2) {
        fixedEnd = kDepthOffset + 2;
        if (const VtfCheck check = need(fixedEnd); check != VtfCheck::kOk)
            return check == VtfCheck::kRefused ? Refuse(why, "VTF header cut short") : check;
        info.depth = Le16(bytes + kDepthOffset);
        if (info.depth == 0)
            info.depth = 1;
    }
    std::uint32_t resourceCount = 0;
    if (info.minor >= 3) {
        if (const VtfCheck check = need(kResourceTableOffset); check != VtfCheck::kOk)
            return check == VtfCheck::kRefused ? Refuse(why, "VTF header cut short") : check;
        resourceCount = Le32(bytes + kResourceCountOffset);
        const std::uint64_t tableEnd = kResourceTableOffset + std::uint64_t{resourceCount} * kResourceEntrySize;
        if (tableEnd > fileLength)
            return Refuse(why, "VTF resource table cut short (" + std::to_string(resourceCount) + " entries)");
        fixedEnd = static_cast<std::size_t>(tableEnd);
        if (have < fixedEnd)
            return VtfCheck::kNeedMore;
    }
    if (info.headerSize < fixedEnd || info.headerSize > fileLength)
        return Refuse(why, "VTF header size " + std::to_string(info.headerSize) + " does not fit the file");
    if (info.width == 0 || info.height == 0 || info.width > kMaxTextureSide || info.height > kMaxTextureSide)
        return Refuse(why, "image size " + std::to_string(info.width) + "x" + std::to_string(info.height) +
                               " is not within 1 to 16384");
    info.format = FindTextureFormat(info.formatNumber);
    if (info.format == nullptr)
        return Refuse(why, "unknown image format " + std::to_string(info.formatNumber));
    if (info.mipCount == 0)
        return Refuse(why, "no mips");

    // Where the image data starts: the image resource, or after the header
    // and the thumbnail.
    std::uint64_t dataOffset = info.headerSize;
    if (info.minor >= 3) {
        bool found = false;
        for (std::uint32_t i = 0; i < resourceCount && !found; ++i) {
            const unsigned char* entry = bytes + kResourceTableOffset + std::size_t{i} * kResourceEntrySize;
            if (entry[0] == kImageResource[0] && entry[1] == kImageResource[1] && entry[2] == kImageResource[2]) {
                dataOffset = Le32(entry + 4);
                found = true;
            }
        }
        if (!found)
            return Refuse(why, "VTF has no image data resource");
    } else if (thumbnailWidth != 0 && thumbnailHeight != 0) {
        const TextureFormat* thumbnail = FindTextureFormat(thumbnailNumber);
        if (thumbnail == nullptr)
            return Refuse(why, "unknown thumbnail format " + std::to_string(thumbnailNumber));
        dataOffset += ImageBytes(*thumbnail, thumbnailWidth, thumbnailHeight);
    }

    // Every mip, smallest first, then the largest one's first image.
    const std::uint64_t faces = (info.flags & kVtfFlagEnvironmentMap) != 0 ? 6 : 1;
    const std::uint64_t frames = info.frames == 0 ? 1 : info.frames;
    std::uint64_t offset = dataOffset;
    for (std::uint32_t mip = info.mipCount; mip-- > 0;) {
        const std::uint32_t width = MipSide(info.width, mip);
        const std::uint32_t height = MipSide(info.height, mip);
        const std::uint32_t depth = MipSide(info.depth, mip);
        std::uint64_t bytesOfMip = ImageBytes(*info.format, width, height);
        if (mip == 0) {
            info.imageOffset = offset;
            info.imageBytes = bytesOfMip;
        }
        if (!MultiplyWithin(bytesOfMip, frames, fileLength) || !MultiplyWithin(bytesOfMip, faces, fileLength) ||
            !MultiplyWithin(bytesOfMip, depth, fileLength) || offset + bytesOfMip > fileLength) {
            return Refuse(why, "image data of " + std::to_string(info.width) + "x" + std::to_string(info.height) + " " +
                                   info.format->name + " lies past the end of the file");
        }
        offset += bytesOfMip;
    }
    return VtfCheck::kOk;
}

bool DecodeLargestImage(const unsigned char* file, const VtfInfo& info, std::vector<unsigned char>& rgba,
                        std::string& why)
{
    try {
        rgba.resize(std::size_t{info.width} * info.height * 4);
    } catch (const std::bad_alloc&) {
        why = "not enough memory for the pixels of " + std::to_string(info.width) + "x" + std::to_string(info.height);
        return false;
    }
    DecodeImage(*info.format, file + info.imageOffset, info.width, info.height, rgba.data());
    return true;
}

}  // namespace texture
