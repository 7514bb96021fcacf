// How the preview shows an entry, decided from what the list and the first
// bytes say about it. Pure functions, no window: the viewer and its tests
// share them.
//
//     PreviewKind kind = ChoosePreviewKind(inDirectoryPack, type, size, head, headSize);
//
// The types of the game's text files show as text whatever their bytes; any
// other entry shows as text when its first bytes look like text, else in
// hex. Directory rows and empty entries show nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace viewer::preview {

// Texture: a texture's half, known by its name (see PickPreviewKind).
enum class PreviewKind { None, Text, Hex, Texture };

// "text", "hex", "texture"; empty for None.
const char* PreviewKindName(PreviewKind kind);

// How many of an entry's first bytes ChoosePreviewKind looks at.
constexpr std::size_t kPreviewHeadSize = 4096;

// `type` with ASCII capitals lowered, as types are compared.
std::string LowerCaseType(std::string type);

// The entry types shown as text whatever their bytes, compared exactly after
// lower-casing: "txt", "dlg", ..., "gam~".
bool IsPreviewableType(const std::string& lowerCaseType);

// True when `bytes` hold no zero byte and no control byte other than tab,
// line feed, form feed and carriage return.
bool LooksLikeText(const unsigned char* bytes, std::size_t size);

// The kind for an entry of this type (its name's, in any case) and size,
// whose first min(size, kPreviewHeadSize) bytes are `head`; `head` is looked
// at only for a type outside the list. A directory pack's rows have no bytes.
PreviewKind ChoosePreviewKind(bool inDirectoryPack, const std::string& type, std::uint32_t size,
                              const unsigned char* head, std::size_t headSize);

// The preview's text: `bytes` up to its first zero byte, with every line feed
// not preceded by a carriage return given one, so text written with bare line
// feeds shows as separate lines. Empty when `bytes` starts with a zero.
std::string PreviewText(const char* bytes, std::size_t size);

}  // namespace viewer::preview
