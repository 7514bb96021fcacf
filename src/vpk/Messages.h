// The texts the pack archive shows, character for character.
#pragma once

namespace vpk::messages {

inline constexpr char kAlreadyOpen[] = "Can't open file, file already open";
inline constexpr char kOpenFailed[] = "Error opening file";
inline constexpr char kSizeFailed[] = "File appears to be empty";
inline constexpr char kFooterReadFailed[] = "Failed to read from file";
inline constexpr char kInvalidHeader[] = "Invalid header found";
inline constexpr char kParseFailed[] = "Failed to parse VPK file";
inline constexpr char kAllocationFailed[] = "Memory allocation failed";
inline constexpr char kDirectoryReadFailed[] = "File read error while parsing file";
inline constexpr char kEntryReadFailed[] = "Could not read data from vpk file";
inline constexpr char kNotOpen[] = "Can't extract file - No vpk file open";
inline constexpr char kIndexOutOfRange[] = "Index out of range";
inline constexpr char kCreateFailed[] = "Could not create file";

// Refusals of input that would otherwise overrun a buffer, read outside the
// file or write outside the extraction folder.
inline constexpr char kPathTooLong[] = "File path too long";
inline constexpr char kFileTooSmall[] = "File too small to be a VPK file";
inline constexpr char kFileTooLarge[] = "File too large to be a VPK file";
inline constexpr char kTooManyEntries[] = "Entry count too large for file size";
inline constexpr char kNameTooLong[] = "Entry name too long";
inline constexpr char kTargetTooLong[] = "Target path too long";
inline constexpr char kUnsafeTarget[] = "Unsafe target path refused";
inline constexpr char kWriteFailed[] = "Could not write file";
inline constexpr char kEntryPastEnd[] = "Entry data lies past the end of the pack";
inline constexpr char kLinkInTarget[] = "Link in target path refused";
inline constexpr char kTargetIsPack[] = "Target is the pack being read: refused";

}  // namespace vpk::messages
