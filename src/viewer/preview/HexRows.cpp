#include "viewer/preview/HexRows.h"

#include <cstdio>

namespace viewer::preview {
namespace {

constexpr std::size_t kRowBytes = 16;
constexpr char kDigits[] = "0123456789abcdef";

}  // namespace

std::string HexRow(std::uint64_t offset, const unsigned char* bytes, std::size_t count) {
    if (count > kRowBytes) count = kRowBytes;
    char head[24];
    std::snprintf(head, sizeof head, "%08llx  ", static_cast<unsigned long long>(offset));
    std::string row = head;
    for (std::size_t i = 0; i < kRowBytes; ++i) {
        if (i < count) {
            row += kDigits[bytes[i] >> 4];
            row += kDigits[bytes[i] & 0xF];
            row += ' ';
        } else {
            row += "   ";
        }
        if (i == 7) row += ' ';
    }
    row += " |";
    for (std::size_t i = 0; i < count; ++i) {
        row += bytes[i] >= 0x20 && bytes[i] < 0x7F ? static_cast<char>(bytes[i]) : '.';
    }
    row += '|';
    return row;
}

}  // namespace viewer::preview
