#pragma once
// The channel clipboard: whole decoded records of one kind, copied from the
// image and pasted back, keeping the target rows' attribute bits.
#include <vector>

#include "model/ChannelRecord.h"
#include "model/EepromImage.h"

namespace parlo {

class RecordClipboard {
public:
    virtual ~RecordClipboard() = default;

    void Clear();
    // Decodes rows first .. first + count - 1 of `kind`.
    void CopyFrom(EepromImage& image, int kind, int first, int count);
    bool Accepts(int kind) const { return kind_ != 0 && kind_ == kind; }
    // Writes record i to row first + i while i is below both counts.
    void PasteTo(EepromImage& image, int kind, int first, int count);

    int Kind() const { return kind_; }
    int First() const { return first_; }
    int Count() const { return static_cast<int>(records_.size()); }

protected:
    virtual void WriteOne(EepromImage& image, int index, ChannelRecord& record);

private:
    std::vector<ChannelRecord> records_;
    int kind_ = 0;
    int first_ = 0;
};

class ChannelClipboard : public RecordClipboard {
public:
    // A paste in which every target row keeps all five attribute bits.
    void PasteKeepingAttributes(EepromImage& image, int kind, int first, int count);

protected:
    // The record takes the target row's switch and bank-flag bits (all its
    // attribute bits while keeping them all).
    void WriteOne(EepromImage& image, int index, ChannelRecord& record) override;

private:
    bool keepAll_ = false;
};

}  // namespace parlo
