// Temporary folders, files and message recording for the archive's tests.
#pragma once

#include "TestData.h"
#include "vpk/Memory.h"
#include "vpk/MessageSink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace test {

namespace fs = std::filesystem;

// A fresh folder below the system's temporary folder, removed with all it
// holds when the test ends.
class TempDir {
public:
    TempDir()
    {
        static std::atomic<unsigned> counter{0};
        const fs::path base = fs::temp_directory_path();
        for (;;) {
            path = base / ("tessaro-test-" + std::to_string(std::random_device{}()) + "-" +
                           std::to_string(counter++));
            if (fs::create_directory(path))
                break;
        }
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const fs::path& Path() const { return path; }
    std::string operator/(const std::string& name) const { return (path / name).string(); }

private:
    fs::path path;
};

// Makes a folder the current directory for the scope.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const fs::path& folder) : previous(fs::current_path())
    {
        fs::current_path(folder);
    }
    ~CurrentDirectory() { fs::current_path(previous); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    fs::path previous;
};

inline void WriteFile(const fs::path& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << file;
}

inline std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The bytes of a pack laid out as the game's are (its entries back to back
// from offset 0, then the directory): everything before the directory, found
// from the footer's directory offset (the last 9 bytes: entry count,
// directory offset, pack type).
inline std::string DataBeforeDirectory(const std::string& pack)
{
    if (pack.size() < 9)
        return {};
    std::uint32_t offset = 0;
    for (int i = 3; i >= 0; --i)
        offset = offset << 8 | static_cast<unsigned char>(pack[pack.size() - 5 + i]);
    return pack.substr(0, offset);
}

// Every file and folder below root, as sorted relative paths with "/"
// ("a/", "a/b.txt"), so a test can tell exactly what was written.
inline std::vector<std::string> Tree(const fs::path& root)
{
    std::vector<std::string> items;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        std::string relative = item.path().lexically_relative(root).generic_string();
        if (item.is_directory())
            relative += '/';
        items.push_back(relative);
    }
    std::sort(items.begin(), items.end());
    return items;
}

// Sets an environment variable while it lives (for this process and the
// programs it starts).
class Environment {
public:
    Environment(const char* name, const char* value) : variable(name)
    {
#ifdef _WIN32
        _putenv_s(name, value);
#else
        setenv(name, value, 1);
#endif
    }
    ~Environment()
    {
#ifdef _WIN32
        _putenv_s(variable, "");
#else
        unsetenv(variable);
#endif
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    const char* variable;
};

// A path of the build machine as this program must pass it to the system:
// under Wine a Unix path is reached through drive Z:.
// Records the archive's messages for as long as it lives.
class MessageRecorder final : public vpk::MessageSink {
public:
    MessageRecorder() { vpk::SetMessageSink(this); }
    ~MessageRecorder() override { vpk::SetMessageSink(nullptr); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Show(const char* text) override { texts.emplace_back(text); }

    // The messages shown since the last call.
    std::vector<std::string> Take()
    {
        std::vector<std::string> taken;
        taken.swap(texts);
        return taken;
    }

private:
    std::vector<std::string> texts;
};

using Messages = std::vector<std::string>;

// Makes every allocation of the archive fail while it lives, as a table or
// buffer of gigabytes fails in a 32-bit program.
class FailingAllocation {
public:
    FailingAllocation() { vpk::SetZeroedAllocator([](std::size_t, std::size_t) -> void* { return nullptr; }); }
    ~FailingAllocation() { vpk::SetZeroedAllocator(nullptr); }
    FailingAllocation(const FailingAllocation&) = delete;
    FailingAllocation& operator=(const FailingAllocation&) = delete;
};

}  // namespace test
