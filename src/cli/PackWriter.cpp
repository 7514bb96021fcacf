#include "PackWriter.h"

#include "PackFolder.h"

#include "vpk/FileSystem.h"
#include "vpk/TargetPath.h"
#include "vpk/VpkFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

constexpr std::uint64_t kPackLimit = std::uint64_t{1} << 32;  // offsets are 32-bit
constexpr std::uint32_t kCopyBlock = 1u << 20;

struct Source {
    std::string name;  // the entry's name
    std::string path;  // where the file is
    std::uint64_t size;
};

// A name a pack can carry and extraction gives back unchanged: no control
// characters and none that a Windows file name can't hold (the game reads its
// packs on Windows; "\" would become a folder there), and nothing extraction
// refuses, such as a component made only of dots and spaces.
bool IsCarriable(const std::string& name)
{
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || std::strchr("\\:*?\"<>|", c) != nullptr)
            return false;
    }
    return vpk::IsSafeTarget(name.c_str());
}

// A name Windows extraction gives back as it is: no device name, and no dot
// or space at the end (Windows drops them).
bool KeepsItsNameOnWindows(const std::string& part)
{
    const char last = part.empty() ? '\0' : part.back();
    return last != '.' && last != ' ' && !vpk::IsWindowsDeviceName(part.data(), part.data() + part.size());
}

// ASCII letters folded to lower case, as Windows compares names.
std::string FoldCase(std::string name)
{
    for (char& c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}

void AppendLe32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>(value >> shift & 0xFF));
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    const char last = folder.back();
    if (last == '/' || last == vpk::kFolderSeparator)
        return folder + name;
    return folder + vpk::kFolderSeparator + name;
}

class Packer {
public:
    explicit Packer(const PackProblem& problem) : report(problem) {}

    // Collects the files below folder; false after reporting what can't be
    // packed. Every problem is reported, not only the first.
    bool Collect(const std::string& folder)
    {
        std::vector<vpk::FileIdentity> above;
        const vpk::PathInfo root = vpk::GetFileSystem().Examine(folder.c_str(), true);
        if (root.kind == vpk::PathInfo::Kind::Folder)
            above.push_back(root.identity);
        Walk(folder, std::string(), above);
        std::sort(sources.begin(), sources.end(),
                  [](const Source& a, const Source& b) { return a.name < b.name; });
        FindCaseCollisions();
        return fine;
    }

    bool FitsInAPack(const std::string& outPath)
    {
        std::uint64_t total = kVpkFooterSize;
        for (const Source& source : sources)
            total += source.size + kVpkRecordFixedSize + source.name.size();
        if (total >= kPackLimit) {
            report("can't pack into " + outPath + ": the pack would reach 4 GiB");
            return false;
        }
        return true;
    }

    // Writes the pack to a new temporary file beside outPath, named in
    // temporary, which it removes again on failure.
    bool Write(const std::string& outPath, std::string& temporary)
    {
        vpk::FileSystem& fileSystem = vpk::GetFileSystem();
        std::unique_ptr<vpk::File> out = vpk::CreateTemporaryBeside(outPath, temporary);
        if (!out) {
            report("can't create " + temporary);
            return false;
        }
        bool written = WriteEntries(*out, outPath) && WriteDirectory(*out, outPath);
        // Closing can report a write that failed late.
        if (!out->Close() && written) {
            report("can't write " + outPath);
            written = false;
        }
        out.reset();
        if (!written)
            fileSystem.RemoveFile(temporary.c_str());
        return written;
    }

private:
    // above: the folders from the source folder down to this one, each of
    // which a link may lead back to.
    void Walk(const std::string& folder, const std::string& prefix, std::vector<vpk::FileIdentity>& above)
    {
        std::vector<vpk::FolderItem> items;
        if (!vpk::GetFileSystem().ListFolder(folder.c_str(), items)) {
            Problem("can't read folder " + folder);
            return;
        }
        for (const vpk::FolderItem& item : items) {
            const std::string name = prefix + item.name;
            const std::string path = Join(folder, item.name);
            if (item.kind == vpk::FolderItem::Kind::Other) {
                Problem("can't read " + path);
            } else if (name.size() > kVpkMaxNameLength) {
                Problem("name too long for a pack (" + std::to_string(name.size()) + " bytes, at most " +
                        std::to_string(kVpkMaxNameLength) + "): " + name);
            } else if (!IsCarriable(name)) {
                Problem("name holds a character a pack can't carry: " + name);
            } else if (!KeepsItsNameOnWindows(item.name)) {
                Problem("name Windows would not give back unchanged: " + name);
            } else if (item.kind == vpk::FolderItem::Kind::Folder) {
                // Each folder once per path: two links back up would
                // otherwise double the walk at every level.
                const vpk::PathInfo info = vpk::GetFileSystem().Examine(path.c_str(), true);
                const bool known = info.kind == vpk::PathInfo::Kind::Folder;
                if (known && std::find(above.begin(), above.end(), info.identity) != above.end()) {
                    report("skipped: a link back to a folder above it: " + path);
                    continue;
                }
                if (known)
                    above.push_back(info.identity);
                Walk(path, name + "/", above);
                if (known)
                    above.pop_back();
            } else {
                sources.push_back(Source{name, path, item.size});
            }
        }
    }

