#include "vpk/Memory.h"

namespace vpk {
namespace {

ZeroedAllocator current = nullptr;

}  // namespace

void SetZeroedAllocator(ZeroedAllocator allocator)
{
    current = allocator;
}

void* AllocateZeroed(std::size_t count, std::size_t size)
{
    // calloc checks count * size for overflow and hands back zeroed pages
    // without touching them.
    return current != nullptr ? current(count, size) : std::calloc(count, size);
}

}  // namespace vpk
