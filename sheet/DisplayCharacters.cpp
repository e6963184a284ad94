#include "sheet/DisplayCharacters.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

// ---- The character table ----------------------------------------------------

// The mask of segments named by their letters a..n (a = bit 13, n = bit 0).
constexpr uint16_t Lit(const char* letters) {
    uint16_t mask = 0;
    for (const char* p = letters; *p != '\0'; ++p)
        mask |= static_cast<uint16_t>(1u << (13 - (*p - 'a')));
    return mask;
}

struct Shape {
    char code;
    const char* letters;
};

// clang-format off
constexpr Shape kShapes[] = {
    {'!', "bc"},       {'"', "fj"},       {'#', "bcdghjm"},  {'$', "acdfghjm"},
    {'%', "cfkl"},     {'&', "adeginl"},  {'\'', "k"},       {'(', "kn"},
    {')', "il"},       {'*', "ghijklmn"}, {'+', "ghjm"},     {',', "l"},
    {'-', "gh"},       {'/', "kl"},
    {'0', "abcdefkl"}, {'1', "bck"},      {'2', "abdegh"},   {'3', "abcdh"},
    {'4', "bcfgh"},    {'5', "acdfgh"},   {'6', "acdefgh"},  {'7', "abc"},
    {'8', "abcdefgh"}, {'9', "abcdfgh"},  {':', "jm"},       {';', "jl"},
    {'<', "kn"},       {'=', "dgh"},      {'>', "il"},       {'?', "abhm"},
    {'@', "abdefhj"},
    {'A', "abcefgh"},  {'B', "abcdhjm"},  {'C', "adef"},     {'D', "abcdjm"},
    {'E', "adefg"},    {'F', "aefg"},     {'G', "acdefh"},   {'H', "bcefgh"},
    {'I', "adjm"},     {'J', "bcde"},     {'K', "efgkn"},    {'L', "def"},
    {'M', "bcefik"},   {'N', "bcefin"},   {'O', "abcdef"},   {'P', "abefgh"},
    {'Q', "abcdefn"},  {'R', "abefghn"},  {'S', "acdfgh"},   {'T', "ajm"},
    {'U', "bcdef"},    {'V', "efkl"},     {'W', "bcefln"},   {'X', "ikln"},
    {'Y', "ikm"},      {'Z', "adkl"},
    {'[', "adef"},     {'\\', "in"},      {']', "abcd"},     {'^', "ln"},
    {'_', "d"},        {'`', "i"},
    {'a', "degm"},     {'b', "cdefgh"},   {'c', "degh"},     {'d', "bcdegh"},
    {'e', "abdefgh"},  {'f', "aefg"},     {'g', "abcdfgh"},  {'h', "cefgh"},
    {'i', "m"},        {'j', "bcd"},      {'k', "jkmn"},     {'l', "jm"},
    {'m', "ceghm"},    {'n', "cegh"},     {'o', "cdegh"},    {'p', "abefgh"},
    {'q', "abcfgh"},   {'r', "eg"},       {'s', "acdfgh"},   {'t', "defg"},
    {'u', "cde"},      {'v', "el"},       {'w', "celn"},     {'x', "ikln"},
    {'y', "bcdfgh"},   {'z', "dgl"},
    {'{', "adgkn"},    {'|', "jm"},       {'}', "adhil"},    {'~', "ghkl"},
};
// clang-format on

constexpr std::array<uint16_t, 128> BuildTable() {
    std::array<uint16_t, 128> table{};
    for (const Shape& s : kShapes) table[static_cast<size_t>(s.code)] = Lit(s.letters);
    table[0x7F] = kSegmentsAll;  // the full block
    return table;
}

constexpr std::array<uint16_t, 128> kTable = BuildTable();

constexpr uint8_t kFirstUserCode = 0x10;
constexpr uint8_t kUserCodes = 16;

// ---- Parsing the shapes ----------------------------------------------------------

[[noreturn]] void BadLine(const std::string& line) {
    fatal(Format("Illegal segment data.\n'%s'", line.c_str()));
}

