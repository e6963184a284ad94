#include "model/EepromImage.h"

#include <algorithm>
#include <cstring>

#include "platform/Fatal.h"

namespace parlo {

void EepromImage::SetSize(int32_t n) {
    if (n <= 0) {
        data_.clear();
        data_.shrink_to_fit();
        return;
    }
    data_.assign(static_cast<size_t>(n), 0x00);
    if (observer_.watching != nullptr) observer_.watching->Wrote(0, n);
}

void EepromImage::Fill(uint8_t v) {
    std::fill(data_.begin(), data_.end(), v);
    if (observer_.watching != nullptr) observer_.watching->Wrote(0, GetSize());
}

void EepromImage::SetByte(int32_t a, uint8_t v) {
    if (!IsValidAddress(a)) fatal("Out of EEPROM image address (SetByte).");
    data_[static_cast<size_t>(a)] = v;
    if (observer_.watching != nullptr) observer_.watching->Wrote(a, 1);
}

uint8_t EepromImage::GetByte(int32_t a) const {
    if (!IsValidAddress(a)) fatal("Out of EEPROM image address (GetByte).");
    if (observer_.watching != nullptr) observer_.watching->Read(a, 1);
    return data_[static_cast<size_t>(a)];
}

uint16_t EepromImage::GetWord(int32_t a) const {
    return static_cast<uint16_t>(GetByte(a) << 8 | GetByte(a + 1));
}

void EepromImage::SetWord(int32_t a, uint16_t v) {
    SetByte(a, static_cast<uint8_t>(v >> 8));
    SetByte(a + 1, static_cast<uint8_t>(v));
}

bool EepromImage::IsValidRun(int32_t a, int32_t n) const {
    return a >= 0 && a < GetSize() && n > 0 && static_cast<int64_t>(a) + n <= GetSize();
}

void EepromImage::WriteBlock(int32_t a, const uint8_t* src, int32_t n) {
    if (!IsValidRun(a, n) || src == nullptr) return;
    std::memmove(data_.data() + a, src, static_cast<size_t>(n));
    if (observer_.watching != nullptr) observer_.watching->Wrote(a, n);
}

void EepromImage::ReadBlock(int32_t a, uint8_t* dst, int32_t n) const {
    if (!IsValidRun(a, n) || dst == nullptr) return;
    if (observer_.watching != nullptr) observer_.watching->Read(a, n);
    std::memmove(dst, data_.data() + a, static_cast<size_t>(n));
}

void EepromImage::Move(int32_t to, int32_t from, int32_t n) {
    if (!IsValidRun(to, n) || !IsValidRun(from, n)) return;
    std::memmove(data_.data() + to, data_.data() + from, static_cast<size_t>(n));
    if (observer_.watching != nullptr) observer_.watching->Moved(to, from, n);
}

void EepromImage::FillRun(int32_t a, int32_t n, uint8_t v) {
    if (!IsValidRun(a, n)) return;
    std::memset(data_.data() + a, v, static_cast<size_t>(n));
    if (observer_.watching != nullptr) observer_.watching->Wrote(a, n);
}

EepromImage& EepromImage::Assign(const EepromImage& other) {
    if (this != &other) data_ = other.data_;
    if (observer_.watching != nullptr) observer_.watching->Wrote(0, GetSize());
    return *this;
}

uint8_t EepromImage::GetNibble(const uint8_t* buffer, int32_t i) {
    const uint8_t b = buffer[i / 2];
    return (i % 2 == 0) ? static_cast<uint8_t>(b >> 4) : static_cast<uint8_t>(b & 0x0F);
}

void EepromImage::SetNibble(uint8_t* buffer, int32_t i, uint8_t v) {
    uint8_t& b = buffer[i / 2];
    v &= 0x0F;
    b = (i % 2 == 0) ? static_cast<uint8_t>((b & 0x0F) | v << 4)
                     : static_cast<uint8_t>((b & 0xF0) | v);
}

}  // namespace parlo
