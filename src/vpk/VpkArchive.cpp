#include "vpk/VpkArchive.h"

#include "vpk/MessageSink.h"
#include "vpk/Messages.h"

#include <cstring>
#include <vector>

using vpk::ShowMessage;
namespace messages = vpk::messages;

namespace {

// Reads the directory in large blocks while giving every request exactly
// what a read call of that size would have given at that point: short at the
// end of the file, nothing past it. When a block read fails, the request is
// retried as a read of its own size, so a damaged region of the file spoils
// the same records it would spoil without the buffer.
class DirectoryReader {
public:
    explicit DirectoryReader(vpk::File& source) : file(source), block(kBlockSize) {}

    // Fills count bytes of destination: what the file gives, then zeros for
    // what it does not (the end of the file, a failed read). Returns false
    // when a read call failed.
    bool Read(unsigned char* destination, std::uint32_t count)
    {
        std::memset(destination, 0, count);
        while (count > 0) {
            if (begin == end) {
                if (atEnd)
                    return true;
                if (!Refill())
                    return ReadDirect(destination, count);
                if (begin == end)
                    return true;
            }
            const std::uint32_t n = count < end - begin ? count : end - begin;
            std::memcpy(destination, block.data() + begin, n);
            begin += n;
            destination += n;
            count -= n;
        }
        return true;
    }

private:
    static constexpr std::uint32_t kBlockSize = 64 * 1024;

    bool Refill()
    {
        std::uint32_t got = 0;
        if (!file.Read(block.data(), kBlockSize, got))
            return false;
        begin = 0;
        end = got;
        atEnd = got < kBlockSize;
        return true;
    }

    bool ReadDirect(unsigned char* destination, std::uint32_t count)
    {
        std::uint32_t got = 0;
        if (!file.Read(destination, count, got))
            return false;
        atEnd = got < count;
        return true;
    }

    vpk::File& file;
    std::vector<unsigned char> block;
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
    bool atEnd = false;
};

}  // namespace

VpkArchive::VpkArchive() : path{}, footer{}, fileSize(0) {}

VpkArchive::~VpkArchive()
{
    Close();
}

bool VpkArchive::Open(const char* packPath)
{
    if (file) {
        ShowMessage(messages::kAlreadyOpen);
        return false;
    }
    if (std::strlen(packPath) >= kVpkPathSize) {
        ShowMessage(messages::kPathTooLong);
        return false;
    }
    std::unique_ptr<vpk::File> opened = vpk::GetFileSystem().OpenForReading(packPath);
    if (!opened) {
        ShowMessage(messages::kOpenFailed);
        return false;
    }
    std::strcpy(path, packPath);

    std::uint64_t size = 0;
    if (!opened->GetSize(size)) {
        opened->Close();
        ShowMessage(messages::kSizeFailed);
        return false;
    }
    // A pack that can't be parsed: the reason, then the general refusal.
    auto refuse = [&opened](const char* reason) {
        ShowMessage(reason);
        ShowMessage(messages::kParseFailed);
        opened->Close();
        return false;
    };
    // Offsets are 32-bit, and the footer must be there to be read.
    if (size > UINT32_MAX)
        return refuse(messages::kFileTooLarge);
    if (size < kVpkFooterSize)
        return refuse(messages::kFileTooSmall);
    fileSize = static_cast<std::uint32_t>(size);

    // A read cut short by a file that shrank leaves zeros, as everywhere else.
    unsigned char bytes[kVpkFooterSize] = {};
    std::uint32_t got = 0;
    const bool read = opened->SetPosition(fileSize - kVpkFooterSize) &&
                      opened->Read(bytes, kVpkFooterSize, got);
    footer = DecodeVpkFooter(bytes);
    if (!read)
        return refuse(messages::kFooterReadFailed);
    if (!IsVpkFooterValid(footer, fileSize))
        return refuse(messages::kInvalidHeader);
    file = std::move(opened);
    return true;
}

bool VpkArchive::ReadsSameFileAs(VpkArchive& other)
{
    vpk::FileIdentity its;
    return file && other.file && other.file->GetIdentity(its) && IsOpenPack(its);
}

bool VpkArchive::IsOpenPack(const vpk::FileIdentity& identity)
{
    if (!identityAsked) {
        identityAsked = true;
        vpk::FileIdentity own;
        if (file->GetIdentity(own))
            packIdentity = own;
    }
    return packIdentity && identity == *packIdentity;
}

bool VpkArchive::ReadDirectory()
{
    if (!file)
        return false;
    const std::uint32_t count = footer.entryCount;
    if (count == 0)
        return true;
    if (!CheckEntryCount())
        return false;
    entries.reset(static_cast<VpkEntry*>(vpk::AllocateZeroed(count, sizeof(VpkEntry))));
    if (!entries) {
        ShowMessage(messages::kAllocationFailed);
        return false;
    }
    return DecodeDirectory([this](std::uint32_t index) -> VpkEntry& { return entries[index]; },
                           [](std::uint32_t, const VpkEntry&) { return true; });
}

bool VpkArchive::ScanDirectory(const DirectoryVisitor& visit)
{
    if (!file)
        return false;
    if (footer.entryCount == 0)
        return true;
    if (!CheckEntryCount())
        return false;
    // One record at a time in the same place: no table of the whole
    // directory is made, so none is paged in.
    VpkEntry entry{};
    return DecodeDirectory([&entry](std::uint32_t) -> VpkEntry& { return entry; }, visit);
}

