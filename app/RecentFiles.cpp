#include "app/RecentFiles.h"

#include <algorithm>

namespace parlo {

namespace {

bool SameText(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

// A folder without its trailing separator; the root folder stays "/" so
// that a file there keeps its folder.
std::string Bare(std::string folder) {
    if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace

void RecentFiles::Remove(const std::string& path) {
    std::erase_if(entries_, [&](const std::string& e) { return SameText(e, path); });
}

void RecentFiles::Trim() {
    if (static_cast<int32_t>(entries_.size()) > capacity_) entries_.resize(std::max(capacity_, 0));
}

void RecentFiles::AddFront(const std::string& path) {
    Remove(path);
    entries_.insert(entries_.begin(), path);
    Trim();
}

void RecentFiles::AddBack(const std::string& path) {
    Remove(path);
    entries_.push_back(path);
    Trim();
}

int32_t RecentFiles::Count() {
    Trim();
    return static_cast<int32_t>(entries_.size());
}

std::string RecentFiles::Entry(int32_t n, const std::string& folder) {
    if (n < 0 || n >= Count()) return {};
    const std::string& entry = entries_[n];
    const size_t slash = entry.rfind('/');
    const std::string entryFolder = slash == std::string::npos ? "" : entry.substr(0, slash + 1);
    if (!SameText(Bare(entryFolder), Bare(folder))) return entry;
    return slash == std::string::npos ? entry : entry.substr(slash + 1);
}

}  // namespace parlo
