// parlo-initial-images: builds the initial clone files (one per variant) from
// the readable descriptions in tools/initial-images/, so that a change to a
// factory default is a reviewable text change and the files are reproducible.
//
//   parlo-initial-images OUTPUT-FOLDER DESCRIPTION...
//
// A description is a list of lines; "#" starts a comment outside quotes.
//   file NAME                      the clone file to write
//   variant lmr|pmr|pmrt|dpmr446   the variant (its bits go to byte 0x95D7)
//   byte ADDR VALUE...             consecutive bytes
//   word ADDR VALUE                a big-endian 16-bit word
//   bits ADDR HI LO VALUE          bits HI..LO of a byte
//   text ADDR LENGTH "TEXT"        characters, padded with blanks
//   fill ADDR COUNT BYTE...        the bytes, COUNT times over
//   banks S1 S2 S3 S4 S5           the five bank sizes
//   record KIND INDEX[-LAST] KEY=VALUE...   fields of decoded records
//   channel SLOT[-LAST] KEY=VALUE...        the same with the variant's channel kind
//   include NAME                   the lines of another file in the same folder
// KEY is a field name (RxFreq, Narrow, ...), Name, Text2, ToneRx, ToneTx
// ("off", "ctcss:N", "dtcs:023N"), Attributes, ScanLists or Raw (hex bytes). A number with a
// "." is MHz and is stored in Hz.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "platform/NumberText.h"

namespace parlo {
namespace {

struct SpecError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr const char* kVariantNames[kVariantCount] = {"lmr", "pmr", "pmrt", "dpmr446"};
// Byte 0x95D7 of each variant (Tarn PMR is a PMR with the Tarn bit).
constexpr uint8_t kVariantBits[kVariantCount] = {0x80, 0x40, 0x60, 0x04};

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::string cur;
    bool quoted = false, any = false;
    for (char c : line) {
        if (quoted) {
            if (c == '"')
                quoted = false;
            else
                cur += c;
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == '#') {
            break;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            if (any) out.push_back(cur);
            cur.clear();
            any = false;
        } else {
            cur += c;
            any = true;
        }
    }
    if (quoted) throw SpecError("unclosed quote");
    if (any) out.push_back(cur);
    return out;
}

int64_t Number(const std::string& s) {
    if (s.find('.') != std::string::npos) {
        // MHz to Hz, exactly: whole part and up to six decimals.
        const size_t dot = s.find('.');
        std::string frac = s.substr(dot + 1);
        if (frac.size() > 6) throw SpecError("too many decimals in '" + s + "'");
        frac.resize(6, '0');
        const std::string digits = s.substr(0, dot) + frac;
        if (digits.find_first_not_of("0123456789") != std::string::npos)
            throw SpecError("not a frequency: '" + s + "'");
        return ReadInteger(digits).value();
    }
    const bool hex = s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0;
    const auto v = ReadInteger(hex ? s.substr(2) : s, hex ? 16 : 10);
    if (!v) throw SpecError("not a number: '" + s + "'");
    return *v;
}

Tone ParseTone(const std::string& s) {
    Tone t;
    if (s == "off") return t;
    t.on = true;
    if (s.rfind("ctcss:", 0) == 0) {
        t.ctcss = static_cast<uint8_t>(Number(s.substr(6)));
    } else if (s.rfind("dtcs:", 0) == 0 && s.size() == 9 && (s[8] == 'N' || s[8] == 'I')) {
        t.dtcs = true;
        t.dtcsCode = static_cast<uint16_t>(ReadInteger(s.substr(5, 3), 8).value_or(0));
        t.inverted = s[8] == 'I';
    } else {
        throw SpecError("bad tone '" + s + "'");
    }
    return t;
}

// Hexadecimal digit pairs into the record's raw bytes.
void SetRaw(ChannelRecord& r, const std::string& hex) {
    if (hex.size() % 2 != 0 || hex.size() / 2 > r.raw.size()) throw SpecError("bad Raw bytes");
    for (size_t i = 0; i < hex.size(); i += 2)
        r.raw[i / 2] = static_cast<uint8_t>(Number("0x" + hex.substr(i, 2)));
}

void SetKey(ChannelRecord& r, const std::string& key, const std::string& value) {
    if (key == "Name")
        r.texts[0] = value;
    else if (key == "Text2")
        r.texts[1] = value;
    else if (key == "ToneRx")
        r.tones[0] = ParseTone(value);
    else if (key == "ToneTx")
        r.tones[1] = ParseTone(value);
    else if (key == "Attributes")
        r.attributes = static_cast<uint8_t>(Number(value));
    else if (key == "ScanLists")
        r.scanLists = static_cast<uint16_t>(Number(value));
    else if (key == "Raw")
        SetRaw(r, value);
    else if (const auto f = FieldByName(key))
        r.SetValue(*f, static_cast<int32_t>(Number(value)));
    else
        throw SpecError("unknown field '" + key + "'");
}

class Builder {
public:
    Builder() {
        image_.SetSize(kImageSize);
        // The identity bytes every image of this model carries.
        image_.SetByte(0x0000, 0x29);
        image_.SetByte(0x0001, 0x26);
        image_.SetByte(0x0002, 0x01);
        for (int i = 0; i < 8; ++i) image_.SetByte(kAddrMakerText + i, kMakerText[i]);
        image_.SetByte(kAddrMapRevision, kMapRevision);
        image_.SetWord(kAddrModelCode, kModelCode);
    }

