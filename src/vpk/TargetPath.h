// Which extraction targets stay inside the folder they are extracted into.
#pragma once

namespace vpk {

// False for a target that could land outside the current directory or in
// something other than a plain file there: an absolute or root-relative
// path, a UNC path, a drive or a ":" stream name, or a component made only
// of dots and spaces (".", "..", and what Windows trims to them), with "/"
// and "\" both taken as separators. On Windows also false for a component
// that names a device (CON, NUL, COM1, ... with any extension).
bool IsSafeTarget(const char* target);

// True when the name [begin, end) of one component is one Windows gives to a
// device in every folder: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9,
// LPT1-LPT9 and COM and LPT with a superscript 1, 2 or 3 (Windows-1252), in
// any case and with any extension. Answered the same on every platform.
bool IsWindowsDeviceName(const char* begin, const char* end);

}  // namespace vpk
