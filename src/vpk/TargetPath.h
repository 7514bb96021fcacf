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

}  // namespace vpk
