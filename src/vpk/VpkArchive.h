// One ".vpk" pack opened for reading: its file, its footer and, once asked
// for, its entry table. Every failure is reported by the archive itself
// through vpk::ShowMessage; callers add no message of their own.
//
// Calling order: Open; ReadDirectory when the entries are wanted; queries,
// ReadEntry and Extract; Close. The footer queries work right after Open.
#pragma once

#include "vpk/ExtractionRun.h"
#include "vpk/FileSystem.h"
#include "vpk/Memory.h"
#include "vpk/VpkFormat.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class VpkArchive {
public:
    VpkArchive();
    // Closes a file still open and frees its table.
    virtual ~VpkArchive();

    VpkArchive(const VpkArchive&) = delete;
    VpkArchive& operator=(const VpkArchive&) = delete;

    // Opens the pack and checks its footer; the directory is not read.
    bool Open(const char* packPath);
    // Reads the directory into the entry table; true when it is complete or
    // the pack has no entries.
    bool ReadDirectory();
    // Hands each record of the directory to visit, in order, without keeping
    // them: the entry is valid only during the call, and the queries below
    // still see no entries. visit returns false to end the walk early (the
    // result then speaks for the records read). Refuses what ReadDirectory refuses, with the
    // same messages, but a record past which the directory turns out bad
    // (a name too long, a failed read) has already been visited: a caller
    // acts on what it was given only once this returned true.
    using DirectoryVisitor = std::function<bool(std::uint32_t index, const VpkEntry& entry)>;
    bool ScanDirectory(const DirectoryVisitor& visit);
    // True when a file was open and its release succeeded.
    bool Close();

    // True when `other` reads the very file this archive reads, as far as the
    // platform tells: not another one put at the same path between the two
    // openings. False when it can't tell.
    bool ReadsSameFileAs(VpkArchive& other);

    std::uint32_t GetEntryCount() const { return footer.entryCount; }
    bool IsDirectoryPack() const { return footer.packType != 0; }
    // The entry at index, or nullptr when there is none.
    const VpkEntry* GetEntry(std::uint32_t index) const;
    // The pack's path; after a failed Open see the archive's states.
    const char* GetPath() const { return path; }
    // "DIR" in a directory pack; else the type of the entry's name, or empty.
    std::string GetEntryType(std::uint32_t index) const;
    // The entry's data size, or 0 when there is no such entry.
    std::uint32_t GetEntrySize(std::uint32_t index) const;
    // True when the entry's data lies within the pack as it was opened. An
    // entry reaching past the end is damaged or hostile (a record of a few
    // bytes could otherwise claim gigabytes of zeros): that is reported and
    // gives false. No entry at index gives false without a message.
    // Callers that size a buffer by the entry ask this first.
    bool CheckEntryData(std::uint32_t index);
    // Copies the entry's dataSize bytes to destination. An entry refused by
    // CheckEntryData, or a read failure (a read that comes up short among
    // them: the file shrank after Open), leaves destination untouched and
    // gives false.
    bool ReadEntry(std::uint32_t index, void* destination);
    // Copies count bytes from offset within the entry to destination: a view
    // that shows a part of a large entry reads only that part. Refused like
    // ReadEntry (with CheckEntryData's message), and without a message when
    // the range reaches past the entry's dataSize. Unlike ReadEntry, bytes
    // the file no longer holds are a failure ("Could not read data from vpk
    // file"), never zeros. False leaves destination untouched.
    bool ReadEntryRange(std::uint32_t index, std::uint32_t offset, std::uint32_t count, void* destination);

    // Writes the entry to target (relative to the run's folder, or to the
    // current directory without one), creating its folders; in a directory pack only creates the folders.
    // "/" and "\" both separate folders. Nothing is written through a link
    // found below the folder extracted into, nor over the open pack itself.
    // False when refused (an entry refused by CheckEntryData among them:
    // nothing is created for it) and for a directory pack; true once a file entry
    // was handled, its failures reported by message. Within a run, folders
    // the run has already asked for are not asked for again.
    bool Extract(std::uint32_t index, const char* target, vpk::ExtractionRun* run = nullptr);
    // Creates each folder of a path separated by "/" or "\" in turn; failures
    // (an existing folder among them) are not reported. A link found where a
    // folder should be is: false, and nothing is made below it.
    bool CreateDirectories(const char* folders, vpk::ExtractionRun* run = nullptr);

private:
    // The table and entry buffers come zero-filled from vpk::AllocateZeroed,
    // sized with an overflow check.
    using EntryData = std::unique_ptr<unsigned char[], vpk::FreeMemory>;

    // False, with the message, when the footer counts more records than the
    // bytes after the directory's offset can hold.
    bool CheckEntryCount() const;
    // Decodes the records in order, each into slot(index), and hands it to
    // visit(index, entry) (false: stop there). Shows the directory's
    // messages and returns whether it was read whole and sound.
    template <typename Slot, typename Visit>
    bool DecodeDirectory(Slot slot, Visit&& visit);

    // Reads the entry's bytes into a fresh buffer of dataSize + 1 bytes, the
    // last one zero. Shows the failure's message and returns nullptr when the
    // buffer can't be had or the read fails or comes up short.
    EntryData LoadEntryData(const VpkEntry& entry);

    char path[kVpkPathSize];
    std::unique_ptr<VpkEntry[], vpk::FreeMemory> entries;
    VpkFooter footer;
    std::uint32_t fileSize;
    std::unique_ptr<vpk::File> file;
    // True when identity is that of the open pack, as far as the platform
    // tells. It is asked for the first time it is needed, not at Open: a
    // search of many packs never needs the answer, and asking costs one
    // more query of the platform per pack.
    bool IsOpenPack(const vpk::FileIdentity& identity);

    // Which file the open pack is, where the platform tells; once asked.
    std::optional<vpk::FileIdentity> packIdentity;
    bool identityAsked = false;
};
