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

}  // namespace vpk
