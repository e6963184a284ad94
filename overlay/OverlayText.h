#pragma once
// The overlay text database: answers "line i of the section with key K"
// from an overlay file or an array of lines. The source is scanned lazily,
// forward only, as far as the sections asked for so far.
#include <cstdint>
#include <cstdio>
#include <list>
#include <optional>
#include <string>
#include <vector>

namespace parlo {

class OverlayText {
public:
    OverlayText() = default;
    virtual ~OverlayText();
    OverlayText(const OverlayText&) = delete;
    OverlayText& operator=(const OverlayText&) = delete;

    // Choose the source once; later calls are refused. Nothing is opened yet.
    bool SetFile(const std::string& name);
    // The array is not copied and must outlive the database.
    bool SetLines(const std::vector<std::string>& lines);
    // The bytes of an overlay file, kept here and read as the file would be.
    bool SetBytes(std::string bytes);

    // Line `index` of section `key`, without its line end. A missing section
    // or unreadable source is a program error and ends the program.
    std::string GetText(const std::string& key, int index = 0);
    // The same, but a missing section or line gives nothing instead.
    std::optional<std::string> TryGetText(const std::string& key, int index = 0);

    // Section keys found so far, in list order (for diagnostics and tests).
    std::vector<std::string> SectionKeys() const;
    size_t CachedLines() const { return cache_.size(); }

    static constexpr int kMaxLine = 8191;
    static constexpr size_t kCacheSize = 64;
    static constexpr int kFixedPlaces = 11;

private:
    enum class Source { None, File, Bytes, Lines };
    struct Section {
        std::string key;
        int64_t start;
        int resumeIndex;
        int64_t resumePos;
    };
    struct CachedLine {
        int64_t pos;
        int64_t length;
        std::string text;
    };

    bool Open();
    void ScanStep(bool* appended);
    Section* FindSection(const std::string& key);
    bool Seek(int64_t pos);
    bool ReadDirect(std::string* line);
    bool ReadBytes(std::string* line);
    size_t BytesLineLength() const;
    bool ReadCached(std::string* line);
    bool Lookup(const std::string& key, int index, std::string* text);
    [[noreturn]] void Fail(const std::string& key);

    Source source_ = Source::None;
    std::string fileName_;
    const std::vector<std::string>* lines_ = nullptr;
    std::string bytes_;
    std::FILE* file_ = nullptr;
    bool open_ = false;
    int64_t position_ = 0;

    std::list<Section> sections_;
    int64_t scanPos_ = 0;
    bool moreToScan_ = true;

    std::list<CachedLine> cache_;  // most recently used first
    std::vector<char> buffer_ = std::vector<char>(kMaxLine + 2);
};

// The help overlay: the same format and lookup, file source only.
class HelpOverlayText : private OverlayText {
public:
    using OverlayText::GetText;
    using OverlayText::SetFile;
    using OverlayText::TryGetText;
};

// The process-wide overlays. By default they read MV7105C.OVL and
// MV7105CH.OVL from the data folder; tests and tools may install others
// (not owned). Installing nullptr restores the default.
OverlayText& MainOverlay();
HelpOverlayText& HelpOverlay();
OverlayText* SetMainOverlay(OverlayText* overlay);
HelpOverlayText* SetHelpOverlay(HelpOverlayText* overlay);
// Changes whenever another main overlay is installed: what is derived from
// the overlay and kept is derived again.
uint64_t MainOverlayGeneration();

// Line `index` of `key` in the main overlay.
std::string OvlText(const std::string& key, int index = 0);
// The lines of `key` up to the first line beginning with '#'.
std::vector<std::string> OvlLines(const std::string& key);
// The same lines, read once per main overlay and kept: for lists that are
// read again on every draw. The reference stays valid until the main
// overlay is replaced.
const std::vector<std::string>& OvlListLines(const std::string& key);
// Those lines joined with line breaks: the form multi-line messages take.
std::string OvlMessage(const std::string& key);

}  // namespace parlo
