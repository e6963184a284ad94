#include "sheet/CellParser.h"

#include <algorithm>
#include <cstdlib>

#include "cells/CellNames.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

// Splits at the first "|" that is not escaped by "\".
std::pair<std::string, std::string> SplitSource(const std::string& line) {
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\') {
            ++i;
        } else if (line[i] == '|') {
            return {line.substr(0, i), line.substr(i + 1)};
        }
    }
    return {line, std::string()};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// "@chN" at `at`, N one digit not followed by another: the counter number.
int CounterAt(const std::string& s, size_t at) {
    if (s.compare(at, 3, "@ch") != 0 || at + 3 >= s.size() || !IsDigit(s[at + 3])) return -1;
    if (at + 4 < s.size() && IsDigit(s[at + 4])) return -1;
    return s[at + 3] - '0';
}

// The text after the first "=" of an attribute, blanks skipped before it.
std::string ValueAfterEquals(const std::string& attribute) {
    const size_t eq = attribute.find('=');
    if (eq == std::string::npos) return {};
    size_t i = eq + 1;
    while (i < attribute.size() && attribute[i] == ' ') ++i;
    return attribute.substr(i);
}

std::string TrimBlanks(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ') ++b;
    while (e > b && s[e - 1] == ' ') --e;
    return s.substr(b, e - b);
}

// Removes every "\" and keeps the character after it.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size())
            ++i;
        else if (s[i] == '\\')
            continue;
        out.push_back(s[i]);
    }
    return out;
}

}  // namespace

int CellParser::CountCells(const std::string& line) {
    int n = 0;
    for (std::string rest = line; !rest.empty(); ++n) rest = SplitSource(rest).second;
    return n;
}

std::string CellParser::ParseCell(const std::string& line, CellDesc& desc, const CellDesc* base,
                                  Counters& counters, bool parse) {
    auto [source, rest] = SplitSource(line);
    desc.ResetFrom(base);
    if (!parse) return rest;
    // Braces do not nest and a "\" does not protect them.
    std::string attributes, display;
    bool inBraces = false;
    for (char c : source) {
        if (c == '{') {
            inBraces = true;
        } else if (c == '}') {
            inBraces = false;
        } else {
            (inBraces ? attributes : display).push_back(c);
        }
    }
    ApplyAttributes(attributes, desc, counters);
    std::string text = DisplayText(display, counters);
    if (!text.empty()) desc.displayText = std::move(text);
    return rest;
}

void CellParser::ApplyAttributes(const std::string& text, CellDesc& desc, Counters& counters) {
    bool negate = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool negateThis = negate;
        negate = false;
        uint8_t* flagByte = nullptr;
        uint8_t flag = 0;
        switch (c) {
            case '\\': ++i; continue;
            case '(': {
                size_t j = i + 1;
                while (j < text.size() && text[j] != ')') j += text[j] == '\\' ? 2 : 1;
                ApplyAttribute(text.substr(i + 1, std::min(j, text.size()) - i - 1), desc,
                               counters);
                i = j;
                continue;
            }
            case '!': negate = true; continue;
            case 'S': flagByte = &desc.flagsA, flag = CellDesc::kSelectable; break;
            case 'T': flagByte = &desc.flagsA, flag = CellDesc::kTail; break;
            case 'W': flagByte = &desc.flagsB, flag = CellDesc::kFitWidth; break;
            case 'H': flagByte = &desc.flagsB, flag = CellDesc::kFitHeight; break;
            case 'B': flagByte = &desc.flagsB, flag = CellDesc::kBottomRule; break;
            case '+': flagByte = &desc.flagsB, flag = CellDesc::kJoin; break;
            case '<':
            case '^':
            case '>': {
                const uint8_t align = c == '<' ? 0 : c == '^' ? 1 : 2;
                desc.flagsB = static_cast<uint8_t>((desc.flagsB & ~CellDesc::kHAlignMask) | align);
                continue;
            }
            case '~':
            case '-':
            case '_': {
                const uint8_t align = c == '~' ? 0 : c == '-' ? 1 : 2;
                desc.flagsB =
                    static_cast<uint8_t>((desc.flagsB & ~CellDesc::kVAlignMask) | align << 2);
                continue;
            }
            default: continue;
        }
        if (negateThis) {
            *flagByte = static_cast<uint8_t>(*flagByte & ~flag);
        } else {
            *flagByte |= flag;
        }
    }
}

