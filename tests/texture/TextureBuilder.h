// Builds VTF files and .tth/.ttz pairs in memory for tests and the fuzz
// target, including hostile ones: every field can be set.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

inline void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int size)
{
    if (bytes.size() < at + size)
        bytes.resize(at + size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// A VTF file. Every image is filled with its own byte (image()), except the
// largest mip's first frame, face and slice, which holds `largest` (or, when
// that is empty, the byte 0xA5) repeated to its size.
struct VtfBuilder {
    std::uint32_t minor = 1;
    std::uint32_t width = 8;
    std::uint32_t height = 4;
    std::uint32_t flags = 0;
    std::uint32_t frames = 1;
    std::uint32_t depth = 1;
    std::int32_t format = 12;  // BGRA8888
    std::uint32_t mips = 1;
    std::int32_t thumbnailFormat = 13;
    std::uint32_t thumbnailWidth = 0;
    std::uint32_t thumbnailHeight = 0;
    std::string largest;
    std::size_t extra = 0;  // bytes appended after the image data

    // Bytes of one image of a format this builder knows.
    static std::uint64_t ImageSize(std::int32_t fmt, std::uint32_t w, std::uint32_t h)
    {
        switch (fmt) {
        case 13: case 20: return std::uint64_t{(w + 3) / 4} * ((h + 3) / 4) * 8;
        case 14: case 15: return std::uint64_t{(w + 3) / 4} * ((h + 3) / 4) * 16;
        case 0: case 1: case 11: case 12: case 16: return std::uint64_t{w} * h * 4;
        case 2: case 3: return std::uint64_t{w} * h * 3;
        case 5: case 8: return std::uint64_t{w} * h;
        default: return std::uint64_t{w} * h * 2;
        }
    }

    std::string Build() const
    {
        const std::uint32_t header = minor >= 3 ? 96 : minor == 2 ? 80 : 64;
        std::string v("VTF", 4);
        PutLe(v, 4, 7, 4);
        PutLe(v, 8, minor, 4);
        PutLe(v, 12, header, 4);
        PutLe(v, 16, width, 2);
        PutLe(v, 18, height, 2);
        PutLe(v, 20, flags, 4);
        PutLe(v, 24, frames, 2);
        PutLe(v, 48, 0x3F800000, 4);  // bump scale 1.0
        PutLe(v, 52, static_cast<std::uint32_t>(format), 4);
        PutLe(v, 56, mips, 1);
        PutLe(v, 57, static_cast<std::uint32_t>(thumbnailFormat), 4);
        PutLe(v, 61, thumbnailWidth, 1);
        PutLe(v, 62, thumbnailHeight, 1);
        if (minor >= 2)
            PutLe(v, 63, depth, 2);
        v.resize(header, '\0');
        std::string thumbnail;
        if (thumbnailWidth != 0 && thumbnailHeight != 0)
            thumbnail.assign(ImageSize(thumbnailFormat, thumbnailWidth, thumbnailHeight), 'T');
        if (minor >= 3) {
            // Two resources: the thumbnail first, then the image data.
            PutLe(v, 68, 2, 4);
            PutLe(v, 80, 0x01, 4);
            PutLe(v, 84, header, 4);
            PutLe(v, 88, 0x30, 4);
            PutLe(v, 92, header + thumbnail.size(), 4);
        }
        v += thumbnail;
        const std::uint32_t faces = (flags & 0x4000) != 0 ? 6 : 1;
        unsigned char fill = 1;
        for (std::uint32_t mip = mips; mip-- > 0;) {
            auto side = [mip](std::uint32_t s) { return mip >= 32 ? 1 : std::max<std::uint32_t>(1, s >> mip); };
            const std::uint32_t w = side(width);
            const std::uint32_t h = side(height);
            const std::uint32_t d = side(depth);
            const std::size_t size = ImageSize(format, w, h);
            for (std::uint32_t image = 0; image < std::max<std::uint32_t>(frames, 1) * faces * d; ++image) {
                if (mip == 0 && image == 0) {
                    std::string first = largest.empty() ? std::string(1, '\xA5') : largest;
                    while (first.size() < size)
                        first += first;
                    v += first.substr(0, size);
                } else {
                    v.append(size, static_cast<char>(fill++));
                }
            }
        }
        v.append(extra, 'X');
        return v;
    }
};

inline std::string Deflate(const std::string& bytes)
{
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::string out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
              static_cast<uLong>(bytes.size()), 9);
    out.resize(size);
    return out;
}

// A .tth/.ttz pair cut from a VTF file; the fields can be overridden after
// Cut() and the halves rebuilt with Tth()/Ttz().
struct TexturePairBuilder {
    std::string vtf;
    std::uint32_t chunk = 128;
    std::uint32_t mipCount = 1;
    std::uint32_t vtfLength = 0;
    std::uint32_t ttzLength = 0;
    std::string magic = std::string("TTH", 4);
    std::string ttz;
    std::size_t tthCut = SIZE_MAX;  // the .tth's length, when shorter than it should be

    static TexturePairBuilder Cut(std::string file, std::uint32_t chunkLength = 128)
    {
        TexturePairBuilder pair;
        pair.vtf = std::move(file);
        pair.chunk = std::min<std::uint32_t>(chunkLength, static_cast<std::uint32_t>(pair.vtf.size()));
        pair.vtfLength = static_cast<std::uint32_t>(pair.vtf.size());
        if (pair.chunk < pair.vtf.size())
            pair.ttz = Deflate(pair.vtf.substr(pair.chunk));
        pair.ttzLength = static_cast<std::uint32_t>(pair.ttz.size());
        return pair;
    }

    std::string Tth() const
    {
        std::string t = magic;
        PutLe(t, 4, 1, 2);
        PutLe(t, 6, mipCount, 1);
        PutLe(t, 7, 0, 1);
        PutLe(t, 8, chunk, 4);
        for (std::uint32_t i = 0; i < mipCount; ++i)
            PutLe(t, 12 + 8 * i, 0x40, 8);
        PutLe(t, 12 + 8 * mipCount, vtfLength, 4);
        PutLe(t, 16 + 8 * mipCount, ttzLength, 4);
        return (t + vtf.substr(0, std::min<std::size_t>(chunk, vtf.size()))).substr(0, tthCut);
    }
};

}  // namespace test
