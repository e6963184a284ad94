#include "overlay/OverlayText.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/Fatal.h"
#include "platform/ProgramInfo.h"

namespace parlo {

OverlayText::~OverlayText() {
    if (file_ != nullptr) std::fclose(file_);
}

bool OverlayText::SetFile(const std::string& name) {
    if (source_ != Source::None) return false;
    source_ = Source::File;
    fileName_ = name;
    return true;
}

bool OverlayText::SetLines(const std::vector<std::string>& lines) {
    if (source_ != Source::None) return false;
    source_ = Source::Lines;
    lines_ = &lines;
    return true;
}

bool OverlayText::SetBytes(std::string bytes) {
    if (source_ != Source::None) return false;
    source_ = Source::Bytes;
    bytes_ = std::move(bytes);
    return true;
}

bool OverlayText::Open() {
    if (source_ == Source::Bytes || (source_ == Source::Lines && lines_ != nullptr)) {
        open_ = true;
        position_ = 0;
    } else if (source_ == Source::File && !fileName_.empty()) {
        // Binary, so that positions are byte offsets; CR LF is folded to LF
        // when a line is read.
        file_ = std::fopen(fileName_.c_str(), "rb");
        if (file_ != nullptr) {
            open_ = true;
            position_ = 0;
        }
    }
    return open_;
}

bool OverlayText::Seek(int64_t pos) {
    if (source_ != Source::File) {
        position_ = pos;
        return true;
    }
    if (std::fseek(file_, static_cast<long>(pos), SEEK_SET) != 0) return false;
    position_ = pos;
    return true;
}

// Reads one line into `line`, keeping its line end ("\n") when it has one.
bool OverlayText::ReadDirect(std::string* line) {
    if (source_ == Source::Lines) {
        if (position_ < 0 || position_ >= static_cast<int64_t>(lines_->size())) return false;
        const std::string& element = (*lines_)[static_cast<size_t>(position_)];
        if (static_cast<int>(element.size()) <= kMaxLine) {
            *line = element;
            *line += '\n';
        } else {
            line->assign(element, 0, kMaxLine);
        }
        ++position_;
        return true;
    }
    if (source_ == Source::Bytes) return ReadBytes(line);
    if (std::fgets(buffer_.data(), kMaxLine + 1, file_) == nullptr) return false;
    size_t n = std::strlen(buffer_.data());
    if (n >= 2 && buffer_[n - 2] == '\r' && buffer_[n - 1] == '\n') {
        buffer_[n - 2] = '\n';
        --n;
    }
    line->assign(buffer_.data(), n);
    position_ = std::ftell(file_);
    return true;
}

// As a line is read from a file: up to kMaxLine characters or through the
// line end, cut at a NUL, CR LF folded to LF.
bool OverlayText::ReadBytes(std::string* line) {
    const size_t n = BytesLineLength();
    if (n == 0) return false;
    const size_t from = static_cast<size_t>(position_);
    position_ += static_cast<int64_t>(n);
    line->assign(bytes_, from, n);
    if (const size_t nul = line->find('\0'); nul != std::string::npos) line->resize(nul);
    if (line->size() >= 2 && line->compare(line->size() - 2, 2, "\r\n") == 0)
        line->erase(line->size() - 2, 1);
    return true;
}

// The bytes the next line takes up, line end included; 0 at the end.
size_t OverlayText::BytesLineLength() const {
    if (position_ < 0 || position_ >= static_cast<int64_t>(bytes_.size())) return 0;
    const size_t from = static_cast<size_t>(position_);
    const size_t most = std::min(bytes_.size() - from, static_cast<size_t>(kMaxLine));
    const size_t lf = bytes_.find('\n', from);
    return lf != std::string::npos && lf - from < most ? lf - from + 1 : most;
}

bool OverlayText::ReadCached(std::string* line) {
    if (source_ != Source::File) return ReadDirect(line);
    for (auto it = cache_.begin(); it != cache_.end(); ++it) {
        if (it->pos != position_) continue;
        *line = it->text;
        if (!Seek(position_ + it->length)) return false;
        if (it != cache_.begin()) cache_.splice(cache_.begin(), cache_, it);
        return true;
    }
    if (cache_.size() >= kCacheSize) cache_.pop_back();
    const int64_t before = position_;
    if (!ReadDirect(line)) return false;
    cache_.push_front(CachedLine{before, position_ - before, *line});
    return true;
}

void OverlayText::ScanStep(bool* appended) {
    *appended = false;
    if (!moreToScan_) return;
    if (!open_) {
        if (!Open()) moreToScan_ = false;
        return;
    }
    if (!Seek(scanPos_)) {
        moreToScan_ = false;
        return;
    }
    // In memory, a line that cannot be a section's header is passed over
    // without being copied.
    if (source_ == Source::Bytes && position_ < static_cast<int64_t>(bytes_.size()) &&
        bytes_[static_cast<size_t>(position_)] != '#') {
        scanPos_ = position_ += static_cast<int64_t>(BytesLineLength());
        return;
    }
    std::string line;
    if (!ReadDirect(&line)) {
        moreToScan_ = false;
        return;
    }
    if (line.size() >= 2 && line[0] == '#' && line[1] != '\n') {
        std::string key = line.substr(1);
        if (!key.empty() && key.back() == '\n') key.pop_back();
        sections_.push_back(Section{key, position_, 0, position_});
        *appended = true;
        if (key == "End_Of_Ovl") moreToScan_ = false;
    }
    scanPos_ = position_;
}

OverlayText::Section* OverlayText::FindSection(const std::string& key) {
    int place = 0;
    for (auto it = sections_.begin(); it != sections_.end(); ++it, ++place) {
        if (it->key != key) continue;
        // The first eleven places keep their order; a section found further
        // down moves to the head so that it is found quickly next time.
        if (place >= kFixedPlaces) sections_.splice(sections_.begin(), sections_, it);
        return &*it;
    }
    while (moreToScan_) {
        bool appended = false;
        ScanStep(&appended);
        if (appended && sections_.back().key == key) return &sections_.back();
    }
    return nullptr;
}

bool OverlayText::Lookup(const std::string& key, int index, std::string* text) {
    Section* s = FindSection(key);
    if (s == nullptr || !open_ || index < 0) return false;
    int counter = 0;
    int64_t start = s->start;
    if (s->resumeIndex <= index) {
        counter = s->resumeIndex;
        start = s->resumePos;
    }
    if (!Seek(start)) return false;
    std::string line;
    for (; counter < index; ++counter) {
        if (!ReadCached(&line)) return false;
    }
    if (!ReadCached(&line)) return false;
    const size_t end = line.find('\n');
    if (end != std::string::npos) line.resize(end);
    s->resumeIndex = index + 1;
    s->resumePos = position_;
    *text = std::move(line);
    return true;
}

std::string OverlayText::GetText(const std::string& key, int index) {
    std::string text;
    if (!Lookup(key, index, &text)) Fail(key);
    return text;
}

std::optional<std::string> OverlayText::TryGetText(const std::string& key, int index) {
    std::string text;
    if (!Lookup(key, index, &text)) return std::nullopt;
    return text;
}

void OverlayText::Fail(const std::string& key) {
    fatal(Format("GTEX Error !\nThe index '%s' was not found.", key.c_str()));
}

std::vector<std::string> OverlayText::SectionKeys() const {
    std::vector<std::string> keys;
    for (const Section& s : sections_) keys.push_back(s.key);
    return keys;
}

namespace {

OverlayText*& InstalledMain() {
    static OverlayText* p = nullptr;
    return p;
}

HelpOverlayText*& InstalledHelp() {
    static HelpOverlayText* p = nullptr;
    return p;
}

}  // namespace

OverlayText& MainOverlay() {
    if (InstalledMain() != nullptr) return *InstalledMain();
    static OverlayText* overlay = [] {
        auto* g = new OverlayText;
        g->SetFile(DataDir() + "MV7105C.OVL");
        return g;
    }();
    return *overlay;
}

HelpOverlayText& HelpOverlay() {
    if (InstalledHelp() != nullptr) return *InstalledHelp();
    static HelpOverlayText* overlay = [] {
        auto* g = new HelpOverlayText;
        g->SetFile(DataDir() + "MV7105CH.OVL");
        return g;
    }();
    return *overlay;
}

std::map<std::string, std::vector<std::string>>& ListCache() {
    static std::map<std::string, std::vector<std::string>> cache;
    return cache;
}

uint64_t& Generation() {
    static uint64_t generation = 0;
    return generation;
}

OverlayText* SetMainOverlay(OverlayText* overlay) {
    OverlayText* old = InstalledMain();
    InstalledMain() = overlay;
    ListCache().clear();
    ++Generation();
    return old;
}

uint64_t MainOverlayGeneration() { return Generation(); }

HelpOverlayText* SetHelpOverlay(HelpOverlayText* overlay) {
    HelpOverlayText* old = InstalledHelp();
    InstalledHelp() = overlay;
    return old;
}

std::string OvlText(const std::string& key, int index) { return MainOverlay().GetText(key, index); }

std::vector<std::string> OvlLines(const std::string& key) {
    std::vector<std::string> lines;
    for (int i = 0;; ++i) {
        std::string line = MainOverlay().GetText(key, i);
        if (!line.empty() && line[0] == '#') break;
        lines.push_back(std::move(line));
    }
    return lines;
}

const std::vector<std::string>& OvlListLines(const std::string& key) {
    auto it = ListCache().find(key);
    if (it == ListCache().end()) it = ListCache().emplace(key, OvlLines(key)).first;
    return it->second;
}

std::string OvlMessage(const std::string& key) {
    std::string text;
    bool first = true;
    for (const std::string& line : OvlLines(key)) {
        if (!first) text += '\n';
        text += line;
        first = false;
    }
    return text;
}

}  // namespace parlo