void CellParser::ApplyAttribute(const std::string& a, CellDesc& desc, Counters& counters) {
    if (StartsWith(a, "$")) {
        ApplyModel(a.substr(1), desc, counters);
    } else if (StartsWith(a, "Color")) {
        if (auto colour = ColourByName(TrimBlanks(ValueAfterEquals(a)))) desc.colour = *colour;
    } else if (StartsWith(a, "Font")) {
        if (a.find('=') == std::string::npos) return;
        if (!desc.font) {
            const FontSpec* inherited = desc.base ? desc.base->EffectiveFont() : nullptr;
            desc.font = std::make_unique<FontSpec>(inherited ? *inherited : FontSpec());
        }
        ApplyFontSpec(*desc.font, a.substr(a.find('=') + 1));
    } else if (StartsWith(a, "%")) {
        ApplyReference(a.substr(1), desc, counters);
    } else if (const int n = CounterAt(a, 0); n >= 0) {
        size_t i = 4;
        while (i < a.size() && a[i] == ' ') ++i;
        if (a.compare(i, 2, "++") == 0) {
            ++counters[static_cast<size_t>(n)];
        } else if (i < a.size() && a[i] == '=') {
            counters[static_cast<size_t>(n)] = LeadingInteger(std::string_view(a).substr(i + 1));
        }
    } else if (StartsWith(a, "ImageIndex")) {
        if (a.find('=') != std::string::npos) desc.imageIndex = LeadingInteger(ValueAfterEquals(a));
    } else if (StartsWith(a, "PopupMenu")) {
        if (a.find('=') != std::string::npos) desc.popupMenu = ValueAfterEquals(a);
    } else if (StartsWith(a, "Flag") && a.size() >= 7 && a[4] >= '0' && a[4] <= '5' &&
               a[5] == '=') {
        const uint8_t flag = CellDesc::FreeFlag(a[4] - '0');
        if (a[6] == '1') desc.flagsA |= flag;
        if (a[6] == '0') desc.flagsA = static_cast<uint8_t>(desc.flagsA & ~flag);
    }
}

// A model may use further models, but one that reaches itself would be
// applied for ever, and models that each use the next ones several times
// would take ages: both are broken overlays.
void CellParser::ApplyModel(const std::string& name, CellDesc& desc, Counters& counters) {
    if (models_.empty()) modelsApplied_ = 0;
    if (std::find(models_.begin(), models_.end(), name) != models_.end()) {
        std::string chain;
        for (const std::string& m : models_) chain += "$" + m + " -> ";
        fatal(Format("The cell model '%s' uses itself: %s$%s.", name.c_str(), chain.c_str(),
                     name.c_str()));
    }
    if (++modelsApplied_ > kMaxModelsPerCell)
        fatal(Format("A cell uses more than %d cell models ('%s' is one).", kMaxModelsPerCell,
                     name.c_str()));
    const std::string attributes = overlay_.GetText("CellModel_" + name, 0);
    models_.push_back(name);
    // Taken off again when a program error unwinds (tests and the fuzz
    // targets throw from it).
    struct Applied {
        std::vector<std::string>& models;
        ~Applied() { models.pop_back(); }
    } applied{models_};
    ApplyAttributes(attributes, desc, counters);
}

void CellParser::ApplyReference(const std::string& ref, CellDesc& desc, const Counters& counters) {
    std::string rest = ref;
    for (size_t i = 0; i < ref.size(); ++i) {
        if (ref[i] == '\\') {
            ++i;
        } else if (ref[i] == '.') {
            desc.category = CategoryNumber(ref.substr(0, i));
            rest = ref.substr(i + 1);
            break;
        }
    }
    const size_t nameEnd = rest.find_first_of("[:");
    desc.cell = CellNumber(rest.substr(0, nameEnd));
    if (nameEnd == std::string::npos) return;
    size_t actionAt = rest.find(':', nameEnd);
    if (rest[nameEnd] == '[') {
        const size_t close = rest.find(']', nameEnd);
        const std::string index = rest.substr(
            nameEnd + 1, close == std::string::npos ? std::string::npos : close - nameEnd - 1);
        const int counter = CounterAt(index, 0);
        desc.index = counter >= 0 ? counters[static_cast<size_t>(counter)] : LeadingInteger(index);
        actionAt = close == std::string::npos ? std::string::npos : rest.find(':', close);
    }
    if (actionAt != std::string::npos) desc.action = Unescape(rest.substr(actionAt + 1));
}

std::string CellParser::DisplayText(const std::string& raw, const Counters& counters) {
    size_t b = 0, e = raw.size();
    auto blankOrControl = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (b < e && blankOrControl(raw[b])) ++b;
    while (e > b && blankOrControl(raw[e - 1])) --e;
    std::string out;
    for (size_t i = b; i < e; ++i) {
        if (raw[i] != '\\' || i + 1 >= e) {
            out.push_back(raw[i]);
            continue;
        }
        const char next = raw[++i];
        if (next == 'n' || next == 'N') {
            out.push_back('\n');
        } else if (next == '_') {
            out.push_back(' ');
        } else if (next == '(') {
            const size_t close = raw.find(')', i + 1);
            if (close == std::string::npos || close >= e) fatal("Illegal Ch No.");
            std::string expr;
            for (size_t k = i + 1; k < close; ++k) {
                if (raw[k] != ' ') expr.push_back(raw[k]);
            }
            const int n = CounterAt(expr, 0);
            if (n < 0) fatal("Ch No. Error");
            long value = counters[static_cast<size_t>(n)];
            if (expr.size() > 4 && expr[4] == '+')
                value += LeadingInteger(std::string_view(expr).substr(5));
            out += IntegerText(value).substr(0, 6);
            i = close;
        } else {
            out.push_back(next);
        }
    }
    return out;
}

}  // namespace parlo
