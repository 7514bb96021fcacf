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

    if (directoryPack) {
        // Every component of the name becomes a folder; no bytes are read.
        char folders[kVpkPathSize];
        std::memcpy(folders, target, length);
        folders[length] = '/';
        folders[length + 1] = '\0';
        CreateDirectories(folders, run);
        return false;
    }

    // The folder part runs up to and including the last slash or backslash.
    // (A drive prefix would not belong to it, but targets with a ":" have
    // been refused above.)
    const char* folderEnd = target;
    for (const char* p = target; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\')
            folderEnd = p + 1;
    }
    char folders[kVpkPathSize];
    const std::size_t folderLength = static_cast<std::size_t>(folderEnd - target);
    std::memcpy(folders, target, folderLength);
    folders[folderLength] = '\0';
    CreateDirectories(folders, run);

    const EntryData data = LoadEntryData(*entry);
    if (!data)
        return true;

    vpk::FileSystem& fileSystem = vpk::GetFileSystem();
    const std::string where = run != nullptr ? run->Base() + target : std::string(target);
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

void VpkArchive::CreateDirectories(const char* folders, vpk::ExtractionRun* run)
{
    if (std::strlen(folders) > kVpkMaxNameLength) {
        ShowMessage(messages::kTargetTooLong);
        return;
    }
    vpk::FileSystem& fileSystem = vpk::GetFileSystem();
    // The run's folder, then each part of the input with one separator.
    std::string accumulated = run != nullptr ? run->Base() : std::string();
    std::size_t ends[kVpkPathSize];  // where each folder's path ends in it
    std::size_t count = 0;
    const char* p = folders;
    while (*p != '\0') {
        if (*p == '/') {
            ++p;  // empty parts are dropped
            continue;
        }
        const char* end = std::strchr(p, '/');
        if (end == nullptr)
            end = p + std::strlen(p);
        accumulated.append(p, end);
        accumulated.push_back(vpk::kFolderSeparator);
        ends[count++] = accumulated.size();
        p = end;
    }
    // Most entries of a run share their folders with an entry before them.
    if (run != nullptr && count > 0 && run->Named(accumulated))
        return;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string folder = accumulated.substr(0, ends[i]);
        // An existing folder fails harmlessly; the next part follows anyway.
        if (run == nullptr)
            fileSystem.MakeFolder(folder.c_str());
        else
            run->MakeOnce(folder, [&] { fileSystem.MakeFolder(folder.c_str()); });
    }
}
