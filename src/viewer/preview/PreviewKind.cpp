#include "viewer/preview/PreviewKind.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace viewer::preview {
namespace {

constexpr const char* kPreviewableTypes[] = {"txt", "dlg", "lip", "scr", "py",  "psh",  "vmt",
                                             "vcd", "lst", "rad", "ain", "res", "gam~"};

}  // namespace

std::string LowerCaseType(std::string type) {
    for (char& c : type) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return type;
}

const char* PreviewKindName(PreviewKind kind) {
    switch (kind) {
    case PreviewKind::Text: return "text";
    case PreviewKind::Hex: return "hex";
    case PreviewKind::Texture: return "texture";
    case PreviewKind::None: break;
    }
    return "";
}

bool IsPreviewableType(const std::string& lowerCaseType) {
    return std::find_if(std::begin(kPreviewableTypes), std::end(kPreviewableTypes), [&](const char* type) {
               return lowerCaseType == type;
           }) != std::end(kPreviewableTypes);
}

bool LooksLikeText(const unsigned char* bytes, std::size_t size) {
    return std::none_of(bytes, bytes + size, [](unsigned char c) {
        return (c < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || c == 0x7F;
    });
}

PreviewKind ChoosePreviewKind(bool inDirectoryPack, const std::string& type, std::uint32_t size,
                              const unsigned char* head, std::size_t headSize) {
    if (inDirectoryPack || size == 0) return PreviewKind::None;
    if (IsPreviewableType(LowerCaseType(type))) return PreviewKind::Text;
    return LooksLikeText(head, std::min<std::size_t>(headSize, kPreviewHeadSize)) ? PreviewKind::Text
                                                                                   : PreviewKind::Hex;
}

std::string PreviewText(const char* bytes, std::size_t size) {
    const void* zero = std::memchr(bytes, 0, size);
    const std::size_t length = zero != nullptr ? static_cast<std::size_t>(static_cast<const char*>(zero) - bytes) : size;
    std::string text;
    text.reserve(length + static_cast<std::size_t>(std::count(bytes, bytes + length, '\n')));
    for (std::size_t i = 0; i < length; ++i) {
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) text.push_back('\r');
        text.push_back(bytes[i]);
    }
    return text;
}

}  // namespace viewer::preview
