// Writing entries of the open pack to disk.
#include "vpk/VpkArchive.h"

#include "vpk/MessageSink.h"
#include "vpk/Messages.h"
#include "vpk/TargetPath.h"

#include <cstring>
#include <string>

using vpk::ShowMessage;
namespace messages = vpk::messages;

bool VpkArchive::Extract(std::uint32_t index, const char* target, vpk::ExtractionRun* run)
{
    if (!file) {
        ShowMessage(messages::kNotOpen);
        return false;
    }
    const VpkEntry* entry = GetEntry(index);
    if (entry == nullptr) {
        ShowMessage(messages::kIndexOutOfRange);
        return false;
    }
    const bool directoryPack = IsDirectoryPack();
    // A directory pack's target takes a "/" more.
    const std::size_t length = std::strlen(target);
    if (length + (directoryPack ? 1 : 0) > kVpkMaxNameLength) {
        ShowMessage(messages::kTargetTooLong);
        return false;
    }
    if (!vpk::IsSafeTarget(target)) {
        ShowMessage(messages::kUnsafeTarget);
        return false;
    }
    if (!directoryPack && !CheckEntryData(index))
        return false;

    // "\" separates folders as "/" does, on every platform, so a pack gives
    // the same tree on Windows and elsewhere.
    char name[kVpkPathSize + 1];
    for (std::size_t i = 0; i <= length; ++i)
        name[i] = target[i] == '\\' ? '/' : target[i];

    if (directoryPack) {
        // Every component of the name becomes a folder; no bytes are read.
        name[length] = '/';
        name[length + 1] = '\0';
        CreateDirectories(name, run);
        return false;
    }

    // The folder part runs up to and including the last separator. (A drive
    // prefix would not belong to it, but targets with a ":" have been refused
    // above.)
    const char* folderEnd = std::strrchr(name, '/');
    const std::size_t folderLength = folderEnd != nullptr ? static_cast<std::size_t>(folderEnd - name) + 1 : 0;
    char folders[kVpkPathSize];
    std::memcpy(folders, name, folderLength);
    folders[folderLength] = '\0';
    if (!CreateDirectories(folders, run))
        return false;

    vpk::FileSystem& fileSystem = vpk::GetFileSystem();
    const std::string where = run != nullptr ? run->Base() + name : std::string(name);
    // Neither through a link at the target nor over the pack being read (by
    // any of its names: it would be cut short while it is read).
    const vpk::PathInfo existing = fileSystem.Examine(where.c_str(), false);
    if (existing.kind == vpk::PathInfo::Kind::Link) {
        ShowMessage(messages::kLinkInTarget);
        return false;
    }
    if (existing.kind != vpk::PathInfo::Kind::None && IsOpenPack(existing.identity)) {
        ShowMessage(messages::kTargetIsPack);
        return false;
    }

    const EntryData data = LoadEntryData(*entry);
    if (!data)
        return true;

    std::unique_ptr<vpk::File> out = fileSystem.CreateForWriting(where.c_str());
    if (!out) {
        ShowMessage(messages::kCreateFailed);
        return true;
    }
    std::uint32_t written = 0;
    bool complete = out->Write(data.get(), entry->dataSize, written) && written == entry->dataSize;
    // Closing can report a write that failed late.
    complete = out->Close() && complete;
    if (!complete) {
        // A half-written file must not pass for the entry.
        out.reset();
        fileSystem.RemoveFile(where.c_str());
        ShowMessage(messages::kWriteFailed);
    }
    return true;
}

bool VpkArchive::CreateDirectories(const char* folders, vpk::ExtractionRun* run)
{
    if (std::strlen(folders) > kVpkMaxNameLength) {
        ShowMessage(messages::kTargetTooLong);
        return false;
    }
    vpk::FileSystem& fileSystem = vpk::GetFileSystem();
    // The run's folder, then each part of the input with one separator.
    std::string accumulated = run != nullptr ? run->Base() : std::string();
    std::size_t ends[kVpkPathSize];  // where each folder's path ends in it
    std::size_t count = 0;
    const char* p = folders;
    while (*p != '\0') {
        if (*p == '/' || *p == '\\') {
            ++p;  // empty parts are dropped
            continue;
        }
        const char* end = p + std::strcspn(p, "/\\");
        accumulated.append(p, end);
        accumulated.push_back(vpk::kFolderSeparator);
        ends[count++] = accumulated.size();
        p = end;
    }
    // Most entries of a run share their folders with an entry before them.
    if (run != nullptr && count > 0 && run->NamedAndUsable(accumulated))
        return true;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string folder = accumulated.substr(0, ends[i]);
        // An existing folder fails harmlessly; a link there (put there before,
        // or by the pack's owner) is not written through. It is examined
        // without its last separator, which would lead through it.
        auto make = [&] {
            fileSystem.MakeFolder(folder.c_str());
            const std::string link = folder.substr(0, folder.size() - 1);
            return fileSystem.Examine(link.c_str(), false).kind != vpk::PathInfo::Kind::Link;
        };
        if (!(run != nullptr ? run->MakeOnce(folder, make) : make())) {
            ShowMessage(messages::kLinkInTarget);
            return false;
        }
    }
    return true;
}
