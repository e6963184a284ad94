#include "model/PackedLayout.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"

namespace parlo {

namespace {

using C = BlockCondition;

constexpr PackedBlock kGroup1[] = {
    {39, 64, 1, 0x7D80, C::Always},                                  // the fixed model block
    {2, 34, -1, 0x7F80, C::Always},                                  // channel main records
    {5, 32, 1, 0x8800, C::Always},  {12, 8, 11, 0x8820, C::Always},  // scan-list bitmaps
    {15, 4, 32, 0x8878, C::Always}, {27, 4, 32, 0x88F8, C::TarnPmr}, {32, 8, 8, 0x8978, C::TarnPmr},
};

constexpr PackedBlock kGroup2[] = {
    {21, 37, 1, 0x0130, C::DPmr446},
    {22, 34, -1, 0x7F80, C::DPmr446},  // channel main records again
    {23, 32, 1, 0x8800, C::DPmr446},
    {3, 12, -1, 0x927D, C::Always},  // channel extension records
    {6, 96, 1, 0x957D, C::Always},
    {7, 32, 1, 0x95DD, C::Always},
    {8, 2, 16, 0x95FD, C::Always},
    {9, 128, 1, 0x961D, C::Always},
    {10, 8, 5, 0x969D, C::Always},  // bank names
    {11, 4, 9, 0x96C5, C::Always},
    {13, 10, 11, 0x96E9, C::Always},  // scan lists
    {14, 21, 8, 0x9757, C::Always},   // DTMF memories
    {16, 10, 32, 0x97FF, C::Always},
    {17, 18, 11, 0x993F, C::Always},
    {18, 8, 1, 0x9A05, C::Always},
    {19, 8, 1, 0x9A0D, C::Always},
    {20, 10, 1, 0x9A15, C::Always},
    {28, 10, 32, 0x9AAD, C::TarnPmr},
    {29, 16, 8, 0x9A1F, C::TarnPmr},
    {26, 14, 1, 0x9A9F, C::TarnPmr},
    {25, 24, 1, 0x9BED, C::TarnPmr},
    {24, 16, 1, 0x9C05, C::TarnPmr},
    {30, 12, 24, 0x9C15, C::TarnPmr},
    {31, 12, 24, 0x9D35, C::TarnPmr},
    {33, 2, 8, 0x9E55, C::TarnPmr},
    {34, 20, 32, 0x9E65, C::DPmr446},
    {35, 20, 32, 0xA0E5, C::DPmr446},
    {36, 16, 1, 0xA365, C::DPmr446},
    {37, 4, 1, 0xA375, C::DPmr446},
    {38, 8, 41, 0xA379, C::DPmr446},
};

constexpr uint8_t kModelBlock[64] = {
    0x01, 0x0D, 0x00, 0x01, 0x53, 0xEA, 0x00, 0x00, 0x00, 0x00, 0x01, 0x07, 0x00, 0x01, 0x4C, 0xBA,
    0x00, 0x00, 0xCA, 0xAC, 0x10, 0x00, 0x01, 0x14, 0x5E, 0x00, 0x27, 0x3E, 0x6A, 0x30, 0x00, 0xFF,
    0xE1, 0xD7, 0x73, 0x70, 0x46, 0xF2, 0x7A, 0x00, 0x00, 0x00, 0x1B, 0x6E, 0x5E, 0x01, 0x10, 0xA8,
    0x40, 0xE6, 0x5E, 0x00, 0x46, 0xFC, 0x5E, 0x01, 0x5A, 0xF8, 0x01, 0x00, 0x69, 0xF0, 0x54, 0x70};
constexpr int32_t kModelBlockArea = 0x0200;  // 0x7D80..0x7F7F, cleared first
constexpr int32_t kAddrModelChecksum = 0x7D95;

constexpr uint16_t kDirectoryId = 1;
constexpr int32_t kDirEntrySize = 10;
constexpr char kEndMarker[] = "KELD Inc";

bool Holds(BlockCondition c, int variant) {
    switch (c) {
        case C::Always: return true;
        case C::TarnPmr: return variant == kVariantTarnPmr;
        case C::DPmr446: return variant == kVariantDPmr446;
    }
    return false;
}

int Capacity(const PackedBlock& b) { return b.count < 0 ? kChannelSlots : b.count; }

void WriteEntry(EepromImage& image, int32_t at, uint16_t id, uint16_t size, uint16_t count,
                uint16_t address) {
    image.SetWord(at, id);
    image.SetWord(at + 2, size);
    image.SetWord(at + 4, count);
    image.SetWord(at + 6, address);
}

void BuildModelBlock(EepromImage& image) {
    image.FillRun(kAddrModelBlock, kModelBlockArea, 0);
    image.WriteBlock(kAddrModelBlock, kModelBlock, sizeof kModelBlock);
    image.SetWord(kAddrModelChecksum, 0);
    // The 64 bytes add up to 0 modulo 256.
    uint8_t sum = 0;
    for (int32_t i = 0; i < 64; ++i) sum = static_cast<uint8_t>(sum + kModelBlock[i]);
    sum = static_cast<uint8_t>(sum - kModelBlock[kAddrModelChecksum - kAddrModelBlock] -
                               kModelBlock[kAddrModelChecksum + 1 - kAddrModelBlock]);
    image.SetByte(kAddrModelChecksum, static_cast<uint8_t>(-sum));
}

// Packs the blocks of one group whose condition holds; false when one would
// pass the group's limit.
bool PlaceGroup(EepromImage& image, std::span<const PackedBlock> blocks, int32_t limit, int variant,
                int32_t& running, int& entries) {
    const int channels = BanksTotal(image);
    for (const PackedBlock& b : blocks) {
        if (b.id == 39 || !Holds(b.condition, variant)) continue;
        const int count = b.count < 0 ? channels : b.count;
        const int32_t length = b.recordSize * count;
        if (running + length > limit) return false;
        WriteEntry(image, kAddrWorkDirectory + kDirEntrySize * entries, b.id, b.recordSize,
                   static_cast<uint16_t>(count), static_cast<uint16_t>(running));
        image.Move(running, b.source, length);
        running += length;
        ++entries;
    }
    return true;
}

// Copies `records` records of `size` bytes, `stride` apart from `from` in the
// radio area, to the table at `to`; records outside the radio area are left.
void CopyRecords(EepromImage& image, int32_t from, int32_t stride, int32_t to, int32_t toStride,
                 int records, int32_t size) {
    for (int r = 0; r < records; ++r) {
        const int32_t src = from + r * stride;
        if (src < 0 || src + size > kRadioAreaLimit) return;
        image.Move(to + r * toStride, src, size);
    }
}

void UnpackWith(EepromImage& image, bool full) {
    if (image.GetSize() < kImageSize || image.GetWord(kAddrDirectoryEntry) != kDirectoryId) return;
    const int32_t entrySize = image.GetWord(kAddrDirectoryEntry + 2);
    const int count = std::min<int>(image.GetWord(kAddrDirectoryEntry + 4), kMaxDirectoryEntries);
    const int32_t dirAddress = image.GetWord(kAddrDirectoryEntry + 6);
    CopyRecords(image, dirAddress, entrySize, kAddrWorkDirectory, kDirEntrySize, count,
                std::min(entrySize, kDirEntrySize));

    const int32_t base = full ? kPackBase : image.GetWord(kAddrPackBase);
    auto unpackBlock = [&](const PackedBlock& b) {
        for (int i = 0; i < count; ++i) {
            const int32_t e = kAddrWorkDirectory + kDirEntrySize * i;
            if (image.GetWord(e) != b.id) continue;
            const int32_t from = image.GetWord(e + 6) - base + kPackBase;
            if (full) {
                CopyRecords(image, from, b.recordSize, b.source, b.recordSize, Capacity(b),
                            b.recordSize);
            } else {
                const int32_t size = image.GetWord(e + 2);
                CopyRecords(image, from, size, b.source, b.recordSize,
                            std::min<int>(image.GetWord(e + 4), Capacity(b)),
                            std::min<int32_t>(size, b.recordSize));
            }
            return;
        }
    };
    for (const PackedBlock& b : kGroup1) unpackBlock(b);
    for (const PackedBlock& b : kGroup2) unpackBlock(b);
}

}  // namespace

std::span<const PackedBlock> PackedGroup1() { return kGroup1; }
std::span<const PackedBlock> PackedGroup2() { return kGroup2; }

bool CarriedInVariant(int32_t address, int variant) {
    if (address >= 0 && address < kRadioAreaLimit) return true;
    auto holds = [&](const PackedBlock& b) {
        return Holds(b.condition, variant) && address >= b.source &&
               address < b.source + b.recordSize * Capacity(b);
    };
    return std::any_of(std::begin(kGroup1), std::end(kGroup1), holds) ||
           std::any_of(std::begin(kGroup2), std::end(kGroup2), holds);
}

bool Pack(EepromImage& image, PackMode mode, int variant) {
    if (image.GetSize() < kImageSize) return false;
    image.SetWord(kAddrPackBase, kPackBase);
    BuildModelBlock(image);
    WriteEntry(image, kAddrWorkDirectory, 39, 64, 1, kPackBase);
    if (mode == PackMode::Rebuild) {
        image.FillRun(kPackBase, 64, 0);
    } else {
        image.Move(kPackBase, kAddrModelBlock, 64);
    }
    int32_t running = kPackBase + 64;
    int entries = 1;
    if (!PlaceGroup(image, kGroup1, kGroup1Limit, variant, running, entries)) return false;
    image.SetWord(kAddrGroup1End, static_cast<uint16_t>(running));
    if (!PlaceGroup(image, kGroup2, kRadioAreaLimit, variant, running, entries)) return false;

    bool ok = true;
    const int32_t dirLength = kDirEntrySize * entries;
    if (running + dirLength <= kRadioAreaLimit) {
        image.Move(running, kAddrWorkDirectory, dirLength);
        WriteEntry(image, kAddrDirectoryEntry, kDirectoryId, kDirEntrySize,
                   static_cast<uint16_t>(entries), static_cast<uint16_t>(running));
        running += dirLength;
    } else {
        ok = false;
    }
    if (running + 8 <= kRadioAreaLimit) {
        image.WriteBlock(running, reinterpret_cast<const uint8_t*>(kEndMarker), 8);
        image.SetWord(kAddrPackedEnd, static_cast<uint16_t>(running + 8));
    } else {
        ok = false;
    }
    return ok;
}

void Unpack(EepromImage& image) { UnpackWith(image, false); }
void UnpackFull(EepromImage& image) { UnpackWith(image, true); }

uint8_t UnpackedByte(const EepromImage& image, int32_t a) {
    EepromImage copy;
    copy.Assign(image);
    Unpack(copy);
    return copy.IsValidAddress(a) ? copy.GetByte(a) : 0;
}

}  // namespace parlo
