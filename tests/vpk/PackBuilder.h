// Builds ".vpk" packs in memory for tests, including malformed ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test {

inline void AppendLe32(std::string& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
}

inline std::string Le32(std::uint32_t value)
{
    std::string bytes;
    AppendLe32(bytes, value);
    return bytes;
}

inline std::string Footer(std::uint32_t entryCount, std::uint32_t directoryOffset, std::uint8_t packType)
{
    std::string bytes = Le32(entryCount) + Le32(directoryOffset);
    bytes.push_back(static_cast<char>(packType));
    return bytes;
}

// One directory record as stored: length, name bytes, offset, size.
inline std::string Record(const std::string& name, std::uint32_t dataOffset, std::uint32_t dataSize)
{
    return Le32(static_cast<std::uint32_t>(name.size())) + name + Le32(dataOffset) + Le32(dataSize);
}

// Lays a pack out as the game's packs are: entry data first, then the
// directory, then the footer. Fields can be overridden to make hostile packs.
class PackBuilder {
public:
    struct Entry {
        std::string name;
        std::string data;
        std::optional<std::uint32_t> dataOffset;  // default: where the data went
        std::optional<std::uint32_t> dataSize;    // default: data.size()
    };

    PackBuilder& Add(std::string name, std::string data)
    {
        entries.push_back(Entry{std::move(name), std::move(data), std::nullopt, std::nullopt});
        return *this;
    }
    PackBuilder& AddWithLocation(std::string name, std::uint32_t dataOffset, std::uint32_t dataSize)
    {
        entries.push_back(Entry{std::move(name), std::string(), dataOffset, dataSize});
        return *this;
    }
    PackBuilder& Type(std::uint8_t type)
    {
        packType = type;
        return *this;
    }
    PackBuilder& Count(std::uint32_t count)
    {
        entryCount = count;
        return *this;
    }

    // Where the directory begins in what Build gives.
    std::uint32_t DirectoryOffset() const
    {
        std::uint32_t offset = 0;
        for (const Entry& entry : entries)
            offset += static_cast<std::uint32_t>(entry.data.size());
        return offset;
    }

    std::string Build() const
    {
        std::string bytes;
        std::string directory;
        for (const Entry& entry : entries) {
            const auto offset = static_cast<std::uint32_t>(bytes.size());
            bytes += entry.data;
            directory += Record(entry.name, entry.dataOffset.value_or(offset),
                                entry.dataSize.value_or(static_cast<std::uint32_t>(entry.data.size())));
        }
        const auto directoryOffset = static_cast<std::uint32_t>(bytes.size());
        bytes += directory;
        bytes += Footer(entryCount.value_or(static_cast<std::uint32_t>(entries.size())), directoryOffset,
                        packType);
        return bytes;
    }

private:
    std::vector<Entry> entries;
    std::uint8_t packType = 0;
    std::optional<std::uint32_t> entryCount;
};

}  // namespace test
