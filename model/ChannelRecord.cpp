#include "model/ChannelRecord.h"

#include <algorithm>

#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"

namespace parlo {

namespace {

uint32_t ReadBig(const EepromImage& image, int32_t at, int width) {
    uint32_t v = 0;
    for (int i = 0; i < width; ++i) v = v << 8 | image.GetByte(at + i);
    return v;
}

void WriteBig(EepromImage& image, int32_t at, int width, uint32_t v) {
    for (int i = width - 1; i >= 0; --i, v >>= 8) image.SetByte(at + i, static_cast<uint8_t>(v));
}

Tone DecodeTone(uint8_t p0, uint8_t p1) {
    Tone t;
    t.on = (p0 & 0x80) == 0;
    t.dtcs = (p0 & 0x40) != 0;
    if (t.dtcs) {
        t.inverted = (p0 & 0x20) != 0;
        t.dtcsCode = static_cast<uint16_t>((p0 & 0x01) << 8 | p1);
    } else {
        t.ctcss = p1;
    }
    return t;
}

// Bits 4-1 of the first byte belong to nobody and stay as they were.
void EncodeTone(const Tone& t, uint8_t& p0, uint8_t& p1) {
    uint8_t b = p0 & 0x1E;
    if (!t.on) b |= 0x80;
    if (t.dtcs) {
        b |= 0x40;
        if (t.inverted) b |= 0x20;
        b |= (t.dtcsCode >> 8) & 0x01;
        p1 = static_cast<uint8_t>(t.dtcsCode);
    } else {
        p1 = t.ctcss;
    }
    p0 = b;
}

int32_t DecodeDecimal4(uint32_t raw) {
    int32_t v = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const uint32_t digit = (raw >> shift) & 0x0F;
        if (digit > 9) return 0xFFFF;
        v = v * 10 + static_cast<int32_t>(digit);
    }
    return v;
}

uint32_t EncodeDecimal4(int32_t v) {
    if (v < 0 || v > 9999) return 0xFFFF;
    return static_cast<uint32_t>((v / 1000) << 12 | (v / 100 % 10) << 8 | (v / 10 % 10) << 4 |
                                 v % 10);
}

}  // namespace

ChannelRecord::ChannelRecord(EepromImage& image) : image_(&image) {
    Clear();
    present = true;
}

void ChannelRecord::Clear() {
    values_.fill(0);
    present = false;
    attributes = 0;
    scanLists = 0;
    tones = {};
    texts = {};
    raw.fill(0);
}

bool ChannelRecord::Applies(const LayoutRow& row, bool writing) const {
    switch (row.when) {
        case When::Always: return true;
        case When::PmrFamily: return IsPmrFamily(kind_);
        case When::LmrFamily: return IsChannelKind(kind_) && !IsPmrFamily(kind_);
        case When::WriteKind3: return !writing || kind_ == 3;
        case When::FromIndex1: return index_ >= 1;
        case When::ReadOnly: return !writing;
    }
    return false;
}

int32_t ChannelRecord::RowAddress(const KindLayout& layout, const LayoutRow& row,
                                  bool writing) const {
    const RecordTable& table = layout.tables[row.part];
    const int32_t at = table.base + table.stride * index_ + row.offset;
    if (!Applies(row, writing) || !image_->IsValidAddress(at) ||
        !image_->IsValidAddress(at + row.width - 1))
        return -1;
    return at;
}

void ChannelRecord::Decode(int kind, int index) {
    Clear();
    kind_ = kind;
    index_ = index;
    const KindLayout* layout = LayoutOf(kind);
    if (layout == nullptr || index < 0 || index >= layout->tables[0].count) return;
    present = true;
    for (const LayoutRow& row : layout->rows) {
        if (const int32_t at = RowAddress(*layout, row, false); at >= 0) DecodeRow(row, at);
    }
    if (IsChannelKind(kind)) DecodeChannel();
}

void ChannelRecord::DecodeRow(const LayoutRow& row, int32_t at) {
    int32_t& value = values_[static_cast<size_t>(row.field)];
    switch (row.form) {
        case Form::Bits: {
            const uint32_t bits = (ReadBig(*image_, at, row.width) & row.mask) >> row.pos;
            value = static_cast<int32_t>(static_cast<uint32_t>(value) | bits << row.vshift);
            break;
        }
        case Form::Inverted: value = (image_->GetByte(at) & row.mask) ? 0 : 1; break;
        case Form::NonZero: value = image_->GetByte(at) != 0 ? 1 : 0; break;
        case Form::Frequency:
            value = static_cast<int32_t>(ReadBig(*image_, at, 4) & row.mask);
            break;
        case Form::Decimal4: value = DecodeDecimal4(ReadBig(*image_, at, 2)); break;
        case Form::Zero: break;
        case Form::Tone:
            tones[row.slot] = DecodeTone(image_->GetByte(at), image_->GetByte(at + 1));
            break;
        case Form::Text:
            texts[row.slot].clear();
            for (int i = 0; i < row.width; ++i)
                texts[row.slot].push_back(static_cast<char>(image_->GetByte(at + i)));
            break;
        case Form::Raw:
            for (int i = 0; i < row.width; ++i) raw[row.slot + i] = image_->GetByte(at + i);
            break;
    }
}

void ChannelRecord::Store() {
    Encode();
    Reload();
}

void ChannelRecord::StoreAt(int index) {
    index_ = index;
    Store();
}

