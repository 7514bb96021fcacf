// One row of a hex view, as `hexdump -C` writes it: the offset in eight
// lower-case hex digits, two spaces, up to sixteen bytes in two groups of
// eight ("xx " each, one extra space between the groups, a short row padded
// to full width), then the bytes between '|' bars, printable ASCII as
// itself and any other byte as '.'. No line end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace viewer::preview {

// `count` is 1..16; more are not shown.
std::string HexRow(std::uint64_t offset, const unsigned char* bytes, std::size_t count);

}  // namespace viewer::preview
