#pragma once
// One complete copy of the radio's configuration memory: a sized, owned byte
// block with checked single-byte access, block copies and comparison. It
// knows nothing of the memory map. An observer may watch what is read,
// written and moved (a comparison learns which bytes each cell shows).
#include <cstdint>
#include <vector>

namespace parlo {

// Size of this model's image (0x0000..0xA650), and the end of the radio area
// that files and clone operations carry (0x0000..0x7D7F).
inline constexpr int32_t kImageSize = 0xA651;
inline constexpr int32_t kRadioAreaEnd = 0x7D7F;

// Told of every checked access to an image it watches. Raw access through
// Data() is not seen.
class ImageObserver {
public:
    virtual ~ImageObserver() = default;
    virtual void Read(int32_t a, int32_t n) = 0;
    virtual void Wrote(int32_t a, int32_t n) = 0;
    // n bytes were copied from `from` to `to` (the runs may overlap).
    virtual void Moved(int32_t to, int32_t from, int32_t n) = 0;
};

class EepromImage {
public:
    EepromImage() = default;

    // Always leaves an all-zero image of n bytes (empty when n <= 0).
    void SetSize(int32_t n);
    int32_t GetSize() const { return static_cast<int32_t>(data_.size()); }
    bool IsValidAddress(int32_t a) const { return a >= 0 && a < GetSize(); }

    void Fill(uint8_t v);
    // Out-of-range access is a program error and ends the program.
    void SetByte(int32_t a, uint8_t v);
    uint8_t GetByte(int32_t a) const;

    // Copies n bytes; does nothing at all unless the whole run is inside.
    void WriteBlock(int32_t a, const uint8_t* src, int32_t n);
    void ReadBlock(int32_t a, uint8_t* dst, int32_t n) const;

    // Copies n bytes within the image (the runs may overlap); does nothing
    // unless both runs are inside.
    void Move(int32_t to, int32_t from, int32_t n);
    // Sets n bytes from a to v; does nothing unless the whole run is inside.
    void FillRun(int32_t a, int32_t n, uint8_t v);

    EepromImage& Assign(const EepromImage& other);
    bool Equals(const EepromImage& other) const { return data_ == other.data_; }
    bool Differs(const EepromImage& other) const { return !Equals(other); }

    // Raw access for the data-model code, which reads multi-byte fields
    // directly (big-endian). Empty image: nullptr.
    uint8_t* Data() { return data_.empty() ? nullptr : data_.data(); }
    const uint8_t* Data() const { return data_.empty() ? nullptr : data_.data(); }

    // Big-endian 16-bit word at a and a + 1 (checked like GetByte).
    uint16_t GetWord(int32_t a) const;
    void SetWord(int32_t a, uint16_t v);

    // Nibble i of a byte buffer: byte i / 2, even index = high nibble.
    static uint8_t GetNibble(const uint8_t* buffer, int32_t i);
    static void SetNibble(uint8_t* buffer, int32_t i, uint8_t v);

    // Watches the image until Observe(nullptr); a copy of the image is not
    // watched. Costs one test per access while nobody watches.
    void Observe(ImageObserver* observer) { observer_.watching = observer; }

private:
    bool IsValidRun(int32_t a, int32_t n) const;

    // Not copied with the bytes.
    struct ObserverSlot {
        ImageObserver* watching = nullptr;
        ObserverSlot() = default;
        ObserverSlot(const ObserverSlot&) {}
        ObserverSlot& operator=(const ObserverSlot&) { return *this; }
    };

    std::vector<uint8_t> data_;
    ObserverSlot observer_;
};

}  // namespace parlo
