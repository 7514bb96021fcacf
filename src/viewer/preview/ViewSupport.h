// What the text and hex views share: colours from the parent, the clipboard,
// answering WM_GETTEXT, the wheel, and their scroll bar along the right edge.
#pragma once

#include <string>

#include "skin/SkinVScrollBar.h"
#include "win/Geometry.h"
#include "win/Win32.h"

namespace viewer::preview {

// Asks the parent for the colours of a read-only edit field, as an edit
// control does (WM_CTLCOLORSTATIC), and leaves them selected into `dc`:
// returns the background brush (the window colour when the parent has none).
HBRUSH ParentColors(HWND view, HDC dc);
// The selection colours, as an edit control paints a selection.
void SelectHighlight(HDC dc);

// Puts `text` on the clipboard as CF_TEXT; false when it cannot.
bool CopyToClipboard(HWND owner, const std::string& text);
// Answers WM_GETTEXT (wp characters at lp, with the terminating zero) and
// WM_GETTEXTLENGTH from `text`.
LRESULT AnswerGetText(const std::string& text, WPARAM wp, LPARAM lp);

win::Point PointFrom(LPARAM lp);
bool ShiftHeld();
// The rows a WM_MOUSEWHEEL turns, three a notch, down positive.
int WheelRows(WPARAM wp);

// The vertical bar's place inside a view of client size `client`, and the
// width left to the view's content.
win::Rect BarRect(const win::Rect& client);
int ContentWidth(const win::Rect& client);
// Creates a bar as a child of `view` scrolled through `source`.
bool CreateBar(skin::SkinScrollBar& bar, HWND view, skin::ScrollSource* source);

// Registers a view class (our own, no background: the views paint it all).
bool RegisterViewClass(const char* className, LPCSTR cursor);

}  // namespace viewer::preview
