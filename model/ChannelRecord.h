#pragma once
// The decoded record: one object that is filled from the image for a record
// kind and index (a memory channel, a DTMF memory, a scan list, ...) and
// written back. Cells decode afresh for every draw and store after every
// edit; nothing is cached.
#include <array>
#include <cstdint>
#include <string>

#include "model/EepromImage.h"
#include "model/RecordLayout.h"

namespace parlo {

// A decoded 2-byte tone field.
struct Tone {
    bool on = false;
    bool dtcs = false;
    bool inverted = false;  // DTCS polarity
    uint8_t ctcss = 0;      // index into the CTCSS list; 0 for DTCS
    uint16_t dtcsCode = 0;  // 0..511; 0 for CTCSS
    bool operator==(const Tone&) const = default;
};

class ChannelRecord {
public:
    // Bound to an image: it reads and writes its records there.
    explicit ChannelRecord(EepromImage& image);

    // Clears the fields, then fills them from record `index` of `kind`. An
    // index outside the kind's tables (64 for channels) leaves it cleared.
    void Decode(int kind, int index);
    void Reload() { Decode(kind_, index_); }
    // Encodes at the stored kind and index, then reloads, so the object shows
    // what was actually written.
    void Store();
    // Stores at another index of the same kind (moving a channel).
    void StoreAt(int index);
    void SetImage(EepromImage& image) { image_ = &image; }
    EepromImage& Image() const { return *image_; }

    int Kind() const { return kind_; }
    int Index() const { return index_; }

    int32_t Value(Field f) const { return values_[static_cast<size_t>(f)]; }
    void SetValue(Field f, int32_t v) { values_[static_cast<size_t>(f)] = v; }
    int32_t& Ref(Field f) { return values_[static_cast<size_t>(f)]; }

    // "A", "B" and "E" for attribute bits 0, 1 and 2 (the last only while
    // bit 3 is clear), in that order.
    std::string AttributeLetters() const;

    bool present = true;          // a channel: its receive frequency is not 0
    uint8_t attributes = 0;       // channel attribute bits 0-4 (ChannelMap.h)
    uint16_t scanLists = 0;       // channel in scan list j: bit 10 - j
    std::array<Tone, 2> tones{};  // receive and transmit tone
    std::array<std::string, 2> texts{};
    std::array<uint8_t, 12> raw{};  // digits and raw bytes

private:
    void Clear();
    void Encode();
    bool Applies(const LayoutRow& row, bool writing) const;
    // Where a row of this record lies; -1 when it does not apply or would
    // reach outside the image.
    int32_t RowAddress(const KindLayout& layout, const LayoutRow& row, bool writing) const;
    void DecodeRow(const LayoutRow& row, int32_t at);
    void EncodeRow(const LayoutRow& row, int32_t at);
    void DecodeChannel();
    void EncodeChannel();

    EepromImage* image_;
    int kind_ = 0;
    int index_ = 0;
    std::array<int32_t, kFieldCount> values_{};
};

}  // namespace parlo
