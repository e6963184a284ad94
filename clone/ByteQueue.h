#pragma once
// The growable byte array the clone transport uses for everything that flows
// through it: an array (indexed access, append) that is also a queue whose
// front is removed without copying. The dead space in front of the content is
// reclaimed only once it passes 4096 bytes.
#include <cstdint>
#include <memory>

namespace parlo {

class ByteQueue {
public:
    static constexpr int32_t kCompactThreshold = 4096;

    ByteQueue();
    ByteQueue(const ByteQueue& other);
    ByteQueue& operator=(const ByteQueue& other) { return Assign(other); }
    ~ByteQueue() = default;

    // Grows the block first when the capacity is too small (to n plus a
    // quarter of the current length); shrinking keeps block and spare bytes.
    int32_t SetLength(int32_t n);
    int32_t Length() const { return length_; }
    int32_t Capacity() const { return capacity_; }
    uint8_t* Data() { return head_; }
    const uint8_t* Data() const { return head_; }
    // How far the content has moved into its block by PopFront.
    int32_t HeadOffset() const { return static_cast<int32_t>(head_ - block_.get()); }

    ByteQueue& Assign(const ByteQueue& other);
    ByteQueue& Append(const ByteQueue& other);
    ByteQueue& AssignBytes(const void* bytes, int32_t n);
    ByteQueue& AppendBytes(const void* bytes, int32_t n);
    ByteQueue& AppendFill(uint8_t v, int32_t n);
    ByteQueue& PushBack(uint8_t v);

    // Checked: an index at or past the length is a program error.
    uint8_t& At(int32_t i);
    const uint8_t& At(int32_t i) const;

    // The first byte (0..255), removed; -1 when empty.
    int PopFront();
    // Back to the constructed state.
    ByteQueue& Clear();
    // Moves the content into a block of exactly max(length, 1) bytes.
    ByteQueue& Compact();

private:
    void Reset();

    std::unique_ptr<uint8_t[]> block_;
    uint8_t* head_ = nullptr;
    int32_t length_ = 0;
    int32_t capacity_ = 0;
    uint8_t fill_ = 0;
};

}  // namespace parlo
