#pragma once
// String-to-integer name table with a fixed number of buckets, used for the
// category, cell and colour names. Keys are compared exactly.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parlo {

class NameTable {
public:
    // 0 buckets asks for the default of 1031.
    explicit NameTable(int buckets = 0);

    // A key that is already present is a program error and ends the program.
    void Insert(const std::string& key, int32_t value);
    std::optional<int32_t> Find(const std::string& key) const;
    int Buckets() const { return static_cast<int>(buckets_.size()); }
    size_t Size() const { return size_; }

    // The bucket a key falls into.
    uint32_t BucketOf(const std::string& key) const;

    static constexpr int kDefaultBuckets = 1031;

private:
    struct Entry {
        std::string key;
        int32_t value;
    };
    // Each chain holds its newest entry first.
    std::vector<std::vector<Entry>> buckets_;
    size_t size_ = 0;
};

}  // namespace parlo
