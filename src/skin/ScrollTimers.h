// The arrow auto-repeat of both skinned scroll bars.
#pragma once

#include "win/Win32.h"

namespace skin {

// Timer 2 waits once after the press, then timer 1 repeats: the first extra
// line comes 300 ms after the press, the next ones every 50 ms.
inline constexpr UINT_PTR kRepeatTimer = 1;
inline constexpr UINT_PTR kDelayTimer = 2;
inline constexpr UINT kRepeatMs = 50;
inline constexpr UINT kDelayMs = 250;

// The skinned thumbs and arrows are 26 pixels long.
inline constexpr int kThumbLength = 26;
inline constexpr int kArrowLength = 26;

}  // namespace skin
