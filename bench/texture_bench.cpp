// texture_bench TTH TTZ: times, natively, the texture library on the real
// sample pair (rebuild, decode) and on a synthetic 2048x2048 DXT5 image, each
// against copying the same number of bytes in the same run, and the PNG
// writer at several zlib levels. Prints "key value" lines for
// bench/texture.sh; times in microseconds, the best of several runs.
#include "texture/ImageFiles.h"
#include "texture/TexturePair.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 15;

template <typename Work>
long long Best(Work work)
{
    long long best = -1;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const auto took =
            std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start).count();
        if (best < 0 || took < best)
            best = took;
    }
    return best;
}

std::vector<unsigned char> ReadAll(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Keeps the optimiser from dropping work whose result is unused.
volatile unsigned sink;

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: texture_bench TTH TTZ\n");
        return 2;
    }
    const std::vector<unsigned char> tth = ReadAll(argv[1]);
    const std::vector<unsigned char> ttz = ReadAll(argv[2]);
    texture::TthHeader header;
    std::string why;
    std::vector<unsigned char> vtf;
    texture::VtfInfo info;
    if (!texture::ReadTthHeader(tth.data(), tth.size(), header, why) ||
        !texture::RebuildVtf(header, tth.data(), ttz.data(), ttz.size(), vtf, why) ||
        texture::ReadVtfInfo(vtf.data(), vtf.size(), vtf.size(), info, why) != texture::VtfCheck::kOk) {
        std::fprintf(stderr, "texture_bench: %s\n", why.c_str());
        return 1;
    }
    std::vector<unsigned char> rgba;
    std::vector<unsigned char> copy(vtf.size());

    // The real sample: rebuilding the file (inflating 16 MiB) and decoding
    // its 2048x1024 BGRA8888 image, against copying the image's bytes.
    std::printf("sample.size %ux%u\n", info.width, info.height);
    std::printf("sample.copy %lld\n", Best([&] {
                    std::memcpy(copy.data(), vtf.data() + info.imageOffset, info.imageBytes);
                    sink = copy[12345];
                }));
    std::printf("sample.decode %lld\n", Best([&] {
                    texture::DecodeLargestImage(vtf.data(), info, rgba, why);
                    sink = rgba[12345];
                }));
    std::printf("sample.rebuild %lld\n", Best([&] {
                    std::vector<unsigned char> again;
                    texture::RebuildVtf(header, tth.data(), ttz.data(), ttz.size(), again, why);
                    sink = again[12345];
                }));

    // A synthetic 2048x2048 DXT5 image of random blocks.
    const texture::TextureFormat& dxt5 = *texture::FindTextureFormat(15);
    std::vector<unsigned char> blocks(texture::ImageBytes(dxt5, 2048, 2048));
    std::mt19937 random(7);
    for (unsigned char& b : blocks)
        b = static_cast<unsigned char>(random());
    std::vector<unsigned char> pixels(std::size_t{2048} * 2048 * 4);
    std::printf("dxt5.copy %lld\n", Best([&] {
                    std::memcpy(pixels.data(), blocks.data(), blocks.size());
                    sink = pixels[12345];
                }));
    std::printf("dxt5.decode %lld\n", Best([&] {
                    texture::DecodeImage(dxt5, blocks.data(), 2048, 2048, pixels.data());
                    sink = pixels[12345];
                }));

    // PNG of the sample at zlib levels 1, 6 and 9: time and size.
    texture::DecodeLargestImage(vtf.data(), info, rgba, why);
    for (const int level : {1, 6, 9}) {
        std::vector<unsigned char> png;
        const long long took = Best([&] { texture::EncodePng(rgba.data(), info.width, info.height, png, level); });
        std::printf("png.%d %lld %zu\n", level, took, png.size());
    }
    return 0;
}
