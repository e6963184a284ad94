// parlo-cli new / channels: a variant's factory image as a new document, and
// the memory channels of a clone file.
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "app/FileMessages.h"
#include "cli/Commands.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "codecs/SegmentText.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"
#include "platform/ProgramInfo.h"

namespace parlo::cli {

namespace {

constexpr const char* kVariantNames[kVariantCount] = {"lmr", "pmr", "pmrt", "dpmr446"};

int VariantByName(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (int v = 0; v < kVariantCount; ++v) {
        if (name == kVariantNames[v]) return v;
    }
    return -1;
}

int UsageError(const char* command, const char* synopsis, const std::string& why) {
    std::fprintf(stderr, "parlo-cli %s: %s\nUsage: parlo-cli %s\n", command, why.c_str(), synopsis);
    return kExitUsage;
}

constexpr const char* kNewSynopsis = "new --variant lmr|pmr|pmrt|dpmr446 -o FILE";

// New: the variant's initial file as the default image, unpacked in full,
// copied to the working image and rebuilt; then saved as Save does.
int RunNew(const ParsedArgs& args) {
    const auto variantName = args.Value("--variant");
    const auto out = args.Value("-o");
    if (!variantName) return UsageError("new", kNewSynopsis, "--variant is required");
    if (!out) return UsageError("new", kNewSynopsis, "-o FILE is required");
    const int variant = VariantByName(*variantName);
    if (variant < 0)
        return UsageError("new", kNewSynopsis, "unknown variant '" + *variantName + "'");

    const std::string initial = DataDir() + OvlText("GI_App_InitialFile", variant);
    EepromImage defaults;
    defaults.SetSize(kImageSize);
    if (const uint8_t code = ShowFileOutcome(ReadInitialFile(initial, defaults)); code != kFileOk) {
        std::fprintf(stderr, "Cannot open '%s'.\n", initial.c_str());
        return code;
    }
    UnpackFull(defaults);
    EepromImage working;
    working.Assign(defaults);
    Pack(working, PackMode::Rebuild, variant);
    Pack(working, PackMode::Save, variant);
    return ShowFileOutcome(SaveCloneFile(*out, working));
}

std::string Frequency(int32_t hz) { return DecimalText(hz, 6); }

// A plain reading of a tone field until the tone lists are at hand.
std::string ToneText(const Tone& t) {
    if (!t.on) return "off";
    if (t.dtcs) return "DTCS " + UnsignedText(t.dtcsCode, 8, 3) + (t.inverted ? 'I' : 'N');
    return "CTCSS " + IntegerText(t.ctcss);
}

// The name as the cells show it: a dot lit after a character reads "."
// after it, and the user characters read "%10" to "%1F".
std::string NameText(const std::string& name) {
    const std::vector<uint8_t> field(name.begin(), name.end());
    return SegmentTextForm(field, false);
}

std::string CsvField(const std::string& s) {
    if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
    std::string q = "\"";
    for (char c : s) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

int RunChannels(const ParsedArgs& args) {
    EepromImage image;
    if (const uint8_t code =
            ShowFileOutcome(OpenCloneFile(args.Operands()[0], FreshDocumentImage(), &image));
        code != kFileOk)
        return code;
    Unpack(image);
    const int kind = ChannelKindOf(VariantFromImage(image));
    const bool csv = args.Has("--csv");
    if (csv) std::printf("Channel,RX frequency,TX frequency,RX tone,TX tone,Name,Attributes\r\n");

    ChannelRecord record(image);
    for (int bank = 0; bank < kBankCount; ++bank) {
        const int first = BankFirstSlot(image, bank);
        for (int pos = 0; pos < BankSize(image, bank); ++pos) {
            record.Decode(kind, first + pos);
            if (!record.present) continue;
            const std::vector<std::string> cells = {
                IntegerText(bank + 1) + "-" + IntegerText(pos + 1, 3, ' '),
                Frequency(record.Value(Field::RxFreq)),
                Frequency(record.Value(Field::TxFreq)),
                ToneText(record.tones[0]),
                ToneText(record.tones[1]),
                NameText(record.texts[0]),
                record.AttributeLetters()};
            if (csv) {
                std::string line;
                for (const std::string& c : cells) line += (line.empty() ? "" : ",") + CsvField(c);
                std::printf("%s\r\n", line.c_str());
            } else {
                std::string line;
                char col[48];
                for (size_t i = 0; i + 1 < cells.size(); ++i) {
                    std::snprintf(col, sizeof col, "%-*s", i == 0 ? 6 : (i < 3 ? 11 : 10),
                                  cells[i].c_str());
                    line += col;
                    line += ' ';
                }
                line += cells.back();
                while (!line.empty() && line.back() == ' ') line.pop_back();
                std::printf("%s\n", line.c_str());
            }
        }
    }
    return 0;
}

}  // namespace

std::vector<Command> ModelCommands() {
    return {
        {"new",
         kNewSynopsis,
         "Write a new document of a variant (its factory default image) to FILE ('-' for "
         "standard output), as File > New then File > Save do; exit with the file error code.",
         {{"--variant", nullptr, true}, {"-o", "--output", true}},
         0,
         0,
         RunNew},
        {"channels",
         "channels FILE [--csv]",
         "Load a clone file as File > Open does and list its channels: number, RX and TX "
         "frequency, RX and TX tone, name, attributes (A, B, E).",
         {{"--csv", nullptr, false}},
         1,
         1,
         RunChannels},
    };
}

}  // namespace parlo::cli
