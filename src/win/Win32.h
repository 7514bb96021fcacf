// The one place the window layer includes the Windows headers: <windows.h>
// and the common controls (list view, header, custom draw). The program uses
// the single-byte (A) functions throughout.
#pragma once

#if defined(UNICODE) || defined(_UNICODE)
#error "Tessaro is built with the ANSI Win32 API; do not define UNICODE"
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#include <commctrl.h>
