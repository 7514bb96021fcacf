#include "vpk/VpkFormat.h"

#include <cstring>

VpkFooter DecodeVpkFooter(const unsigned char (&bytes)[kVpkFooterSize])
{
    VpkFooter footer{};
    footer.entryCount = LoadLe32(bytes + 0);
    footer.directoryOffset = LoadLe32(bytes + 4);
    footer.packType = bytes[8];
    return footer;
}

bool IsVpkFooterValid(const VpkFooter& footer, std::uint32_t fileSize)
{
    // The bound is size - 8, not size - 9: a directory may begin on the
    // footer's second byte. Callers refuse files shorter than the footer, so
    // the subtraction cannot wrap.
    return fileSize >= kVpkFooterSize && footer.directoryOffset <= fileSize - 8;
}

std::uint32_t MaxVpkRecordCount(std::uint32_t fileSize, std::uint32_t directoryOffset)
{
    if (directoryOffset >= fileSize)
        return 0;
    const std::uint32_t available = fileSize - directoryOffset;
    return available / kVpkRecordFixedSize + (available % kVpkRecordFixedSize != 0 ? 1 : 0);
}

std::string VpkEntryTypeOf(const char* name)
{
    // Skip the first non-empty part, then take the next one.
    const char* p = name;
    int part = 0;
    while (*p != '\0') {
        if (*p == '.') {
            ++p;
            continue;
        }
        const char* end = std::strchr(p, '.');
        if (end == nullptr)
            end = p + std::strlen(p);
        if (part == 1)
            return std::string(p, end);
        ++part;
        p = end;
    }
    return std::string();
}
