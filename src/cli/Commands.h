// The commands of tessaro-cli, one file each; main.cpp reads the arguments
// and calls one. Each returns the process's exit status.
#pragma once

#include "Cli.h"

#include <string>
#include <vector>

namespace cli {

int Packs(const std::string& folder);
int List(const char* pack, std::vector<EntrySelector>& selectors);
int Cat(const char* pack, std::vector<EntrySelector>& selectors);
int Extract(const char* pack, std::vector<EntrySelector>& selectors, const char* folder);
int Find(const std::string& folder, std::vector<EntrySelector>& patterns);
int Pack(const std::string& source, const std::string& out);

// What `texture` makes of each texture: an image file, the rebuilt VTF
// file, or one line of information.
enum class TextureOutput { kPng, kTga, kVtf, kInfo };
int Texture(const char* pack, std::vector<EntrySelector>& selectors, const char* folder, TextureOutput output);

}  // namespace cli
