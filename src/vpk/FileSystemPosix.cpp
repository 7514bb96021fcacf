// The file system on POSIX systems: the read position is kept here and every
// read is a pread, so positioning costs no system call.
#ifndef _WIN32

#include "vpk/FileSystem.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vpk {
namespace {

// Linux moves at most about 2 GiB per read or write call.
constexpr std::uint32_t kMaxTransfer = 1u << 30;

FileIdentity IdentityOf(const struct stat& info)
{
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

class PosixFile final : public File {
public:
    explicit PosixFile(int descriptor) : fd(descriptor) {}
    ~PosixFile() override { Close(); }

    PosixFile(const PosixFile&) = delete;
    PosixFile& operator=(const PosixFile&) = delete;

    bool GetSize(std::uint64_t& size) override
    {
        struct stat info;
        if (fstat(fd, &info) != 0 || info.st_size < 0)
            return false;
        size = static_cast<std::uint64_t>(info.st_size);
        return true;
    }

    bool SetPosition(std::uint32_t offset) override
    {
        position = offset;
        return true;
    }

    bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override
    {
        got = 0;
        auto* bytes = static_cast<unsigned char*>(buffer);
        while (got < count) {
            const std::uint32_t chunk = count - got < kMaxTransfer ? count - got : kMaxTransfer;
            const ssize_t n = pread(fd, bytes + got, chunk, static_cast<off_t>(position));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0)
                break;  // end of file
            got += static_cast<std::uint32_t>(n);
            position += static_cast<std::uint64_t>(n);
        }
        return true;
    }

    bool Write(const void* buffer, std::uint32_t count, std::uint32_t& written) override
    {
        written = 0;
        const auto* bytes = static_cast<const unsigned char*>(buffer);
        while (written < count) {
            const std::uint32_t chunk = count - written < kMaxTransfer ? count - written : kMaxTransfer;
            const ssize_t n = pwrite(fd, bytes + written, chunk, static_cast<off_t>(position));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            if (n == 0)
                return false;
            written += static_cast<std::uint32_t>(n);
            position += static_cast<std::uint64_t>(n);
        }
        return true;
    }

    bool Close() override
    {
        if (fd < 0)
            return false;
        const int result = close(fd);
        fd = -1;
        // After EINTR the descriptor is released all the same on Linux.
        return result == 0 || errno == EINTR;
    }

    bool GetIdentity(FileIdentity& identity) override
    {
        struct stat info;
        if (fstat(fd, &info) != 0)
            return false;
        identity = IdentityOf(info);
        return true;
    }

private:
    int fd;
    std::uint64_t position = 0;
};

class PosixFileSystem final : public FileSystem {
public:
    std::unique_ptr<File> OpenForReading(const char* path) override
    {
        // Without O_NONBLOCK a FIFO named "x.vpk" would hold the open until
        // something writes to it: never, for a folder being searched.
        const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return nullptr;
        // A folder opens for reading here but not on Windows; refuse it as
        // Windows does, so "x.vpk" being a folder fails to open everywhere.
        // FIFOs, sockets and devices are refused too: only files are read.
        struct stat info;
        const int flags = fcntl(fd, F_GETFL);
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
            fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
            close(fd);
            return nullptr;
        }
        return std::make_unique<PosixFile>(fd);
    }

    std::unique_ptr<File> CreateForWriting(const char* path) override
    {
        // O_NOFOLLOW: a symbolic link at the target is not followed out of
        // the folder being extracted into.
        const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0)
            return nullptr;
        return std::make_unique<PosixFile>(fd);
    }

    std::unique_ptr<File> CreateNew(const char* path) override
    {
        const int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0)
            return nullptr;
        return std::make_unique<PosixFile>(fd);
    }

    PathInfo Examine(const char* path, bool followLinks) override
    {
        PathInfo result;
        struct stat info;
        if ((followLinks ? stat(path, &info) : lstat(path, &info)) != 0)
            return result;
        result.identity = IdentityOf(info);
        if (S_ISLNK(info.st_mode))
            result.kind = PathInfo::Kind::Link;
        else if (S_ISDIR(info.st_mode))
            result.kind = PathInfo::Kind::Folder;
        else if (S_ISREG(info.st_mode))
            result.kind = PathInfo::Kind::File;
        else
            result.kind = PathInfo::Kind::Other;
        return result;
    }

    bool MakeFolder(const char* path) override { return mkdir(path, 0777) == 0; }

    bool RemoveFile(const char* path) override { return unlink(path) == 0; }

    bool ListFolder(const char* path, std::vector<FolderItem>& items) override
    {
        items.clear();
        DIR* dir = opendir(path);
        if (dir == nullptr)
            return false;
        std::string prefix = path;
        if (!prefix.empty() && prefix.back() != '/')
            prefix += '/';
        while (const dirent* found = readdir(dir)) {
            const std::string name = found->d_name;
            if (name == "." || name == "..")
                continue;
            FolderItem item{name, FolderItem::Kind::Other, 0};
            struct stat info;
            if (stat((prefix + name).c_str(), &info) == 0) {
                if (S_ISDIR(info.st_mode)) {
                    item.kind = FolderItem::Kind::Folder;
                } else if (S_ISREG(info.st_mode) && info.st_size >= 0) {
                    item.kind = FolderItem::Kind::File;
                    item.size = static_cast<std::uint64_t>(info.st_size);
                }
            }
            items.push_back(std::move(item));
        }
        closedir(dir);
        return true;
    }

    bool Rename(const char* from, const char* to) override { return std::rename(from, to) == 0; }
};

}  // namespace

FileSystem& PlatformFileSystem()
{
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace vpk

#endif
