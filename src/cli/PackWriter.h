// Writing a file pack from a folder tree, the inverse of extraction.
//
// Every file below the source folder becomes one entry, named by its path
// relative to the folder with "/" between components; the entries are sorted
// byte-wise. The pack is laid out as the game's packs are: the entries' bytes
// back to back, then the directory, then the 9-byte footer (pack type 0).
//
// Everything that would make a pack the reader refuses, or that extraction
// could not give back, is refused before anything is written: a name of 260
// bytes or more, a name holding a character a Windows file name can't hold
// (or one extraction refuses), a name Windows would change (a device name, a
// dot or space at the end of a part), two names that differ only in case, a
// pack of 4 GiB or more, and an output inside the source folder. A link back
// to a folder above it is reported and not followed. The pack is written to a
// new temporary file beside the output (never one that existed) and renamed
// over it at the end, so a failure leaves neither a half pack nor a damaged
// older pack behind.
#pragma once

#include <functional>
#include <string>

// Reports one problem as a line of text.
using PackProblem = std::function<void(const std::string&)>;

// Paths go to the platform unchanged. True when the pack was written; false
// after each problem was reported.
bool WritePack(const std::string& sourceFolder, const std::string& outPath, const PackProblem& report);
