// Fuzz target: one input is a texture pair, a 16-bit little-endian length
// of the .tth, the .tth's bytes, then the .ttz's. Both go into a pack on an
// in-memory file system as "t.tth" and "t.ttz", and the texture is loaded and
// decoded as the program does. Checked: a refusal always names the entry;
// an accepted texture's file is exactly its declared length, starts with the
// chunk, and holds the image the decoder reads; the file's memory never
// exceeds 256 MiB, and is not taken at all when the chunk's own VTF header
// is refused.
#include "FakeFileSystem.h"
#include "FuzzCheck.h"
#include "PackBuilder.h"
#include "texture/TexturePair.h"
#include "vpk/MessageSink.h"
#include "vpk/VpkArchive.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

class QuietSink final : public vpk::MessageSink {
public:
    void Show(const char*) override { ++shown; }
    int shown = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const std::size_t tthSize = std::min<std::size_t>(data[0] | data[1] << 8, size - 2);
    const std::string tth(reinterpret_cast<const char*>(data + 2), tthSize);
    const std::string ttz(reinterpret_cast<const char*>(data + 2 + tthSize), size - 2 - tthSize);
    QuietSink sink;
    vpk::SetMessageSink(&sink);
    {
        test::FakeFileSystem fake;
        const std::string pack = test::PackBuilder().Add("t.tth", tth).Add("T.TTZ", ttz).Build();
        fake.AddSparseFile("p.vpk", pack.size(), pack);
        VpkArchive archive;
        FUZZ_CHECK(archive.Open("p.vpk") && archive.ReadDirectory());
        const texture::TexturePairs pairs(archive);
        const texture::TexturePair pair = pairs.PairOf(1);
        FUZZ_CHECK(pair.tth == 0 && pair.ttz == 1);

        texture::LoadedTexture loaded;
        std::string why;
        const bool accepted = texture::LoadTexture(archive, pair, loaded, why);
        FUZZ_CHECK(accepted == why.empty());
        FUZZ_CHECK(accepted || why.rfind("t.tth: ", 0) == 0);
        FUZZ_CHECK(loaded.vtf.capacity() <= texture::kMaxVtfLength);

        // The header in the chunk refused: no memory was taken for the file.
        texture::TthHeader header;
        std::string reason;
        if (texture::ReadTthHeader(reinterpret_cast<const unsigned char*>(tth.data()), tth.size(), header, reason)) {
            texture::VtfInfo early;
            const auto* chunk = reinterpret_cast<const unsigned char*>(tth.data()) + header.chunkOffset;
            if (texture::ReadVtfInfo(chunk, header.chunkLength, header.vtfLength, early, reason) ==
                texture::VtfCheck::kRefused)
                FUZZ_CHECK(!accepted && loaded.vtf.capacity() == 0);
            if (accepted)
                FUZZ_CHECK(loaded.vtf.size() == header.vtfLength &&
                           std::memcmp(loaded.vtf.data(), chunk, header.chunkLength) == 0);
        } else {
            FUZZ_CHECK(!accepted);
        }
        if (accepted) {
            const texture::VtfInfo& info = loaded.info;
            FUZZ_CHECK(info.format != nullptr && info.width >= 1 && info.height >= 1);
            FUZZ_CHECK(info.width <= texture::kMaxTextureSide && info.height <= texture::kMaxTextureSide);
            FUZZ_CHECK(info.imageBytes == texture::ImageBytes(*info.format, info.width, info.height));
            FUZZ_CHECK(info.imageOffset + info.imageBytes <= loaded.vtf.size());
            std::vector<unsigned char> rgba;
            FUZZ_CHECK(texture::DecodeLargestImage(loaded.vtf.data(), info, rgba, why));
            FUZZ_CHECK(rgba.size() == std::size_t{info.width} * info.height * 4);
        }
        FUZZ_CHECK(sink.shown == 0);
    }
    vpk::SetMessageSink(nullptr);
    return 0;
}
