// The file and folder services the pack archive needs, behind one small
// interface: the platform's own implementation by default (Win32 or POSIX,
// chosen when compiling), or one a test installs to inject failures.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vpk {

// The separator appended after each folder when folders are created.
#ifdef _WIN32
constexpr char kFolderSeparator = '\\';
#else
constexpr char kFolderSeparator = '/';
#endif

// Which file a path or an open file is, whatever name reached it: device and
// inode on POSIX systems, volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// What a path names, as FileSystem::Examine finds it.
struct PathInfo {
    // None: nothing there, or nothing that can be examined. Link: a symbolic
    // link, or on Windows any reparse point (a junction among them).
    enum class Kind { None, File, Folder, Link, Other };
    Kind kind = Kind::None;
    FileIdentity identity;  // unless kind is None
};

// One open file. The destructor closes it if Close was not called.
class File {
public:
    virtual ~File() = default;

    // The file's size in bytes; false when it can't be had.
    virtual bool GetSize(std::uint64_t& size) = 0;
    // Positions the next Read or Write, counted from the start of the file.
    virtual bool SetPosition(std::uint32_t offset) = 0;
    // Reads up to count bytes at the position and moves past them. got tells
    // how many came: fewer at the end of the file, which is not a failure.
    // False only when the read call itself fails.
    virtual bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) = 0;
    // Writes count bytes; written tells how many went out. False on failure.
    virtual bool Write(const void* buffer, std::uint32_t count, std::uint32_t& written) = 0;
    // Releases the file; false when the platform reports a failure (for a
    // written file that can be a write that failed late).
    virtual bool Close() = 0;
    // Which file this is; false when that can't be had.
    virtual bool GetIdentity(FileIdentity& identity)
    {
        (void)identity;
        return false;
    }
};

// One name found in a folder by FileSystem::ListFolder.
struct FolderItem {
    enum class Kind { File, Folder, Other };
    std::string name;
    Kind kind;
    std::uint64_t size;  // of a file; 0 otherwise
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an existing file for reading, letting others read it too.
    // nullptr when it can't be opened.
    virtual std::unique_ptr<File> OpenForReading(const char* path) = 0;
    // Creates a file for writing, replacing an existing one, without sharing.
    virtual std::unique_ptr<File> CreateForWriting(const char* path) = 0;
    // Creates a file for writing that does not exist yet; nullptr when the
    // name is taken or the file can't be made.
    virtual std::unique_ptr<File> CreateNew(const char* path) = 0;
    // What path names: with followLinks, what a link leads to; without, a
    // link is a Link, whatever it leads to.
    virtual PathInfo Examine(const char* path, bool followLinks) = 0;
    // Creates one folder; false when it fails, also when it exists already.
    virtual bool MakeFolder(const char* path) = 0;
    virtual bool RemoveFile(const char* path) = 0;
    // The names in a folder, "." and ".." left out, in no particular order;
    // links are followed, and a name whose target can't be examined is Other.
    // False when the folder can't be read.
    virtual bool ListFolder(const char* path, std::vector<FolderItem>& items) = 0;
    // Renames a file, replacing a file of the new name; false on failure,
    // which leaves both names as they were.
    virtual bool Rename(const char* from, const char* to) = 0;
};

// The platform's own implementation.
FileSystem& PlatformFileSystem();

// The process-wide file system the archive uses; nullptr restores the
// platform's own. Not owned; it must outlive its installation.
void SetFileSystem(FileSystem* fileSystem);
FileSystem& GetFileSystem();

// Creates a temporary file beside path for writing it whole: path +
// ".partial", else path + ".1.partial" and so on, a name nobody else uses (an
// existing file, someone else's temporary file perhaps, is never opened or
// replaced). temporary gets the name; nullptr when none can be made.
std::unique_ptr<File> CreateTemporaryBeside(const std::string& path, std::string& temporary);

}  // namespace vpk
