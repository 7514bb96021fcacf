// The real packs from the game, read in place from ../shared/testdata beside
// the checkout. A checkout on its own has no such folder: tests that need the
// packs start with TESSARO_REQUIRE_TESTDATA() and are skipped, with the
// reason, instead of failing.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace test {

// A path as the program under test spells it: under Wine a Linux path "/x/y"
// is reached as "Z:\x\y".
inline std::string HostPath(std::string path)
{
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
#endif
    return path;
}

inline std::string TestDataPath(const char* name)
{
    return HostPath(std::string(TESSARO_TESTDATA_DIR) + "/" + name);
}

inline bool HaveTestData()
{
    std::error_code error;
    return std::filesystem::is_directory(HostPath(TESSARO_TESTDATA_DIR), error);
}

}  // namespace test

#define TESSARO_REQUIRE_TESTDATA()                                                          \
    do {                                                                                    \
        if (!test::HaveTestData())                                                          \
            GTEST_SKIP() << "the game's real packs are not at " TESSARO_TESTDATA_DIR        \
                            " (a checkout without ../shared/testdata beside it)";          \
    } while (false)
