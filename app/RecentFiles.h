#pragma once
// The recent-file list of the File menu: most recent first, at most
// `capacity` entries, no two equal without regard to letter case.
#include <cstdint>
#include <string>
#include <vector>

namespace parlo {

class RecentFiles {
public:
    explicit RecentFiles(int32_t capacity = 10) : capacity_(capacity) {}

    // Moves path to the front (AddBack: to the end), dropping any entry
    // equal to it in any letter case, then trims to the capacity.
    void AddFront(const std::string& path);
    void AddBack(const std::string& path);
    void Clear() { entries_.clear(); }
    int32_t Count();
    int32_t Capacity() const { return capacity_; }
    // Entry n, or empty when there is none. An entry in `folder` is given as
    // its file name alone; an empty folder gives full paths.
    std::string Entry(int32_t n, const std::string& folder);

private:
    void Remove(const std::string& path);
    void Trim();

    int32_t capacity_;
    std::vector<std::string> entries_;
};

}  // namespace parlo
