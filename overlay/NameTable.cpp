#include "overlay/NameTable.h"

#include "platform/Fatal.h"

namespace parlo {

NameTable::NameTable(int buckets)
    : buckets_(static_cast<size_t>(buckets > 0 ? buckets : kDefaultBuckets)) {}

uint32_t NameTable::BucketOf(const std::string& key) const {
    const uint32_t n = static_cast<uint32_t>(buckets_.size());
    uint32_t h = 0;
    uint32_t b = n / 2;
    for (size_t i = 0; i < key.size(); ++i) {
        const int32_t c = static_cast<signed char>(key[i]);
        h = 2 * h + b + static_cast<uint32_t>(c);
        // The terminator after the last character counts as even.
        const unsigned char next = i + 1 < key.size() ? static_cast<unsigned char>(key[i + 1]) : 0;
        if (next & 1) b = b > 1 ? b / 2 : n / 2;
    }
    return h % n;
}

void NameTable::Insert(const std::string& key, int32_t value) {
    std::vector<Entry>& chain = buckets_[BucketOf(key)];
    for (const Entry& e : chain) {
        if (e.key == key) fatal("Overlapped Hash table.");
    }
    chain.insert(chain.begin(), Entry{key, value});
    ++size_;
}

std::optional<int32_t> NameTable::Find(const std::string& key) const {
    for (const Entry& e : buckets_[BucketOf(key)]) {
        if (e.key == key) return e.value;
    }
    return std::nullopt;
}

}  // namespace parlo
