#include "texture/TexturePair.h"

#include "vpk/HeldMessages.h"
#include "vpk/VpkArchive.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <new>

namespace texture {
namespace {

constexpr unsigned char kTthMagic[4] = {'T', 'T', 'H', '\0'};
// Magic, version, mip count, aspect flag, chunk length; after the flag words
// the VTF length and Z.
constexpr std::size_t kTthFixedHead = 12;
constexpr std::size_t kTthFixedTail = 8;
constexpr std::uint64_t kMaxDeflateRatio = 1032;

std::uint32_t Le32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The name without its 4-character extension, in lower case.
std::string StemKey(const char* name, std::size_t length)
{
    std::string key(name, length - 4);
    for (char& c : key)
        c = Lower(c);
    return key;
}

bool EndsWith(const char* name, std::size_t length, const char* extension)
{
    if (length < 4)
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (Lower(name[length - 4 + i]) != extension[i])
            return false;
    }
    return true;
}

// Inflates exactly `expected` bytes from the stream into out. A stream that
// ends early, runs on past them, or is damaged is refused; nothing beyond
// `expected` bytes (and one byte of probe) is ever produced.
bool InflateExactly(const unsigned char* in, std::uint32_t inSize, unsigned char* out, std::uint32_t expected,
                    std::string& why)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        why = "can't start inflating the .ttz";
        return false;
    }
    stream.next_in = const_cast<unsigned char*>(in);  // zlib's API lacks const; it only reads
    stream.avail_in = inSize;
    stream.next_out = out;
    stream.avail_out = expected;
    int result = inflate(&stream, Z_FINISH);
    const std::uint32_t produced = expected - stream.avail_out;
    if (result != Z_STREAM_END && produced == expected && (result == Z_OK || result == Z_BUF_ERROR)) {
        // All the declared bytes came: the stream must end here, giving
        // nothing more.
        unsigned char probe = 0;
        stream.next_out = &probe;
        stream.avail_out = 1;
        result = inflate(&stream, Z_FINISH);
        if (stream.avail_out == 0) {
            inflateEnd(&stream);
            why = ".ttz stream inflates to more than the declared " + std::to_string(expected) + " bytes";
            return false;
        }
    }
    inflateEnd(&stream);
    if (result == Z_STREAM_END && produced == expected)
        return true;
    if (result == Z_STREAM_END)
        why = ".ttz stream ends after " + std::to_string(produced) + " of the declared " + std::to_string(expected) +
              " bytes";
    else if (result == Z_MEM_ERROR)
        why = "not enough memory to inflate the .ttz";
    else if (result == Z_DATA_ERROR || result == Z_NEED_DICT || result == Z_STREAM_ERROR)
        why = ".ttz stream is corrupt";
    else
        why = ".ttz stream is cut short";
    return false;
}

// The first `count` bytes of the entry (count at most its size); false with
// the archive's own message in why.
bool ReadStart(VpkArchive& archive, std::uint32_t index, std::uint32_t count, std::vector<unsigned char>& bytes,
               std::string& why)
{
    try {
        bytes.resize(count);
    } catch (const std::exception&) {  // bad_alloc, or length_error past half the 32-bit address space
        why = "not enough memory to read the entry";
        return false;
    }
    vpk::HeldMessages held;
    if (archive.ReadEntryRange(index, 0, count, bytes.data()) && held.texts.empty())
        return true;
    why = held.texts.empty() ? "can't read the entry" : held.texts.front();
    for (std::size_t i = 1; i < held.texts.size(); ++i)
        why += "; " + held.texts[i];
    return false;
}