std::string Trimmed(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

class Cursor {
public:
    Cursor(const std::string& line, size_t pos) : line_(line), pos_(pos) {}
    void SkipBlanks() {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) ++pos_;
    }
    void Expect(char c) {
        SkipBlanks();
        if (pos_ >= line_.size() || line_[pos_] != c) BadLine(line_);
        ++pos_;
    }
    int Number() {
        SkipBlanks();
        size_t length = 0;
        const auto v = ReadLeadingInteger(std::string_view(line_).substr(pos_), &length);
        if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
            BadLine(line_);
        pos_ += length;
        return static_cast<int>(*v);
    }
    Point ReadPoint() {
        Expect('(');
        Point p;
        p.x = Number();
        Expect(',');
        p.y = Number();
        Expect(')');
        return p;
    }
    bool AtEnd() {
        SkipBlanks();
        return pos_ >= line_.size();
    }

private:
    const std::string& line_;
    size_t pos_;
};

// Half base times height, in doubles: the point may lie between units.
double Area(double ax, double ay, double bx, double by, double cx, double cy) {
    return std::abs((bx - ax) * (cy - ay) - (cx - ax) * (by - ay)) / 2.0;
}

}  // namespace

SegmentGeometry SegmentGeometry::Parse(const std::vector<std::string>& lines) {
    SegmentGeometry g;
    int minX = 999'999'999, minY = 999'999'999, maxX = -999'999'999, maxY = -999'999'999;
    for (const std::string& raw : lines) {
        if (!raw.empty() && raw[0] == '#') break;
        const std::string line = Trimmed(raw);
        if (line.empty() || line.rfind("//", 0) == 0 || line == "0") continue;
        const size_t bar = line.find('|');
        Cursor head(line, 0);
        const int count = head.Number();
        if (bar == std::string::npos && count != 0) BadLine(line);
        Segment segment;
        segment.drawable = count > 0;
        Cursor cursor(line, bar == std::string::npos ? line.size() : bar);
        for (int t = 0; t < std::abs(count); ++t) {
            cursor.Expect('|');
            Triangle tri{cursor.ReadPoint(), cursor.ReadPoint(), cursor.ReadPoint()};
            for (const Point& p : tri) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
            segment.triangles.push_back(tri);
        }
        if (!cursor.AtEnd()) BadLine(line);
        g.segments_.push_back(std::move(segment));
    }
    g.bounds_ = g.segments_.empty() ? Rect{} : Rect{minX, minY, maxX, maxY};
    return g;
}

SegmentGeometry SegmentGeometry::FromOverlay(OverlayText& overlay) {
    std::vector<std::string> lines;
    for (int i = 0;; ++i) {
        std::string line = overlay.GetText("GI_PCG_Seg_Data", i);
        if (!line.empty() && line[0] == '#') break;
        lines.push_back(std::move(line));
    }
    return Parse(lines);
}

const SegmentGeometry& MainDisplayGeometry() {
    static uint64_t readAt = ~uint64_t{0};
    static SegmentGeometry geometry;
    if (readAt != MainOverlayGeneration()) {
        geometry = SegmentGeometry::FromOverlay(MainOverlay());
        readAt = MainOverlayGeneration();
    }
    return geometry;
}

std::vector<uint16_t> UserCharacters(const EepromImage& image) {
    constexpr int32_t kUserCharacters = 0x95FD;
    std::vector<uint16_t> masks(kUserCodes, 0);
    if (!image.IsValidAddress(kUserCharacters + 2 * kUserCodes - 1)) return masks;
    for (int i = 0; i < kUserCodes; ++i)
        masks[static_cast<size_t>(i)] = image.GetWord(kUserCharacters + 2 * i);
    return masks;
}

int SegmentGeometry::HitSegment(double x, double y) const {
    for (int i = 0; i < Count(); ++i) {
        const Segment& s = At(i);
        if (!s.drawable) continue;
        for (const Triangle& t : s.triangles) {
            const double whole = Area(t[0].x, t[0].y, t[1].x, t[1].y, t[2].x, t[2].y);
            const double parts = Area(x, y, t[0].x, t[0].y, t[1].x, t[1].y) +
                                 Area(x, y, t[1].x, t[1].y, t[2].x, t[2].y) +
                                 Area(x, y, t[2].x, t[2].y, t[0].x, t[0].y);
            if (whole + 0.01 >= parts) return i;
        }
    }
    return -1;
}