    void Line(const std::vector<std::string>& t) {
        const std::string& op = t[0];
        if (op == "file") {
            Need(t, 2);
            file_ = t[1];
        } else if (op == "variant") {
            Need(t, 2);
            for (int v = 0; v < kVariantCount; ++v) {
                if (t[1] == kVariantNames[v]) variant_ = v;
            }
            if (variant_ < 0) throw SpecError("unknown variant '" + t[1] + "'");
            image_.SetByte(kAddrVariantBits, kVariantBits[variant_]);
        } else if (op == "byte") {
            const int32_t a = Address(t, 3);
            for (size_t i = 2; i < t.size(); ++i) Put(a + static_cast<int32_t>(i - 2), t[i]);
        } else if (op == "word") {
            Need(t, 3);
            image_.SetWord(Address(t, 3), static_cast<uint16_t>(Number(t[2])));
        } else if (op == "bits") {
            Need(t, 5);
            const int32_t a = Address(t, 5);
            const int hi = static_cast<int>(Number(t[2])), lo = static_cast<int>(Number(t[3]));
            const unsigned mask = ((1u << (hi - lo + 1)) - 1u) << lo;
            const unsigned v = static_cast<unsigned>(Number(t[4])) << lo;
            image_.SetByte(a, static_cast<uint8_t>((image_.GetByte(a) & ~mask) | (v & mask)));
        } else if (op == "text") {
            Need(t, 4);
            const int32_t a = Address(t, 4);
            const int64_t n = Number(t[2]);
            if (static_cast<int64_t>(t[3].size()) > n) throw SpecError("text too long");
            for (int64_t i = 0; i < n; ++i) {
                const size_t k = static_cast<size_t>(i);
                image_.SetByte(a + static_cast<int32_t>(i),
                               static_cast<uint8_t>(k < t[3].size() ? t[3][k] : ' '));
            }
        } else if (op == "fill") {
            const int32_t a = Address(t, 4);
            const int64_t count = Number(t[2]);
            const int32_t width = static_cast<int32_t>(t.size() - 3);
            for (int64_t i = 0; i < count; ++i) {
                for (int32_t k = 0; k < width; ++k)
                    Put(a + static_cast<int32_t>(i) * width + k, t[static_cast<size_t>(3 + k)]);
            }
        } else if (op == "banks") {
            Need(t, 6);
            for (int i = 0; i < 5; ++i) SetBankSize(image_, i, static_cast<int>(Number(t[1 + i])));
        } else if (op == "record") {
            if (t.size() < 3) throw SpecError("record KIND INDEX KEY=VALUE...");
            Records(static_cast<int>(Number(t[1])), t, 2);
        } else if (op == "channel") {
            if (variant_ < 0) throw SpecError("channel before variant");
            if (t.size() < 2) throw SpecError("channel SLOT KEY=VALUE...");
            Records(ChannelKindOf(variant_), t, 1);
        } else {
            throw SpecError("unknown directive '" + op + "'");
        }
    }