// The bytes of a .tth entry its header can use: the header and the chunk it
// declares (a chunk over 256 MiB is refused anyway), not whatever follows.
bool ReadTth(VpkArchive& archive, std::uint32_t index, std::vector<unsigned char>& bytes, std::string& why)
{
    const std::uint32_t size = archive.GetEntrySize(index);
    if (size < kTthFixedHead)
        return ReadStart(archive, index, size, bytes, why);
    if (!ReadStart(archive, index, kTthFixedHead, bytes, why))
        return false;
    const std::uint64_t used = kTthFixedHead + 8 * std::uint64_t{bytes[6]} + kTthFixedTail +
                               std::min<std::uint64_t>(Le32(bytes.data() + 8), kMaxVtfLength);
    return ReadStart(archive, index, static_cast<std::uint32_t>(std::min<std::uint64_t>(size, used)), bytes, why);
}

}  // namespace

bool ReadTthHeader(const unsigned char* tth, std::size_t size, TthHeader& header, std::string& why)
{
    if (size < 4 || std::memcmp(tth, kTthMagic, 4) != 0) {
        why = size < 4 ? "texture header cut short" : "not a texture header (wrong magic)";
        return false;
    }
    if (size < kTthFixedHead) {
        why = "texture header cut short";
        return false;
    }
    header = TthHeader{};
    header.version = static_cast<std::uint32_t>(tth[4]) | static_cast<std::uint32_t>(tth[5]) << 8;
    header.mipCount = tth[6];
    header.aspectFlag = tth[7];
    header.chunkLength = Le32(tth + 8);
    const std::size_t tail = kTthFixedHead + 8 * std::size_t{header.mipCount};
    if (size < tail + kTthFixedTail) {
        why = "texture header cut short";
        return false;
    }
    for (std::uint32_t i = 0; i < header.mipCount; ++i)
        header.mipFlags.push_back(Le32(tth + kTthFixedHead + 8 * i) |
                                  std::uint64_t{Le32(tth + kTthFixedHead + 8 * i + 4)} << 32);
    header.vtfLength = Le32(tth + tail);
    header.ttzLength = Le32(tth + tail + 4);
    header.chunkOffset = tail + kTthFixedTail;
    if (header.vtfLength > kMaxVtfLength) {
        why = "VTF length " + std::to_string(header.vtfLength) + " is over 256 MiB";
        return false;
    }
    if (header.chunkLength > header.vtfLength) {
        why = "chunk of " + std::to_string(header.chunkLength) + " bytes is longer than the VTF (" +
              std::to_string(header.vtfLength) + " bytes)";
        return false;
    }
    if (size - header.chunkOffset < header.chunkLength) {
        why = "texture header's chunk cut short (" + std::to_string(size - header.chunkOffset) + " of " +
              std::to_string(header.chunkLength) + " bytes)";
        return false;
    }
    // Deflate gives at most 1032 bytes per byte of stream (a 258-byte match
    // in two bits): a stream too short for the declared length is refused
    // before any memory is taken for the file.
    const std::uint64_t rest = header.vtfLength - header.chunkLength;
    if (header.ttzLength != 0 && rest > (std::uint64_t{header.ttzLength} + 1) * kMaxDeflateRatio) {
        why = ".ttz stream of " + std::to_string(header.ttzLength) + " bytes can't inflate to the declared " +
              std::to_string(rest) + " bytes";
        return false;
    }
    if (header.ttzLength == 0 && header.chunkLength != header.vtfLength) {
        why = "no .ttz bytes declared, but the chunk holds " + std::to_string(header.chunkLength) + " of the " +
              std::to_string(header.vtfLength) + " VTF bytes";
        return false;
    }
    return true;
}

bool RebuildVtf(const TthHeader& header, const unsigned char* tth, const unsigned char* ttz, std::size_t ttzSize,
                std::vector<unsigned char>& vtf, std::string& why)
{
    if (header.ttzLength > ttzSize) {
        why = ".ttz holds " + std::to_string(ttzSize) + " bytes, fewer than the declared " +
              std::to_string(header.ttzLength);
        return false;
    }
    try {
        vtf.resize(header.vtfLength);
    } catch (const std::bad_alloc&) {
        why = "not enough memory for the VTF of " + std::to_string(header.vtfLength) + " bytes";
        return false;
    }
    std::memcpy(vtf.data(), tth + header.chunkOffset, header.chunkLength);
    if (header.ttzLength == 0)
        return true;
    return InflateExactly(ttz, header.ttzLength, vtf.data() + header.chunkLength,
                          header.vtfLength - header.chunkLength, why);
}

