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
// (or one extraction refuses), a pack of 4 GiB or more, and an output inside
// the source folder. The pack is written to a temporary file beside the output
// and renamed over it at the end, so a failure leaves neither a half pack nor
// a damaged older pack behind.
#pragma once

#include <functional>
#include <string>

// Reports one problem as a line of text.
using PackProblem = std::function<void(const std::string&)>;

// Paths go to the platform unchanged. True when the pack was written; false
// after each problem was reported.
bool WritePack(const std::string& sourceFolder, const std::string& outPath, const PackProblem& report);
