#include "texture/ImageFiles.h"

#include "vpk/FileSystem.h"

#include <zlib.h>

#include <cstdlib>
#include <memory>

namespace {

// The level of the PNG being written on this thread.
thread_local int pngLevel = texture::kPngCompressionLevel;

// stb_image_write's PNG writer takes its deflate from zlib, which is faster
// and smaller than its own; the buffer must come from malloc (stb frees it).
unsigned char* ZlibCompress(unsigned char* data, int length, int* outLength, int /*stb's level*/)
{
    const int level = pngLevel;
    uLongf size = compressBound(static_cast<uLong>(length));
    auto* out = static_cast<unsigned char*>(std::malloc(size));
    if (out == nullptr)
        return nullptr;
    if (compress2(out, &size, data, static_cast<uLong>(length), level) != Z_OK) {
        std::free(out);
        return nullptr;
    }
    *outLength = static_cast<int>(size);
    return out;
}

}  // namespace

#define STBIW_ZLIB_COMPRESS ZlibCompress
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace texture {
namespace {

// The writer's settings are globals of this file: set once, before any
// thread writes.
const bool kStbConfigured = [] {
    stbi_write_tga_with_rle = 0;
    return true;
}();

void Append(void* context, void* data, int size)
{
    auto* file = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    file->insert(file->end(), bytes, bytes + size);
}

}  // namespace

bool EncodePng(const unsigned char* rgba, std::uint32_t width, std::uint32_t height, std::vector<unsigned char>& file,
               int level)
{
    file.clear();
    pngLevel = level;
    return kStbConfigured && stbi_write_png_to_func(Append, &file, static_cast<int>(width), static_cast<int>(height),
                                                    4, rgba, static_cast<int>(width * 4)) != 0;
}

bool EncodeTga(const unsigned char* rgba, std::uint32_t width, std::uint32_t height, std::vector<unsigned char>& file)
{
    file.clear();
    return kStbConfigured &&
           stbi_write_tga_to_func(Append, &file, static_cast<int>(width), static_cast<int>(height), 4, rgba) != 0;
}

bool WriteFileWhole(const std::string& path, const std::vector<unsigned char>& bytes)
{
    vpk::FileSystem& fileSystem = vpk::GetFileSystem();
    std::string temporary;
    std::unique_ptr<vpk::File> out = vpk::CreateTemporaryBeside(path, temporary);
    if (!out)
        return false;
    const auto size = static_cast<std::uint32_t>(bytes.size());
    std::uint32_t written = 0;
    bool complete = bytes.size() == size && out->Write(bytes.data(), size, written) && written == size;
    complete = out->Close() && complete;  // closing can report a write that failed late
    out.reset();
    if (complete && fileSystem.Rename(temporary.c_str(), path.c_str()))
        return true;
    fileSystem.RemoveFile(temporary.c_str());
    return false;
}

}  // namespace texture
