// Where the pack archive takes its entry tables and entry buffers from.
//
// Everything comes zero-filled from one allocator, calloc unless replaced.
// Tests install an allocator that fails, so the archive's answer to memory it
// can't have is checked the same way on every build, whatever the size of the
// address space. The allocator is process-wide, like the message sink.
#pragma once

#include <cstddef>
#include <cstdlib>

namespace vpk {

// Returns count * size zeroed bytes (overflow checked), or nullptr.
using ZeroedAllocator = void* (*)(std::size_t count, std::size_t size);

// Installs the allocator; nullptr restores calloc.
void SetZeroedAllocator(ZeroedAllocator allocator);
void* AllocateZeroed(std::size_t count, std::size_t size);

// Frees what AllocateZeroed returned; a deleter for unique_ptr.
struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

}  // namespace vpk