bool VpkArchive::CheckEntryCount() const
{
    // Refuse before allocating or reading: a hostile count would otherwise
    // ask for gigabytes, or list millions of empty rows.
    if (footer.entryCount > MaxVpkRecordCount(fileSize, footer.directoryOffset)) {
        ShowMessage(messages::kTooManyEntries);
        return false;
    }
    return true;
}

template <typename Slot, typename Visit>
bool VpkArchive::DecodeDirectory(Slot slot, Visit&& visit)
{
    const std::uint32_t count = footer.entryCount;
    bool readFailed = !file->SetPosition(footer.directoryOffset);
    DirectoryReader reader(*file);
    for (std::uint32_t i = 0; i < count; ++i) {
        VpkEntry& entry = slot(i);
        unsigned char length[4];
        readFailed |= !reader.Read(length, sizeof length);
        const std::uint32_t nameLength = LoadLe32(length);
        if (nameLength > kVpkMaxNameLength) {
            // The name would not fit its field; nothing after it can be
            // trusted either.
            if (readFailed)
                ShowMessage(messages::kDirectoryReadFailed);
            ShowMessage(messages::kNameTooLong);
            return false;
        }
        entry.nameLength = nameLength;
        readFailed |= !reader.Read(reinterpret_cast<unsigned char*>(entry.name), nameLength);
        entry.name[nameLength] = '\0';
        unsigned char tail[8];
        readFailed |= !reader.Read(tail, sizeof tail);
        entry.dataOffset = LoadLe32(tail);
        entry.dataSize = LoadLe32(tail + 4);
        if (!visit(i, static_cast<const VpkEntry&>(entry)))
            break;
    }
    if (readFailed) {
        ShowMessage(messages::kDirectoryReadFailed);
        return false;
    }
    return true;
}

bool VpkArchive::Close()
{
    if (!file)
        return false;
    entries.reset();
    footer = VpkFooter{};
    fileSize = 0;
    path[0] = '\0';
    packIdentity.reset();
    identityAsked = false;
    const bool closed = file->Close();
    file.reset();
    return closed;
}

const VpkEntry* VpkArchive::GetEntry(std::uint32_t index) const
{
    if (!entries || index >= footer.entryCount)
        return nullptr;
    return &entries[index];
}

std::string VpkArchive::GetEntryType(std::uint32_t index) const
{
    // A failed Open keeps the footer it read, pack type included; a closed
    // archive still has no types.
    if (!file)
        return std::string();
    if (IsDirectoryPack())
        return "DIR";
    const VpkEntry* entry = GetEntry(index);
    return entry != nullptr ? VpkEntryTypeOf(entry->name) : std::string();
}

std::uint32_t VpkArchive::GetEntrySize(std::uint32_t index) const
{
    const VpkEntry* entry = GetEntry(index);
    return entry != nullptr ? entry->dataSize : 0;
}

VpkArchive::EntryData VpkArchive::LoadEntryData(const VpkEntry& entry)
{
    // dataSize + 1 is computed wide: on a 32-bit system it would wrap to 0.
    // Entries reaching past the end of the pack were refused, so the buffer
    // is never larger than what the pack holds for the entry.
    const std::uint64_t bufferSize = std::uint64_t{entry.dataSize} + 1;
    EntryData buffer;
    if (bufferSize <= SIZE_MAX)
        buffer.reset(static_cast<unsigned char*>(vpk::AllocateZeroed(static_cast<std::size_t>(bufferSize), 1)));
    if (!buffer) {
        ShowMessage(messages::kAllocationFailed);
        return nullptr;
    }
    // The entry lay inside the pack when it was opened: a read that comes up
    // short means the file shrank since, and the bytes missing are not there
    // to be given.
    std::uint32_t got = 0;
    if (!file->SetPosition(entry.dataOffset) || !file->Read(buffer.get(), entry.dataSize, got) ||
        got != entry.dataSize) {
        ShowMessage(messages::kEntryReadFailed);
        return nullptr;
    }
    return buffer;
}

bool VpkArchive::CheckEntryData(std::uint32_t index)
{
    const VpkEntry* entry = GetEntry(index);
    if (!file || entry == nullptr)
        return false;
    if (std::uint64_t{entry->dataOffset} + entry->dataSize > fileSize) {
        ShowMessage(messages::kEntryPastEnd);
        return false;
    }
    return true;
}

bool VpkArchive::ReadEntry(std::uint32_t index, void* destination)
{
    if (!CheckEntryData(index))
        return false;
    const VpkEntry* entry = GetEntry(index);
    const EntryData data = LoadEntryData(*entry);
    if (!data)
        return false;
    std::memcpy(destination, data.get(), entry->dataSize);
    return true;
}

bool VpkArchive::ReadEntryRange(std::uint32_t index, std::uint32_t offset, std::uint32_t count, void* destination)
{
    if (!CheckEntryData(index))
        return false;
    const VpkEntry* entry = GetEntry(index);
    if (std::uint64_t{offset} + count > entry->dataSize)
        return false;
    if (count == 0)
        return true;
    // Read into a buffer of our own first, so a failure leaves the caller's
    // bytes as they were.
    const EntryData bytes(static_cast<unsigned char*>(vpk::AllocateZeroed(count, 1)));
    if (!bytes) {
        ShowMessage(messages::kAllocationFailed);
        return false;
    }
    std::uint32_t got = 0;
    if (!file->SetPosition(entry->dataOffset + offset) || !file->Read(bytes.get(), count, got) || got != count) {
        ShowMessage(messages::kEntryReadFailed);
        return false;
    }
    std::memcpy(destination, bytes.get(), count);
    return true;
}
