// Window placements remembered under HKEY_CURRENT_USER\Software\Tessaro:
// the window's normal rectangle in screen coordinates and a few numbers of
// its own (divider positions), saved as one binary value per kind of window.
//
//     win::SavePlacement("ViewerPlacement", window, {dividerY, dividerX});
//     std::vector<int> extra;
//     if (auto r = win::LoadPlacement("ViewerPlacement", 2, extra)) ...
//
// A value that is damaged, written by something else, or whose rectangle no
// longer fits inside one monitor's work area is ignored.
#pragma once

#include <optional>
#include <vector>

#include "win/Geometry.h"
#include "win/Win32.h"

namespace win {

inline constexpr const char* kSettingsKey = "Software\\Tessaro";

// Writes `window`'s normal (restored) rectangle and `extra`. False when the
// registry refuses.
bool SavePlacement(const char* valueName, HWND window, const std::vector<int>& extra);

// The rectangle saved under `valueName`, with exactly `extraCount` numbers
// into `extra`, or nothing when there is no usable value.
std::optional<Rect> LoadPlacement(const char* valueName, std::size_t extraCount, std::vector<int>& extra);

}  // namespace win
