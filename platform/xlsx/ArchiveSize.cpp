#include "platform/xlsx/ArchiveSize.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace parlo {

namespace {

// Little-endian fields of the zip format, read only inside the archive.
std::optional<uint32_t> Field(std::string_view bytes, size_t at, size_t width) {
    if (at > bytes.size() || bytes.size() - at < width) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

constexpr uint32_t kEndOfDirectory = 0x06054b50;
constexpr uint32_t kDirectoryEntry = 0x02014b50;
constexpr uint32_t kLocalHeader = 0x04034b50;
// A size the format leaves to its 64-bit extension: larger than any limit.
constexpr uint32_t kSizeInExtension = 0xFFFFFFFF;

// The end-of-directory record: within the last 22 bytes and a comment.
std::optional<size_t> EndOfDirectory(std::string_view bytes) {
    if (bytes.size() < 22) return std::nullopt;
    const size_t lowest = bytes.size() > 22 + 0xFFFF ? bytes.size() - 22 - 0xFFFF : 0;
    for (size_t at = bytes.size() - 22 + 1; at-- > lowest;) {
        if (Field(bytes, at, 4) == kEndOfDirectory) return at;
    }
    return std::nullopt;
}

}  // namespace

std::string ArchiveSizeProblem(std::string_view archive, size_t limit) {
    const auto end = EndOfDirectory(archive);
    if (!end) return {};
    const auto entries = Field(archive, *end + 10, 2);
    const auto directory = Field(archive, *end + 16, 4);
    if (!entries || !directory) return {};
    const std::string tooLarge =
        "its parts would unpack to more than " + std::to_string(limit >> 20) + " MB";
    size_t at = *directory;
    uint64_t total = 0;
    for (uint32_t i = 0; i < *entries; ++i) {
        if (Field(archive, at, 4) != kDirectoryEntry) return {};
        const auto size = Field(archive, at + 24, 4);
        const auto name = Field(archive, at + 28, 2);
        const auto extra = Field(archive, at + 30, 2);
        const auto comment = Field(archive, at + 32, 2);
        const auto local = Field(archive, at + 42, 4);
        if (!size || !name || !extra || !comment || !local) return {};
        // A part's own header may state another size: the larger counts.
        uint32_t stated = *size;
        if (Field(archive, *local, 4) == kLocalHeader)
            stated = std::max(stated, Field(archive, *local + 22, 4).value_or(0));
        if (stated == kSizeInExtension) return tooLarge;
        total += stated;
        if (total > limit) return tooLarge;
        at += 46 + size_t{*name} + *extra + *comment;
    }
    return {};
}

}  // namespace parlo
