#include "clone/cmcBuff.h"

#include <algorithm>
#include <cstring>

#include "platform/Fatal.h"

namespace parlo {

cmcBuff::cmcBuff() {
    Reset();
}

cmcBuff::cmcBuff(const cmcBuff& other) : cmcBuff() {
    Assign(other);
}

void cmcBuff::Reset() {
    block_ = std::make_unique<uint8_t[]>(1);
    block_[0] = 0;
    head_ = block_.get();
    length_ = 0;
    capacity_ = 1;
    fill_ = 0;
}

int32_t cmcBuff::SetLength(int32_t n) {
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

cmcBuff& cmcBuff::Assign(const cmcBuff& other) {
    if (&other == this) return *this;
    return AssignBytes(other.head_, other.length_);
}

cmcBuff& cmcBuff::Append(const cmcBuff& other) {
    if (&other == this) {
        const cmcBuff copy(other);
        return AppendBytes(copy.head_, copy.length_);
    }
    return AppendBytes(other.head_, other.length_);
}

cmcBuff& cmcBuff::AssignBytes(const void* bytes, int32_t n) {
    SetLength(n);
    if (n > 0) std::memmove(head_, bytes, static_cast<size_t>(n));
    return *this;
}

cmcBuff& cmcBuff::AppendBytes(const void* bytes, int32_t n) {
    if (n <= 0) return *this;
    const int32_t old = length_;
    SetLength(old + n);
    std::memcpy(head_ + old, bytes, static_cast<size_t>(n));
    return *this;
}

cmcBuff& cmcBuff::AppendFill(uint8_t v, int32_t n) {
    if (n <= 0) return *this;
    const int32_t old = length_;
    SetLength(old + n);
    std::memset(head_ + old, v, static_cast<size_t>(n));
    return *this;
}

cmcBuff& cmcBuff::PushBack(uint8_t v) {
    return AppendFill(v, 1);
}

uint8_t& cmcBuff::At(int32_t i) {
    if (i < 0 || i >= length_) fatal("Out of cmcBuff element !");
    return head_[i];
}

const uint8_t& cmcBuff::At(int32_t i) const {
    return const_cast<cmcBuff*>(this)->At(i);
}

int cmcBuff::PopFront() {
    if (length_ <= 0) return -1;
    const uint8_t v = *head_;
    ++head_;
    --capacity_;
    --length_;
    if (HeadOffset() > kCompactThreshold) Compact();
    return v;
}

cmcBuff& cmcBuff::Clear() {
    Reset();
    return *this;
}

cmcBuff& cmcBuff::Compact() {
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
