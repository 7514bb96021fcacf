// Fuzz target: one input is the bytes of a pack. It goes through the whole
// archive on an in-memory file system (open, directory, every query, reading
// and extracting every entry), and every answer is checked against this
// file's own reading of the bytes. Extraction must never create anything
// outside the folder it extracts into, and entries that may share threads
// must be ones that no file system resolves to one file.
#include "vpk/Extractor.h"
#include "FuzzCheck.h"
#include "FakeFileSystem.h"
#include "vpk/MessageSink.h"
#include "vpk/PackSearch.h"
#include "vpk/TargetPath.h"
#include "vpk/VpkArchive.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

class QuietSink final : public vpk::MessageSink {
public:
    void Show(const char*) override { ++shown; }
    int shown = 0;
};

std::uint32_t Le32(const std::uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

struct Record {
    std::uint32_t nameLength;
    std::string name;  // up to the first zero byte
    std::uint32_t dataOffset;
    std::uint32_t dataSize;
};

// The directory as plain sequential reads give it: short at the end of the
// file, zeros for what is not there. False where a name too long for its
// 259-byte field begins.
bool ReadRecords(const std::uint8_t* data, std::size_t size, std::uint32_t offset, std::uint32_t count,
                 std::vector<Record>& records)
{
    std::size_t at = offset;
    auto read = [&](std::uint8_t* out, std::size_t n) {
        std::memset(out, 0, n);
        const std::size_t have = at < size ? std::min(n, size - at) : 0;
        std::memcpy(out, data + at, have);
        at += have;
    };
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint8_t field[8];
        read(field, 4);
        Record record{Le32(field), {}, 0, 0};
        if (record.nameLength > 259)
            return false;
        std::string name(record.nameLength, '\0');
        read(reinterpret_cast<std::uint8_t*>(name.data()), name.size());
        record.name = name.substr(0, name.find('\0'));
        read(field, 8);
        record.dataOffset = Le32(field);
        record.dataSize = Le32(field + 4);
        records.push_back(record);
    }
    return true;
}

// The type is the second non-empty "."-separated part of the name.
std::string TypeOf(const std::string& name)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : name + ".") {
        if (c != '.') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
    }
    return parts.size() < 2 ? std::string() : parts[1];
}

// Inside the extraction folder: relative, no "..", no drive or stream. An
// empty path names no file at all (creating it fails).
bool StaysInside(const std::string& path)
{
    if (path.empty())
        return true;
    if (path[0] == '/' || path[0] == '\\' || path.find(':') != std::string::npos)
        return false;
    std::string component;
    for (char c : path + "/") {
        if (c != '/' && c != '\\') {
            component += c;
            continue;
        }
        if (!component.empty() && component.find_first_not_of(". ") == std::string::npos)
            return false;
        component.clear();
    }
    return true;
}

// The parts of a name as a file system may resolve them: "/" and "\\" both
// separators, empty and "." parts gone, dots and spaces at the end of a part
// dropped, ASCII letters in one case.
std::vector<std::string> ResolvedParts(const std::string& name)
{
    std::vector<std::string> parts(1);
    for (const char c : name + "/") {
        std::string& part = parts.back();
        if (c != '/' && c != '\\') {
            part += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            continue;
        }
        part.erase(part.find_last_not_of(". ") + 1);
        if (!part.empty())
            parts.emplace_back();
    }
    parts.pop_back();
    return parts;
}

