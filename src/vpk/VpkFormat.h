// The on-disk layout of a ".vpk" pack and its in-memory records.
//
// A pack ends with a 9-byte footer (entry count, directory offset, pack
// type). The directory is a run of records, back to back, each a 32-bit name
// length, that many name bytes, then the 32-bit data offset and data size.
// Every integer is unsigned 32-bit little-endian except the one-byte type.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

constexpr std::size_t kVpkFooterSize = 9;
// The fixed part of a directory record: name length, data offset, data size.
constexpr std::size_t kVpkRecordFixedSize = 12;
// Paths and names live in buffers of 260 characters: 259 and a terminator.
constexpr std::size_t kVpkPathSize = 260;
constexpr std::uint32_t kVpkMaxNameLength = kVpkPathSize - 1;

struct VpkFooter {
    std::uint32_t entryCount;
    std::uint32_t directoryOffset;
    std::uint8_t packType;  // 0: file pack; anything else: directory pack
};

struct VpkEntry {
    std::uint32_t nameLength;  // as stored, even when the name holds a zero byte
    char name[kVpkPathSize];   // always zero-terminated
    std::uint32_t dataOffset;
    std::uint32_t dataSize;
};

static_assert(sizeof(VpkFooter::entryCount) + sizeof(VpkFooter::directoryOffset) +
                  sizeof(VpkFooter::packType) == kVpkFooterSize,
              "the footer's fields fill its 9 bytes");
static_assert(sizeof(VpkEntry::nameLength) + sizeof(VpkEntry::dataOffset) +
                  sizeof(VpkEntry::dataSize) == kVpkRecordFixedSize,
              "a directory record's fixed fields take 12 bytes");
static_assert(sizeof(VpkEntry) == kVpkRecordFixedSize + kVpkPathSize,
              "VpkEntry has no padding");

// Reads one little-endian 32-bit value; the bytes need no alignment.
inline std::uint32_t LoadLe32(const unsigned char* bytes)
{
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

VpkFooter DecodeVpkFooter(const unsigned char (&bytes)[kVpkFooterSize]);

// A footer is accepted when its directory starts at most 8 bytes before the
// end of the file. fileSize must be at least the footer's size.
bool IsVpkFooterValid(const VpkFooter& footer, std::uint32_t fileSize);

// The most directory records that fit between directoryOffset and the end of
// the file: every record takes 12 bytes or more, except that the last one may
// be cut short by the end of the file.
std::uint32_t MaxVpkRecordCount(std::uint32_t fileSize, std::uint32_t directoryOffset);

// The type of a file pack's entry: split the name at every "." and drop empty
// parts; the type is the second part, or empty when there are fewer than two.
std::string VpkEntryTypeOf(const char* name);