    // Packs the tables as a save does and writes the clone file.
    int Write(const std::string& folder) {
        if (file_.empty() || variant_ < 0) throw SpecError("file and variant are required");
        if (!Pack(image_, PackMode::Save, variant_)) throw SpecError("the tables do not fit");
        const FileOutcome saved = SaveCloneFile(folder + "/" + file_, image_);
        if (!saved.Ok()) std::fprintf(stderr, "%s\n", saved.message.c_str());
        return saved.code;
    }

private:
    static void Need(const std::vector<std::string>& t, size_t n) {
        if (t.size() != n)
            throw SpecError("'" + t[0] + "' takes " + std::to_string(n - 1) + " arguments");
    }
    int32_t Address(const std::vector<std::string>& t, size_t least) const {
        if (t.size() < least) throw SpecError("too few arguments to '" + t[0] + "'");
        const int64_t a = Number(t[1]);
        if (a < 0 || a >= kImageSize) throw SpecError("address outside the image");
        return static_cast<int32_t>(a);
    }
    void Put(int32_t a, const std::string& v) {
        if (!image_.IsValidAddress(a)) throw SpecError("address outside the image");
        image_.SetByte(a, static_cast<uint8_t>(Number(v)));
    }
    void Records(int kind, const std::vector<std::string>& t, size_t at) {
        const std::string& range = t[at];
        const size_t dash = range.find('-');
        const int first = static_cast<int>(Number(range.substr(0, dash)));
        const int last =
            dash == std::string::npos ? first : static_cast<int>(Number(range.substr(dash + 1)));
        ChannelRecord r(image_);
        for (int index = first; index <= last; ++index) {
            r.Decode(kind, index);
            if (r.Kind() != kind || (!r.present && !IsChannelKind(kind)))
                throw SpecError("no record " + std::to_string(index) + " of kind " +
                                std::to_string(kind));
            for (size_t i = at + 1; i < t.size(); ++i) {
                const size_t eq = t[i].find('=');
                if (eq == std::string::npos) throw SpecError("expected KEY=VALUE: " + t[i]);
                SetKey(r, t[i].substr(0, eq), t[i].substr(eq + 1));
            }
            if (IsChannelKind(kind)) r.present = r.Value(Field::RxFreq) != 0;
            r.Store();
        }
    }

    EepromImage image_;
    std::string file_;
    int variant_ = -1;
};

// Feeds the lines of `path` to the builder; false after reporting an error.
bool Feed(Builder& builder, const std::string& path, int depth = 0) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "%s: cannot be read\n", path.c_str());
        return false;
    }
    std::string line;
    int number = 0;
    try {
        while (std::getline(in, line)) {
            ++number;
            const std::vector<std::string> tokens = Tokens(line);
            if (tokens.empty()) continue;
            if (tokens[0] != "include") {
                builder.Line(tokens);
                continue;
            }
            if (tokens.size() != 2 || depth > 4) throw SpecError("bad include");
            const size_t slash = path.rfind('/');
            const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
            if (!Feed(builder, folder + tokens[1], depth + 1)) return false;
        }
        return true;
    } catch (const SpecError& e) {
        std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), number, e.what());
        return false;
    }
}

int BuildOne(const std::string& description, const std::string& folder) {
    Builder builder;
    if (!Feed(builder, description)) return 1;
    try {
        return builder.Write(folder) == kFileOk ? 0 : 1;
    } catch (const SpecError& e) {
        std::fprintf(stderr, "%s: %s\n", description.c_str(), e.what());
        return 1;
    }
}

}  // namespace
}  // namespace parlo

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "Usage: parlo-initial-images OUTPUT-FOLDER DESCRIPTION...\n");
        return 64;
    }
    int status = 0;
    for (int i = 2; i < argc; ++i) status |= parlo::BuildOne(argv[i], argv[1]);
    return status;
}