    // Windows would make one file or folder of names that differ only in
    // case, and give back only one spelling.
    void FindCaseCollisions()
    {
        std::unordered_map<std::string, std::string> spellings;  // folded -> first seen
        std::unordered_set<std::string> reported;
        for (const Source& source : sources) {
            for (std::size_t end = source.name.find('/');; end = source.name.find('/', end + 1)) {
                const std::string part = source.name.substr(0, end);
                const auto [found, fresh] = spellings.emplace(FoldCase(part), part);
                if (!fresh && found->second != part && reported.insert(found->first).second)
                    Problem("names differ only in case: " + found->second + " and " + part);
                if (end == std::string::npos)
                    break;
            }
        }
    }

    void Problem(const std::string& text)
    {
        report(text);
        fine = false;
    }

    bool WriteAll(vpk::File& out, const void* bytes, std::uint32_t count, const std::string& outPath)
    {
        std::uint32_t done = 0;
        if (out.Write(bytes, count, done) && done == count)
            return true;
        report("can't write " + outPath);
        return false;
    }

    bool WriteEntries(vpk::File& out, const std::string& outPath)
    {
        std::vector<unsigned char> block(kCopyBlock);
        for (const Source& source : sources) {
            std::unique_ptr<vpk::File> in = vpk::GetFileSystem().OpenForReading(source.path.c_str());
            if (!in) {
                report("can't read " + source.path);
                return false;
            }
            // The size was fixed when the directory was planned; a file that
            // grew or shrank since would not match its record.
            std::uint64_t size = 0;
            if (!in->GetSize(size) || size != source.size) {
                report(source.path + " changed while it was being packed");
                return false;
            }
            std::uint64_t left = source.size;
            while (left > 0) {
                const auto count = static_cast<std::uint32_t>(std::min<std::uint64_t>(left, kCopyBlock));
                std::uint32_t got = 0;
                if (!in->Read(block.data(), count, got)) {
                    report("can't read " + source.path);
                    return false;
                }
                if (got != count) {
                    report(source.path + " changed while it was being packed");
                    return false;
                }
                if (!WriteAll(out, block.data(), count, outPath))
                    return false;
                left -= count;
            }
        }
        return true;
    }

    bool WriteDirectory(vpk::File& out, const std::string& outPath)
    {
        std::string directory;
        std::uint32_t offset = 0;
        for (const Source& source : sources) {
            // FitsInAPack checked that every offset and size fits 32 bits.
            AppendLe32(directory, static_cast<std::uint32_t>(source.name.size()));
            directory += source.name;
            AppendLe32(directory, offset);
            AppendLe32(directory, static_cast<std::uint32_t>(source.size));
            offset += static_cast<std::uint32_t>(source.size);
        }
        AppendLe32(directory, static_cast<std::uint32_t>(sources.size()));
        AppendLe32(directory, offset);  // the directory follows the entries' bytes
        directory.push_back('\0');      // a file pack
        return WriteAll(out, directory.data(), static_cast<std::uint32_t>(directory.size()), outPath);
    }

    const PackProblem& report;
    std::vector<Source> sources;
    bool fine = true;
};

// The folder part of a path: up to its last separator, or "." without one.
std::string FolderOf(const std::string& path)
{
    const std::size_t last = path.find_last_of(vpk::kFolderSeparator == '/' ? "/" : "/\\:");
    if (last == std::string::npos)
        return ".";
    if (last == 0 || path[last] == ':')
        return path.substr(0, last + 1);  // the root, or a drive's current folder
    return path.substr(0, last);
}

}  // namespace

bool WritePack(const std::string& sourceFolder, const std::string& outPath, const PackProblem& report)
{
    std::string sourceFull;
    std::string outFolderFull;
    if (!GetFullPath(sourceFolder, sourceFull)) {
        report("can't read folder " + sourceFolder);
        return false;
    }
    if (!GetFullPath(FolderOf(outPath), outFolderFull)) {
        report("can't write " + outPath + ": its folder can't be found");
        return false;
    }
    // The pack would hold itself, or its temporary file, half written.
    if (IsSameOrBelow(outFolderFull, sourceFull)) {
        report("can't pack into " + outPath + ": it lies inside " + sourceFolder);
        return false;
    }
    Packer packer(report);
    if (!packer.Collect(sourceFolder) || !packer.FitsInAPack(outPath))
        return false;
    std::string temporary;
    if (!packer.Write(outPath, temporary))
        return false;
    if (!vpk::GetFileSystem().Rename(temporary.c_str(), outPath.c_str())) {
        vpk::GetFileSystem().RemoveFile(temporary.c_str());
        report("can't replace " + outPath);
        return false;
    }
    return true;
}
