// The skin's fixed colours and the header's title font.
#pragma once

#include "win/Win32.h"

namespace skin {

// Header
inline constexpr COLORREF kHeaderBackground = RGB(50, 50, 50);
inline constexpr COLORREF kHeaderText = RGB(229, 0, 0);
inline constexpr int kHeaderTitleHeight = 8;
inline constexpr const char* kHeaderTitleFace = "Sevenet 7";

// List
inline constexpr COLORREF kListBackground = RGB(50, 50, 50);
inline constexpr COLORREF kSelectedText = RGB(229, 0, 0);
inline constexpr COLORREF kSelectedBackground = RGB(0, 0, 0);

// The caption strips of a window's panes, and lines painted like them
inline constexpr COLORREF kCaptionText = RGB(229, 0, 0);
inline constexpr COLORREF kCaptionBackground = RGB(0, 0, 0);

// Scroll bars, behind their bitmaps
inline constexpr COLORREF kHScrollBackground = RGB(76, 85, 118);
inline constexpr COLORREF kVScrollBackground = RGB(74, 82, 107);

}  // namespace skin
