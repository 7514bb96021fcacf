// A file system for tests that passes through to the platform's own while
// injecting the failures a disk can produce, or serves files from memory.
#pragma once

#include "vpk/FileSystem.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace test {

class FakeFileSystem final : public vpk::FileSystem {
public:
    // Reading knobs, for files opened after they are set.
    bool failSize = false;
    // Paths ending with this can't be opened for reading.
    std::optional<std::string> unreadableSuffix;
    std::optional<std::uint64_t> reportedSize;
    // Any read touching [badBegin, badEnd) fails and moves nothing.
    std::uint64_t badBegin = 0;
    std::uint64_t badEnd = 0;

    // Writing knobs.
    bool failCreate = false;
    std::optional<std::uint32_t> writeLimit;  // a write stops after this many bytes, failing
    bool failClose = false;
    bool failRename = false;
    bool writeToMemory = false;  // keep created files and folders here, off the disk

    // What was asked of the file system.
    std::vector<std::string> folders;
    std::vector<std::string> created;
    std::vector<std::string> removed;
    std::map<std::string, std::string> memoryFiles;

    FakeFileSystem() { vpk::SetFileSystem(this); }
    ~FakeFileSystem() override { vpk::SetFileSystem(nullptr); }
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // Serves path from memory as a file of size bytes that ends with tail and
    // holds zeros before it, so packs of gigabytes cost nothing.
    void AddSparseFile(const std::string& path, std::uint64_t size, std::string tail)
    {
        sparse[path] = Sparse{size, std::move(tail)};
    }

    std::unique_ptr<vpk::File> OpenForReading(const char* path) override
    {
        const auto found = sparse.find(path);
        if (found != sparse.end())
            return std::make_unique<ReadFile>(*this, nullptr, &found->second);
        const std::string name = path;
        if (unreadableSuffix && name.size() >= unreadableSuffix->size() &&
            name.compare(name.size() - unreadableSuffix->size(), std::string::npos, *unreadableSuffix) == 0)
            return nullptr;
        std::unique_ptr<vpk::File> real = vpk::PlatformFileSystem().OpenForReading(path);
        if (!real)
            return nullptr;
        return std::make_unique<ReadFile>(*this, std::move(real), nullptr);
    }

    std::unique_ptr<vpk::File> CreateForWriting(const char* path) override
    {
        created.emplace_back(path);
        if (failCreate)
            return nullptr;
        if (writeToMemory) {
            memoryFiles[path].clear();
            return std::make_unique<WriteFile>(*this, nullptr, &memoryFiles[path]);
        }
        std::unique_ptr<vpk::File> real = vpk::PlatformFileSystem().CreateForWriting(path);
        if (!real)
            return nullptr;
        return std::make_unique<WriteFile>(*this, std::move(real), nullptr);
    }

    std::unique_ptr<vpk::File> CreateNew(const char* path) override
    {
        created.emplace_back(path);
        std::unique_ptr<vpk::File> real = failCreate ? nullptr : vpk::PlatformFileSystem().CreateNew(path);
        if (!real)
            return nullptr;
        return std::make_unique<WriteFile>(*this, std::move(real), nullptr);
    }

    // Files kept in memory are not examined: nothing of theirs is on disk.
    vpk::PathInfo Examine(const char* path, bool followLinks) override
    {
        return writeToMemory ? vpk::PathInfo{} : vpk::PlatformFileSystem().Examine(path, followLinks);
    }

    bool MakeFolder(const char* path) override
    {
        folders.emplace_back(path);
        return writeToMemory || vpk::PlatformFileSystem().MakeFolder(path);
    }

    bool RemoveFile(const char* path) override
    {
        removed.emplace_back(path);
        if (writeToMemory)
            return memoryFiles.erase(path) == 1;
        return vpk::PlatformFileSystem().RemoveFile(path);
    }

    bool ListFolder(const char* path, std::vector<vpk::FolderItem>& items) override
    {
        return vpk::PlatformFileSystem().ListFolder(path, items);
    }

    bool Rename(const char* from, const char* to) override
    {
        return !failRename && vpk::PlatformFileSystem().Rename(from, to);
    }

private:
    struct Sparse {
        std::uint64_t size;
        std::string tail;
    };

    class ReadFile final : public vpk::File {
    public:
        ReadFile(FakeFileSystem& owner, std::unique_ptr<vpk::File> file, const Sparse* content)
            : fake(owner), real(std::move(file)), sparse(content)
        {
        }
        bool GetSize(std::uint64_t& size) override
        {
            if (fake.failSize)
                return false;
            if (fake.reportedSize) {
                size = *fake.reportedSize;
                return true;
            }
            if (sparse != nullptr) {
                size = sparse->size;
                return true;
            }
            return real->GetSize(size);
        }
        bool SetPosition(std::uint32_t offset) override
        {
            position = offset;
            return real == nullptr || real->SetPosition(offset);
        }
        bool Read(void* buffer, std::uint32_t count, std::uint32_t& got) override
        {
            got = 0;
            if (count > 0 && position < fake.badEnd && position + count > fake.badBegin)
                return false;
            if (real != nullptr) {
                if (!real->Read(buffer, count, got))
                    return false;
            } else {
                got = static_cast<std::uint32_t>(std::min<std::uint64_t>(
                    count, position < sparse->size ? sparse->size - position : 0));
                const std::uint64_t tailStart = sparse->size - sparse->tail.size();
                auto* bytes = static_cast<unsigned char*>(buffer);
                for (std::uint32_t i = 0; i < got; ++i) {
                    const std::uint64_t at = position + i;
                    bytes[i] = at >= tailStart ? static_cast<unsigned char>(sparse->tail[at - tailStart]) : 0;
                }
            }
            position += got;
            return true;
        }
        bool Write(const void*, std::uint32_t, std::uint32_t& written) override
        {
            written = 0;
            return false;
        }
        bool Close() override { return real == nullptr || real->Close(); }
        bool GetIdentity(vpk::FileIdentity& identity) override
        {
            return real != nullptr && real->GetIdentity(identity);
        }

    private:
        FakeFileSystem& fake;
        std::unique_ptr<vpk::File> real;
        const Sparse* sparse;
        std::uint64_t position = 0;
    };

    class WriteFile final : public vpk::File {
    public:
        WriteFile(FakeFileSystem& owner, std::unique_ptr<vpk::File> file, std::string* memory)
            : fake(owner), real(std::move(file)), contents(memory)
        {
        }
        bool GetSize(std::uint64_t&) override { return false; }
        bool SetPosition(std::uint32_t) override { return true; }
        bool Read(void*, std::uint32_t, std::uint32_t& got) override
        {
            got = 0;
            return false;
        }
        bool Write(const void* buffer, std::uint32_t count, std::uint32_t& written) override
        {
            const std::uint32_t allowed = fake.writeLimit ? std::min(count, *fake.writeLimit) : count;
            if (contents != nullptr) {
                contents->append(static_cast<const char*>(buffer), allowed);
                written = allowed;
            } else if (!real->Write(buffer, allowed, written)) {
                return false;
            }
            return allowed == count;
        }
        bool Close() override
        {
            const bool closed = real == nullptr || real->Close();
            return closed && !fake.failClose;
        }

    private:
        FakeFileSystem& fake;
        std::unique_ptr<vpk::File> real;
        std::string* contents;
    };

    std::map<std::string, Sparse> sparse;
};

}  // namespace test
