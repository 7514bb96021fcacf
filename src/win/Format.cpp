#include "win/Format.h"

#include <cstdio>
#include <vector>

namespace win {

std::string Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string result = FormatV(format, args);
    va_end(args);
    return result;
}

std::string FormatV(const char* format, va_list args) {
    if (format == nullptr) return {};
    std::vector<char> buffer(512);
    for (;;) {
        va_list attempt;
        va_copy(attempt, args);
        int needed = std::vsnprintf(buffer.data(), buffer.size(), format, attempt);
        va_end(attempt);
        if (needed >= 0 && static_cast<size_t>(needed) < buffer.size()) {
            return std::string(buffer.data(), static_cast<size_t>(needed));
        }
        if (needed >= 0) {
            buffer.resize(static_cast<size_t>(needed) + 1);
        } else if (buffer.size() < (size_t{1} << 26)) {
            // Older C runtimes answer -1 instead of the size they need.
            buffer.resize(buffer.size() * 2);
        } else {
            return {};  // an encoding error, or a result beyond any sane size
        }
    }
}

}  // namespace win