bool IsTextureName(const char* name)
{
    const std::size_t length = std::strlen(name);
    return EndsWith(name, length, ".tth") || EndsWith(name, length, ".ttz");
}

TexturePairs::TexturePairs(const VpkArchive& pack) : archive(pack)
{
    if (archive.IsDirectoryPack())
        return;
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        const char* name = archive.GetEntry(i)->name;
        const std::size_t length = std::strlen(name);
        const bool header = EndsWith(name, length, ".tth");
        if (!header && !EndsWith(name, length, ".ttz"))
            continue;
        std::uint32_t& half = header ? byStem[StemKey(name, length)].tth : byStem[StemKey(name, length)].ttz;
        if (half == kNoEntry)
            half = i;
    }
}

TexturePair TexturePairs::PairOf(std::uint32_t index) const
{
    const VpkEntry* entry = archive.GetEntry(index);
    if (entry == nullptr || archive.IsDirectoryPack() || !IsTextureName(entry->name))
        return TexturePair{};
    const auto found = byStem.find(StemKey(entry->name, std::strlen(entry->name)));
    return found == byStem.end() ? TexturePair{} : found->second;
}

std::string TextureName(const VpkArchive& archive, const TexturePair& pair)
{
    const VpkEntry* entry = archive.GetEntry(pair.tth != kNoEntry ? pair.tth : pair.ttz);
    return entry != nullptr ? entry->name : std::string();
}

bool LoadTexture(VpkArchive& archive, const TexturePair& pair, LoadedTexture& texture, std::string& why)
{
    const std::string name = TextureName(archive, pair);
    auto refuse = [&](const std::string& reason) {
        why = name + ": " + reason;
        return false;
    };
    if (pair.tth == kNoEntry)
        return refuse("no .tth beside it");
    std::vector<unsigned char> tth;
    std::string reason;
    if (!ReadTth(archive, pair.tth, tth, reason))
        return refuse(reason);
    if (!ReadTthHeader(tth.data(), tth.size(), texture.tth, reason))
        return refuse(reason);
    const TthHeader& header = texture.tth;
    // The VTF header, when the chunk holds it, is checked before the rest of
    // the file is made.
    const unsigned char* chunk = tth.data() + header.chunkOffset;
    if (ReadVtfInfo(chunk, header.chunkLength, header.vtfLength, texture.info, reason) == VtfCheck::kRefused)
        return refuse(reason);
    std::vector<unsigned char> ttz;
    if (header.ttzLength > 0) {
        if (pair.ttz == kNoEntry)
            return refuse("no .ttz beside it");
        if (archive.GetEntrySize(pair.ttz) == 0)
            return refuse(".ttz is empty");
        if (archive.GetEntrySize(pair.ttz) < header.ttzLength)
            return refuse(".ttz holds " + std::to_string(archive.GetEntrySize(pair.ttz)) +
                          " bytes, fewer than the declared " + std::to_string(header.ttzLength));
        // Only the declared bytes: what follows them is never read.
        if (!ReadStart(archive, pair.ttz, header.ttzLength, ttz, reason))
            return refuse(reason);
    }
    if (!RebuildVtf(header, tth.data(), ttz.data(), ttz.size(), texture.vtf, reason))
        return refuse(reason);
    if (ReadVtfInfo(texture.vtf.data(), texture.vtf.size(), texture.vtf.size(), texture.info, reason) != VtfCheck::kOk)
        return refuse(reason);
    return true;
}

}  // namespace texture
