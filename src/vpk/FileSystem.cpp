#include "vpk/FileSystem.h"

namespace vpk {
namespace {

FileSystem* current = nullptr;

}  // namespace

void SetFileSystem(FileSystem* fileSystem)
{
    current = fileSystem;
}

FileSystem& GetFileSystem()
{
    return current != nullptr ? *current : PlatformFileSystem();
}

std::unique_ptr<File> CreateTemporaryBeside(const std::string& path, std::string& temporary)
{
    FileSystem& fileSystem = GetFileSystem();
    for (int n = 0; n < 100; ++n) {
        // Built with append: g++ 12 warns falsely (-Wrestrict) on chains of
        // string + string.
        temporary = path;
        if (n > 0)
            temporary.append(".").append(std::to_string(n));
        temporary.append(".partial");
        if (std::unique_ptr<File> file = fileSystem.CreateNew(temporary.c_str()))
            return file;
        if (fileSystem.Examine(temporary.c_str(), false).kind == PathInfo::Kind::None)
            return nullptr;  // not taken, yet it can't be made
    }
    return nullptr;
}

}  // namespace vpk
