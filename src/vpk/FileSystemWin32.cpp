// The file system on Windows: the ANSI file calls, as the program has always
// used them.
#ifdef _WIN32

#include "vpk/FileSystem.h"

#include <windows.h>

namespace vpk {
namespace {

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info)
{
    return FileIdentity{info.dwVolumeSerialNumber,
                        static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

class Win32File final : public File {
public:
    explicit Win32File(HANDLE file) : handle(file) {}
    ~Win32File() override { Close(); }

    Win32File(const Win32File&) = delete;
    Win32File& operator=(const Win32File&) = delete;

    bool GetSize(std::uint64_t& size) override
    {
        // INVALID_FILE_SIZE is also a valid low part; only the last error
        // tells them apart, so clear it first.
        DWORD high = 0;
        SetLastError(NO_ERROR);
        const DWORD low = GetFileSize(handle, &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
            return false;
        size = static_cast<std::uint64_t>(high) << 32 | low;
        return true;
    }

    bool SetPosition(std::uint32_t offset) override
    {
        // The high part is passed so offsets of 2 GiB and more are not taken
        // as negative distances.
        LONG high = 0;
        SetLastError(NO_ERROR);
        const DWORD result = SetFilePointer(handle, static_cast<LONG>(offset), &high, FILE_BEGIN);
        return !(result == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
    }

    bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override
    {
        DWORD read = 0;
        const BOOL ok = ReadFile(handle, buffer, count, &read, nullptr);
        got = read;
        return ok != FALSE;
    }

    bool Write(const void* buffer, std::uint32_t count, std::uint32_t& written) override
    {
        DWORD done = 0;
        const BOOL ok = WriteFile(handle, buffer, count, &done, nullptr);
        written = done;
        return ok != FALSE;
    }

    bool Close() override
    {
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        const BOOL ok = CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return ok != FALSE;
    }

    bool GetIdentity(FileIdentity& identity) override
    {
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(handle, &info) == FALSE)
            return false;
        identity = IdentityOf(info);
        return true;
    }

private:
    HANDLE handle;
};

class Win32FileSystem final : public FileSystem {
public:
    std::unique_ptr<File> OpenForReading(const char* path) override
    {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<Win32File>(file);
    }

    std::unique_ptr<File> CreateForWriting(const char* path) override
    {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<Win32File>(file);
    }

    std::unique_ptr<File> CreateNew(const char* path) override
    {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return nullptr;
        return std::make_unique<Win32File>(file);
    }

    PathInfo Examine(const char* path, bool followLinks) override
    {
        // Most targets don't exist yet: one attribute query tells, cheaper
        // than opening (a server round trip under Wine).
        PathInfo result;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return result;
        // No access asked for, and every sharing allowed: a file another
        // handle holds (the open pack) can be examined too. Folders open only
        // with backup semantics.
        const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
        HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, flags, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return result;
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(file, &info) != FALSE) {
            result.identity = IdentityOf(info);
            if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && !followLinks)
                result.kind = PathInfo::Kind::Link;
            else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                result.kind = PathInfo::Kind::Folder;
            else if ((info.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0)
                result.kind = PathInfo::Kind::Other;
            else
                result.kind = PathInfo::Kind::File;
        }
        CloseHandle(file);
        return result;
    }

    bool MakeFolder(const char* path) override { return CreateDirectoryA(path, nullptr) != FALSE; }

    bool RemoveFile(const char* path) override { return DeleteFileA(path) != FALSE; }

    bool ListFolder(const char* path, std::vector<FolderItem>& items) override
    {
        items.clear();
        std::string pattern = path;
        if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/' && pattern.back() != ':')
            pattern += '\\';
        pattern += '*';
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return GetLastError() == ERROR_FILE_NOT_FOUND;  // an empty drive root
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            FolderItem item{name, FolderItem::Kind::File, 0};
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                item.kind = FolderItem::Kind::Folder;
            else if ((found.dwFileAttributes & FILE_ATTRIBUTE_DEVICE) != 0)
                item.kind = FolderItem::Kind::Other;
            else
                item.size = static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
            items.push_back(std::move(item));
        } while (FindNextFileA(search, &found));
        const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
        FindClose(search);
        return complete;
    }

    bool Rename(const char* from, const char* to) override
    {
        return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
};

}  // namespace

FileSystem& PlatformFileSystem()
{
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace vpk

#endif