uint16_t CharacterSegments(uint8_t code, std::span<const uint16_t> userMasks) {
    code &= 0x7F;
    if (code >= kFirstUserCode && code < kFirstUserCode + kUserCodes) {
        const size_t n = code - kFirstUserCode;
        return n < userMasks.size() ? static_cast<uint16_t>(userMasks[n] & kSegmentsAll) : 0;
    }
    return kTable[code];
}

uint16_t DisplayByteSegments(uint8_t byte, std::span<const uint16_t> userMasks) {
    const uint16_t dot = (byte & 0x80) ? kSegmentDot : 0;
    return static_cast<uint16_t>(CharacterSegments(byte, userMasks) | dot);
}

namespace {

// A character is as high as the box less a small margin; the characters
// stand a fifth of their width apart.
struct CharacterScale {
    double margin, f, pitch;
};

CharacterScale ScaleFor(int height, const SegmentGeometry& geometry) {
    const Rect b = geometry.Bounds();
    const int shapeWidth = std::max(1, b.Width());
    const int shapeHeight = std::max(1, b.Height());
    const double margin = height / 10.0;
    const double f = std::max(0.0, (height - 2 * margin) / shapeHeight);
    return {margin, f, shapeWidth * f * 1.2};
}

// The characters shown: a lone dot (0x80) is a blank with a dot; any other
// code below 0x10 ends the text.
size_t ShownLength(std::span<const uint8_t> bytes) {
    size_t n = 0;
    while (n < bytes.size() && (bytes[n] == 0x80 || (bytes[n] & 0x7F) >= kFirstUserCode)) ++n;
    return n;
}

}  // namespace

int DisplayTextWidth(int height, std::span<const uint8_t> bytes, const SegmentGeometry& geometry) {
    const size_t n = ShownLength(bytes);
    if (n == 0) return 0;
    const CharacterScale s = ScaleFor(height, geometry);
    const double glyph = std::max(1, geometry.Bounds().Width()) * s.f;
    return static_cast<int>(2 * s.margin + s.pitch * static_cast<double>(n - 1) + glyph + 0.5);
}

void PaintDisplayText(Canvas& canvas, const Rect& box, std::span<const uint8_t> bytes,
                      const SegmentGeometry& geometry, std::span<const uint16_t> userMasks,
                      uint32_t lit, uint32_t unlit) {
    const Rect b = geometry.Bounds();
    const auto [margin, f, pitch] = ScaleFor(box.Height(), geometry);
    const size_t shown = ShownLength(bytes);
    // The unlit segments first, then the lit ones over them.
    std::vector<std::vector<PointF>> litShapes, unlitShapes;
    for (size_t n = 0; n < shown; ++n) {
        const uint16_t mask = DisplayByteSegments(bytes[n], userMasks);
        const double left = box.left + margin + pitch * static_cast<double>(n);
        if (left >= box.right) break;
        for (int i = 0; i < geometry.Count(); ++i) {
            const bool on = (mask & geometry.BitOf(i)) != 0;
            if (!on && unlit == kNoColour) continue;
            // At row height a segment is a pixel or two wide: drawn where it
            // lies, not rounded to whole pixels, it stays a filled bar.
            for (const Triangle& t : geometry.At(i).triangles) {
                std::vector<PointF>& points = (on ? litShapes : unlitShapes).emplace_back();
                for (const Point& p : t)
                    points.push_back({left + (p.x - b.left) * f, box.top + margin + (p.y - b.top) * f});
            }
        }
    }
    if (!unlitShapes.empty()) canvas.FillPolygonsF(unlitShapes, unlit);
    if (!litShapes.empty()) canvas.FillPolygonsF(litShapes, lit);
}

}  // namespace parlo
