#include "app/ChannelClipboard.h"

#include "model/ChannelMap.h"

namespace parlo {

void RecordClipboard::Clear() {
    records_.clear();
    kind_ = 0;
    first_ = 0;
}

void RecordClipboard::CopyFrom(EepromImage& image, int kind, int first, int count) {
    Clear();
    kind_ = kind;
    first_ = first;
    for (int i = 0; i < count; ++i) {
        records_.emplace_back(image);
        records_.back().Decode(kind, first + i);
    }
}

void RecordClipboard::PasteTo(EepromImage& image, int kind, int first, int count) {
    if (!Accepts(kind)) return;
    for (int i = 0; i < Count() && i < count; ++i)
        WriteOne(image, first + i, records_[static_cast<size_t>(i)]);
}

void RecordClipboard::WriteOne(EepromImage& image, int index, ChannelRecord& record) {
    ChannelRecord copy = record;
    copy.SetImage(image);
    copy.StoreAt(index);
}

void ChannelClipboard::PasteKeepingAttributes(EepromImage& image, int kind, int first, int count) {
    keepAll_ = true;
    PasteTo(image, kind, first, count);
    keepAll_ = false;
}

void ChannelClipboard::WriteOne(EepromImage& image, int index, ChannelRecord& record) {
    ChannelRecord target(image);
    target.Decode(record.Kind(), index);
    ChannelRecord copy = record;
    const uint8_t kept = keepAll_ ? 0x1F : (kAttrSwitchOff | kAttrBankFlag);
    copy.attributes = static_cast<uint8_t>((copy.attributes & ~kept) | (target.attributes & kept));
    copy.SetImage(image);
    copy.StoreAt(index);
}

}  // namespace parlo
