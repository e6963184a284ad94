#include "clone/ByteQueue.h"

#include <algorithm>
#include <cstring>

#include "platform/Fatal.h"

namespace parlo {

ByteQueue::ByteQueue() { Reset(); }

ByteQueue::ByteQueue(const ByteQueue& other) : ByteQueue() { Assign(other); }

void ByteQueue::Reset() {
    block_ = std::make_unique<uint8_t[]>(1);
    block_[0] = 0;
    head_ = block_.get();
    length_ = 0;
    capacity_ = 1;
    fill_ = 0;
}

int32_t ByteQueue::SetLength(int32_t n) {
    n = std::max(n, 0);
    if (n > capacity_) {
        const int32_t size = std::max(n + length_ / 4, 1);
        auto block = std::make_unique<uint8_t[]>(static_cast<size_t>(size));
        if (length_ > 0) std::memcpy(block.get(), head_, static_cast<size_t>(length_));
        std::memset(block.get() + length_, fill_, static_cast<size_t>(size - length_));
        block_ = std::move(block);
        head_ = block_.get();
        capacity_ = size;
    }
    length_ = n;
    return n;
}

ByteQueue& ByteQueue::Assign(const ByteQueue& other) {
    if (&other == this) return *this;
    return AssignBytes(other.head_, other.length_);
}

ByteQueue& ByteQueue::Append(const ByteQueue& other) {
    if (&other == this) {
        const ByteQueue copy(other);
        return AppendBytes(copy.head_, copy.length_);
    }
    return AppendBytes(other.head_, other.length_);
}

ByteQueue& ByteQueue::AssignBytes(const void* bytes, int32_t n) {
    SetLength(n);
    if (n > 0) std::memmove(head_, bytes, static_cast<size_t>(n));
    return *this;
}

ByteQueue& ByteQueue::AppendBytes(const void* bytes, int32_t n) {
    if (n <= 0) return *this;
    const int32_t old = length_;
    SetLength(old + n);
    std::memcpy(head_ + old, bytes, static_cast<size_t>(n));
    return *this;
}

ByteQueue& ByteQueue::AppendFill(uint8_t v, int32_t n) {
    if (n <= 0) return *this;
    const int32_t old = length_;
    SetLength(old + n);
    std::memset(head_ + old, v, static_cast<size_t>(n));
    return *this;
}

ByteQueue& ByteQueue::PushBack(uint8_t v) { return AppendFill(v, 1); }

uint8_t& ByteQueue::At(int32_t i) {
    if (i < 0 || i >= length_) fatal("Out of ByteQueue element !");
    return head_[i];
}

const uint8_t& ByteQueue::At(int32_t i) const { return const_cast<ByteQueue*>(this)->At(i); }

int ByteQueue::PopFront() {
    if (length_ <= 0) return -1;
    const uint8_t v = *head_;
    ++head_;
    --capacity_;
    --length_;
    if (HeadOffset() > kCompactThreshold) Compact();
    return v;
}

ByteQueue& ByteQueue::Clear() {
    Reset();
    return *this;
}

ByteQueue& ByteQueue::Compact() {
    const int32_t size = std::max(length_, 1);
    auto block = std::make_unique<uint8_t[]>(static_cast<size_t>(size));
    block[0] = fill_;
    if (length_ > 0) std::memcpy(block.get(), head_, static_cast<size_t>(length_));
    block_ = std::move(block);
    head_ = block_.get();
    capacity_ = size;
    return *this;
}

}  // namespace parlo