// True when two names may reach one file, or the file of one may be a folder
// of the other: writing them in another order than given could change what
// is left on disk. Bytes above 127 fold as the system likes, and "~" may be a
// short name for anything.
bool MayCollide(const std::string& a, const std::string& b)
{
    for (const std::string* name : {&a, &b}) {
        for (const char c : *name) {
            if (static_cast<unsigned char>(c) > 127 || c == '~')
                return true;
        }
    }
    const std::vector<std::string> x = ResolvedParts(a);
    const std::vector<std::string> y = ResolvedParts(b);
    const std::size_t shorter = std::min(x.size(), y.size());
    // No part at all: no file, whatever the other name is.
    return shorter > 0 && std::equal(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(shorter), y.begin());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QuietSink sink;
    vpk::SetMessageSink(&sink);
    {
        test::FakeFileSystem fake;
        fake.writeToMemory = true;
        const std::string bytes(reinterpret_cast<const char*>(data), size);
        fake.AddSparseFile("in.vpk", size, bytes);

        VpkArchive archive;
        const bool opened = archive.Open("in.vpk");
        const bool footerValid = size >= 9 && Le32(data + size - 5) <= size - 8;
        FUZZ_CHECK(opened == footerValid);
        if (opened) {
            const std::uint32_t count = Le32(data + size - 9);
            const std::uint32_t directory = Le32(data + size - 5);
            const bool directoryPack = data[size - 1] != 0;
            FUZZ_CHECK(archive.GetEntryCount() == count);
            FUZZ_CHECK(archive.IsDirectoryPack() == directoryPack);

            std::vector<Record> records;
            // Each record takes 12 bytes at least, but the last may be cut.
            const bool countFits = count <= (size - directory + 11) / 12;
            const bool namesFit = countFits && ReadRecords(data, size, directory, count, records);
            // The search's walk over the records, which keeps no table,
            // gives the same records and the same answer, and hands over
            // nothing from a directory that turns out bad.
            sink.shown = 0;
            std::uint32_t found = 0;
            bool foundAsRead = true;
            const bool searched = vpk::SearchPack(
                "in.vpk", [](const char*) { return true; },
                [&](std::uint32_t index, const VpkEntry& entry) {
                    foundAsRead = foundAsRead && index == found && index < records.size() &&
                                  entry.nameLength == records[index].nameLength && entry.name == records[index].name &&
                                  entry.dataOffset == records[index].dataOffset &&
                                  entry.dataSize == records[index].dataSize;
                    ++found;
                });
            FUZZ_CHECK(searched == (count == 0 || namesFit));
            FUZZ_CHECK(searched == (sink.shown == 0));
            FUZZ_CHECK(foundAsRead && found == (searched ? count : 0));
            sink.shown = 0;
            const bool read = archive.ReadDirectory();
            FUZZ_CHECK(read == (count == 0 || namesFit));
            FUZZ_CHECK(read == (sink.shown == 0));
            for (std::uint32_t i = 0; read && i < count; ++i) {
                const VpkEntry* entry = archive.GetEntry(i);
                const Record& r = records[i];
                FUZZ_CHECK(entry != nullptr);
                FUZZ_CHECK(entry->nameLength == r.nameLength);
                FUZZ_CHECK(entry->name == r.name);
                FUZZ_CHECK(entry->dataOffset == r.dataOffset && entry->dataSize == r.dataSize);
                FUZZ_CHECK(archive.GetEntrySize(i) == r.dataSize);
                FUZZ_CHECK(archive.GetEntryType(i) == (directoryPack ? "DIR" : TypeOf(r.name)));

                const bool inPack = std::uint64_t{r.dataOffset} + r.dataSize <= size;
                FUZZ_CHECK(archive.CheckEntryData(i) == inPack);
                if (inPack) {
                    std::string got(r.dataSize, '\x55');
                    archive.ReadEntry(i, got.data());
                    FUZZ_CHECK(got == bytes.substr(r.dataOffset, r.dataSize));
                }
                const bool extracted = archive.Extract(i, entry->name);
                FUZZ_CHECK(!extracted || (!directoryPack && inPack && vpk::IsSafeTarget(entry->name)));
            }
            FUZZ_CHECK(archive.GetEntry(count) == nullptr);
            // Entries allowed on two threads give the one-thread result in
            // any order: no two of them may be one file.
            if (read && !directoryPack) {
                std::vector<std::string_view> names;
                for (const Record& r : records)
                    names.emplace_back(r.name);
                if (vpk::CanShareThreads(names)) {
                    for (std::size_t i = 0; i < records.size(); ++i) {
                        for (std::size_t j = i + 1; j < records.size(); ++j)
                            FUZZ_CHECK(!MayCollide(records[i].name, records[j].name));
                    }
                }
            }
            for (const std::string& folder : fake.folders)
                FUZZ_CHECK(StaysInside(folder));
            for (const std::string& file : fake.created)
                FUZZ_CHECK(StaysInside(file));
            // A file entry extracted whole holds exactly its bytes.
            for (const auto& [path, contents] : fake.memoryFiles) {
                bool matches = false;
                for (const Record& r : records) {
                    const bool inPack = std::uint64_t{r.dataOffset} + r.dataSize <= size;
                    std::string name = r.name;  // "\\" separates folders as "/" does
                    std::replace(name.begin(), name.end(), '\\', '/');
                    matches = matches || (path == name && inPack && contents == bytes.substr(r.dataOffset, r.dataSize));
                }
                FUZZ_CHECK(matches);
            }
            FUZZ_CHECK(archive.Close());
        }
    }
    vpk::SetMessageSink(nullptr);
    return 0;
}
