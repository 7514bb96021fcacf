// What the whole program shares: its module, its title, its start-up calls.
#pragma once

#include <string>

#include "win/Win32.h"

namespace win {

// The program's own module: resources (dialogs, bitmaps, icons, strings)
// are loaded from it.
HINSTANCE Instance();

// The application title: the executable's file name without its extension
// ("Tessaro" for C:\Games\Tessaro.exe). The caption of every message box
// shown without one of its own.
const std::string& AppTitle();

// String resource `id` of the program's module; empty when there is none.
std::string LoadResourceString(UINT id);

// Registers the common-control window classes the program's dialogs use
// (list view, header). Call once before creating the first dialog.
void InitCommonControlClasses();

}  // namespace win