void ChannelRecord::Encode() {
    const KindLayout* layout = LayoutOf(kind_);
    if (layout == nullptr || index_ < 0 || index_ >= layout->tables[0].count) return;
    if (IsChannelKind(kind_)) {
        EncodeChannel();
        if (!present) {
            SetValue(Field::RxFreq, 0);
            SetValue(Field::TxFreq, 0);
        }
    }
    for (const LayoutRow& row : layout->rows) {
        if (const int32_t at = RowAddress(*layout, row, true); at >= 0) EncodeRow(row, at);
    }
    if (IsChannelKind(kind_)) {
        // Byte 28 bit 5 tells the radio the name is all blanks.
        const int32_t flags = kAddrChannelMain + kChannelMainSize * index_ + 28;
        const bool blank =
            std::all_of(texts[0].begin(), texts[0].end(), [](char c) { return c == ' '; });
        const uint8_t b = image_->GetByte(flags);
        image_->SetByte(flags, blank ? (b | 0x20) : (b & ~0x20));
        for (int j = 0; j < kScanListCount; ++j) {
            const int32_t a = kAddrScanBitmaps + 8 * j + index_ / 8;
            const uint8_t bit = static_cast<uint8_t>(0x80 >> (index_ % 8));
            const bool member = (scanLists >> (10 - j)) & 1;
            image_->SetByte(a, member ? (image_->GetByte(a) | bit) : (image_->GetByte(a) & ~bit));
        }
    }
}

void ChannelRecord::EncodeRow(const LayoutRow& row, int32_t at) {
    const int32_t value = values_[static_cast<size_t>(row.field)];
    uint32_t stored = ReadBig(*image_, at, std::min<int>(row.width, 4));
    switch (row.form) {
        case Form::Bits:
            stored = (stored & ~row.mask) |
                     ((static_cast<uint32_t>(value) >> row.vshift << row.pos) & row.mask);
            break;
        case Form::Inverted: stored = value ? (stored & ~row.mask) : (stored | row.mask); break;
        case Form::NonZero:
            if (value == 0)
                stored = 0;
            else if (stored == 0)
                stored = 1;
            break;
        case Form::Frequency:
            stored = (stored & ~row.mask) |
                     static_cast<uint32_t>(std::clamp(value, 0, kHighestFrequency));
            break;
        case Form::Decimal4:
            // A number that was not decimal reads as 0xFFFF; storing the
            // record again keeps its digits as they were.
            if (!(value == 0xFFFF && DecodeDecimal4(stored) == 0xFFFF))
                stored = EncodeDecimal4(value);
            break;
        case Form::Zero: stored &= ~row.mask; break;
        case Form::Tone: {
            uint8_t p0 = image_->GetByte(at), p1 = image_->GetByte(at + 1);
            EncodeTone(tones[row.slot], p0, p1);
            image_->SetByte(at, p0);
            image_->SetByte(at + 1, p1);
            return;
        }
        case Form::Text:
            for (int i = 0; i < row.width; ++i) {
                const size_t k = static_cast<size_t>(i);
                image_->SetByte(at + i, k < texts[row.slot].size()
                                            ? static_cast<uint8_t>(texts[row.slot][k])
                                            : static_cast<uint8_t>(' '));
            }
            return;
        case Form::Raw:
            for (int i = 0; i < row.width; ++i) image_->SetByte(at + i, raw[row.slot + i]);
            return;
    }
    WriteBig(*image_, at, row.width, stored);
}

void ChannelRecord::DecodeChannel() {
    const EepromImage& img = *image_;
    const int n = index_;
    present = Value(Field::RxFreq) != 0;
    const bool switchOff = (img.GetByte(kAddrRefSwitch) & kRefSwitchBit) == 0;
    if (img.GetByte(kAddrRefA) == n) attributes |= kAttrRefA;
    if (img.GetByte(kAddrRefB) == n) attributes |= kAttrRefB;
    if (img.GetByte(kAddrRefE) == n && !switchOff) attributes |= kAttrRefE;
    if (switchOff) attributes |= kAttrSwitchOff;
    if (BankFlag(img, BankOfSlot(img, n))) attributes |= kAttrBankFlag;
    for (int j = 0; j < kScanListCount; ++j) {
        const uint8_t b = img.GetByte(kAddrScanBitmaps + 8 * j + n / 8);
        scanLists = static_cast<uint16_t>(scanLists << 1 | ((b >> (7 - n % 8)) & 1));
    }
    if (!IsPmrFamily(kind_)) {
        // The LMR family has no 5-tone station fields; the 2-tone code takes
        // their byte.
        SetValue(Field::Format, 0);
        SetValue(Field::StnCode, 1);
        SetValue(Field::StnLong, 1);
    }
}

void ChannelRecord::EncodeChannel() {
    EepromImage& img = *image_;
    const auto n = static_cast<uint8_t>(index_);
    // A cleared reference bit leaves the reference where it is.
    if (attributes & kAttrRefA) img.SetByte(kAddrRefA, n);
    if (attributes & kAttrRefB) img.SetByte(kAddrRefB, n);
    if (attributes & kAttrRefE) img.SetByte(kAddrRefE, n);
    const uint8_t sw = img.GetByte(kAddrRefSwitch);
    img.SetByte(kAddrRefSwitch,
                (attributes & kAttrSwitchOff) ? (sw & ~kRefSwitchBit) : (sw | kRefSwitchBit));
    SetBankFlag(img, BankOfSlot(img, index_), (attributes & kAttrBankFlag) != 0);
}

std::string ChannelRecord::AttributeLetters() const {
    std::string s;
    if (attributes & kAttrRefA) s += 'A';
    if (attributes & kAttrRefB) s += 'B';
    if ((attributes & kAttrRefE) && !(attributes & kAttrSwitchOff)) s += 'E';
    return s;
}

}  // namespace parlo
