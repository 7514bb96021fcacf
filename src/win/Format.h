// printf-style formatting into a std::string.
#pragma once

#include <cstdarg>
#include <string>

// Lets GCC check the arguments against the format; other compilers ignore it.
#if defined(__GNUC__)
#if defined(__MINGW_PRINTF_FORMAT)
#define TESSARO_PRINTF(formatIndex, firstArg) __attribute__((format(__MINGW_PRINTF_FORMAT, formatIndex, firstArg)))
#else
#define TESSARO_PRINTF(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#endif
#else
#define TESSARO_PRINTF(formatIndex, firstArg)
#endif

namespace win {

// The format expanded with the arguments, as printf would, at any length.
// A null format gives an empty string.
std::string Format(const char* format, ...) TESSARO_PRINTF(1, 2);
std::string FormatV(const char* format, va_list args);

}  // namespace win
