// Reading a channel list of the CHIRP program: each row's fields become the
// texts of this radio's cells, typed as the in-place editor takes them.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstdlib>
#include <map>
#include <span>

#include "app/ChirpTable.h"
#include "cells/CellIds.h"
#include "codecs/ListCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/SegmentText.h"
#include "codecs/ToneCodec.h"
#include "codecs/TypedNumber.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

enum Col { kLocation, kName, kFrequency, kDuplex, kOffset, kTone, kRTone, kCTone, kDtcs,
           kDtcsPolarity, kMode, kSkip, kRxDtcs, kCrossMode, kPower, kColCount };
const char* const kHeadings[kColCount] = {
    "Location", "Name",         "Frequency", "Duplex", "Offset",     "Tone",      "rToneFreq",
    "cToneFreq", "DtcsCode",    "DtcsPolarity", "Mode", "Skip",     "RxDtcsCode", "CrossMode",
    "Power"};
// Columns before this one must be in the header; the others may be.
constexpr int kFirstOptional = kSkip;

constexpr size_t kNameLength = 8;
// The band of the PMR446 and dPMR446 channels, in Hz.
constexpr int64_t kPmrBandLow = 446'000'000;
constexpr int64_t kPmrBandHigh = 446'200'000;
const char* const kNoScanList = "___________";
const char* const kFirstScanList = "1__________";

// A row's fields by column ("" for a column the header lacks).
struct Fields {
    std::array<std::string, kColCount> text;
    std::array<bool, kColCount> given{};
    std::string where;
    const std::string& operator[](Col c) const { return text[c]; }
};

// What a refusal of a CHIRP field says: its column is the file's own.
std::string Refused(const Fields& f, Col c, const std::string& reason) {
    return RefusalText(f.where, kHeadings[c], f[c], reason);
}

// A number as a spreadsheet may have saved it: "." or "," before the
// decimals, a unit after it.
std::optional<DecimalNumber> FieldNumber(const std::string& text) {
    return ReadTypedNumber(text, false).number;
}

// A frequency in MHz as Hz.
std::optional<int64_t> Hertz(const std::string& text) {
    const auto number = FieldNumber(text);
    if (!number) return std::nullopt;
    bool exact = false;
    const int64_t hz = number->Scaled(6, &exact);
    return exact ? std::optional<int64_t>(hz) : std::nullopt;
}

// "23", "023" with the polarity letter ("N" normal, "R" reversed): "023N",
// "023I" as the tone cells write it.
std::optional<std::string> DtcsText(const std::string& code, char polarity) {
    const std::string digits = TrimBlanks(code);
    if (digits.empty() || digits.size() > 3 ||
        digits.find_first_not_of("01234567") != std::string::npos)
        return std::nullopt;
    if (polarity != 'N' && polarity != 'R') return std::nullopt;
    return std::string(3 - digits.size(), '0') + digits + (polarity == 'R' ? 'I' : 'N');
}

struct Tones {
    std::string rx, tx;
};

// The two tones of a row: which fields give them follows its Tone mode.
class ToneMapping {
public:
    ToneMapping(const Fields& f, int variant, ImportOutcome& outcome)
        : f_(f), outcome_(outcome), variant_(variant),
          off_(ListText(ToneList(variant), kToneOffItem)) {}

    std::optional<Tones> Map() {
        const std::string mode = TrimBlanks(f_[kTone]);
        std::string polarity = TrimBlanks(f_[kDtcsPolarity]);
        if (polarity.empty()) polarity = "NN";
        if (polarity.size() != 2 || polarity.find_first_not_of("NR") != std::string::npos) {
            outcome_.Refuse(Refused(f_, kDtcsPolarity, "two letters, N or R, transmit first"));
            return std::nullopt;
        }
        txPolarity_ = polarity[0];
        rxPolarity_ = polarity[1];
        if (mode.empty()) return Tones{off_, off_};
        if (mode == "Tone") return Both(off_, Ctcss(kRTone));
        if (mode == "TSQL") return Both(Ctcss(kCTone), Ctcss(kCTone));
        if (mode == "DTCS") return Both(ReceiveDtcs(), Dtcs(kDtcs, txPolarity_));
        if (mode == "TSQL-R") return Both(Ctcss(kCTone), off_);
        if (mode == "DTCS-R") return Both(ReceiveDtcs(), off_);
        if (mode == "Cross") return Cross();
        outcome_.Refuse(Refused(f_, kTone, "the modes are \"\", Tone, TSQL, DTCS, TSQL-R, "
                                           "DTCS-R and Cross"));
        return std::nullopt;
    }

private:
    std::optional<Tones> Cross() {
        const std::string cross = TrimBlanks(f_[kCrossMode]);
        const size_t arrow = cross.find("->");
        const std::string tx = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
        const std::string rx = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
        const auto side = [&](const std::string& kind, bool receive) -> std::optional<std::string> {
            if (kind.empty()) return off_;
            if (kind == "Tone") return Ctcss(receive ? kCTone : kRTone);
            if (kind == "DTCS") return receive ? ReceiveDtcs() : Dtcs(kDtcs, txPolarity_);
            return std::nullopt;
        };
        const auto txTone = side(tx, false), rxTone = side(rx, true);
        if (!txTone || !rxTone || (tx.empty() && rx.empty())) {
            if (refused_.none())
                outcome_.Refuse(Refused(f_, kCrossMode,
                                        "the cross modes are Tone->Tone, Tone->DTCS, DTCS->Tone, "
                                        "->Tone, ->DTCS, DTCS-> and DTCS->DTCS"));
            return std::nullopt;
        }
        return Both(*rxTone, *txTone);
    }
    std::optional<Tones> Both(std::optional<std::string> rx, std::optional<std::string> tx) {
        if (!rx || !tx) return std::nullopt;
        return Tones{*rx, *tx};
    }
    // A CTCSS frequency of the radio's tone list, as the cell writes it.
    std::optional<std::string> Ctcss(Col c) {
        std::string reason;
        const auto tone = TableToneOf(f_[c], variant_, &reason);
        if (tone && tone->on && !tone->dtcs) return ToneText(*tone, variant_);
        Refuse(c, reason.empty() ? "a CTCSS frequency in Hz, such as 88.5" : reason);
        return std::nullopt;
    }
    std::optional<std::string> Dtcs(Col c, char polarity) {
        auto text = DtcsText(f_[c], polarity);
        if (!text) Refuse(c, "a DTCS code is up to three octal digits (023)");
        return text;
    }
    // A field used for both tones is refused once.
    void Refuse(Col c, const std::string& reason) {
        if (!refused_.test(c)) outcome_.Refuse(Refused(f_, c, reason));
        refused_.set(c);
    }
    // The receive code: RxDtcsCode where the row gives one.
    std::optional<std::string> ReceiveDtcs() {
        return Dtcs(f_.given[kRxDtcs] && !TrimBlanks(f_[kRxDtcs]).empty() ? kRxDtcs : kDtcs,
                    rxPolarity_);
    }

    const Fields& f_;
    ImportOutcome& outcome_;
    int variant_;
    std::string off_;
    char txPolarity_ = 'N', rxPolarity_ = 'N';
    std::bitset<kColCount> refused_;
};

}  // namespace

namespace {

// A mapped row: where it came from and the texts of this radio's columns.
struct Mapped {
    std::string where;
    std::vector<std::pair<size_t, std::string>> values;
    bool skip = false;
};

class ChirpRows {
public:
    ChirpRows(ChannelImport& import, const TableImport& how, ImportOutcome& outcome)
        : import_(import), how_(how), outcome_(outcome),
          variant_(import.Doc().Variant()) {}

    bool Header(const CsvRecord& header);
    void Row(const CsvRecord& record);
    void Place();

private:
    bool Picked(int64_t location) const {
        if (how_.locations.empty()) return true;
        for (const auto& [first, last] : how_.locations) {
            if (location >= first && location <= last) return true;
        }
        return false;
    }
    void Put(Mapped& m, int cell, std::string text) {
        if (const int column = import_.ColumnOf(cell); column >= 0)
            m.values.emplace_back(static_cast<size_t>(column), std::move(text));
    }
    std::string Item(const char* list, int index) { return ListText(list, index); }
    bool MapFrequencies(const Fields& f, Mapped& m);
    bool MapName(const Fields& f, Mapped& m);
    bool MapMode(const Fields& f, Mapped& m);
    bool MapPowerAndSkip(const Fields& f, Mapped& m);

    ChannelImport& import_;
    const TableImport& how_;
    ImportOutcome& outcome_;
    int variant_;
    std::array<int, kColCount> field_{};  // the header's field of each column, or -1
    std::map<int64_t, Mapped> kept_;       // by Location
    int picked_ = 0;
};

bool ChirpRows::Header(const CsvRecord& header) {
    field_.fill(-1);
    for (size_t i = 0; i < header.fields.size(); ++i) {
        for (int c = 0; c < kColCount; ++c) {
            if (TrimBlanks(header.fields[i]) == kHeadings[c] && field_[c] < 0)
                field_[c] = static_cast<int>(i);
        }
    }
    std::string missing;
    for (int c = 0; c < kFirstOptional; ++c) {
        if (field_[c] < 0) missing += std::string(missing.empty() ? "" : ", ") + kHeadings[c];
    }
    if (!missing.empty())
        outcome_.Refuse(Format("line %d: the list of the CHIRP program lacks the columns %s",
                               header.line, missing.c_str()));
    return missing.empty();
}

void ChirpRows::Row(const CsvRecord& record) {
    Fields f;
    f.where = Format("line %d", record.line);
    for (int c = 0; c < kColCount; ++c) {
        const int i = field_[c];
        f.given[c] = i >= 0 && static_cast<size_t>(i) < record.fields.size();
        if (f.given[c]) f.text[c] = record.fields[static_cast<size_t>(i)];
    }
    const auto location = ReadInteger(TrimBlanks(f[kLocation]));
    if (!location || *location < 0) {
        outcome_.Refuse(Refused(f, kLocation, "a Location is a whole number"));
        return;
    }
    if (!Picked(*location)) return;
    ++outcome_.rows;
    // More rows than a bank holds are refused by their count: they need
    // not be kept.
    if (++picked_ > kChannelSlots) return;
    Mapped m;
    m.where = f.where;
    bool ok = MapFrequencies(f, m);
    if (const auto tones = ToneMapping(f, variant_, outcome_).Map()) {
        Put(m, CL_Mch_CTone_R, tones->rx);
        Put(m, CL_Mch_CTone_T, tones->tx);
    } else {
        ok = false;
    }
    ok = MapName(f, m) && ok;
    ok = MapMode(f, m) && ok;
    ok = MapPowerAndSkip(f, m) && ok;
    // Imported channels are in use.
    Put(m, CL_Mch_Inh, Item("GI_Sheet_Sel_Mch_ChInh", 0));
    if (!ok) return;
    const auto [at, added] = kept_.emplace(*location, std::move(m));
    if (!added)
        outcome_.Refuse(Refused(f, kLocation, "the Location is given by " + at->second.where +
                                                  " already"));
}

bool ChirpRows::MapFrequencies(const Fields& f, Mapped& m) {
    const auto rx = Hertz(f[kFrequency]);
    if (!rx || *rx == 0) {
        outcome_.Refuse(Refused(f, kFrequency, "a frequency in MHz, such as 446.006250"));
        return false;
    }
    const std::string duplex = TrimBlanks(f[kDuplex]);
    std::optional<int64_t> tx = rx;
    if (duplex == "+" || duplex == "-" || duplex == "split") {
        const auto offset = TrimBlanks(f[kOffset]).empty() ? std::optional<int64_t>(0)
                                                              : Hertz(f[kOffset]);
        if (!offset) {
            outcome_.Refuse(Refused(f, kOffset, "an offset or frequency in MHz"));
            return false;
        }
        tx = duplex == "split" ? *offset : duplex == "+" ? *rx + *offset : *rx - *offset;
        if (*tx <= 0) {
            outcome_.Refuse(Refused(f, kOffset, "the transmit frequency would be below 0"));
            return false;
        }
    } else if (!duplex.empty() && duplex != "off") {
        outcome_.Refuse(Refused(f, kDuplex, "Duplex is \"\", +, -, split or off"));
        return false;
    }
    // The PMR446 variants are made for the 446 MHz band: a channel outside
    // it (an LPD channel of a mixed list) is taken as typed, and said so.
    if (variant_ != kVariantLmr) {
        for (const auto& [hz, c] : {std::pair{*rx, kFrequency}, std::pair{*tx, kOffset}}) {
            if (hz >= kPmrBandLow && hz <= kPmrBandHigh) continue;
            outcome_.Note(Format("%s, column \"%s\": %s MHz lies outside the 446 MHz band "
                                 "(%s-%s) this radio is made for",
                                 f.where.c_str(), kHeadings[c], DecimalText(hz, 6).c_str(),
                                 DecimalText(kPmrBandLow, 6).c_str(),
                                 DecimalText(kPmrBandHigh, 6).c_str()));
            break;
        }
    }
    Put(m, CL_Mch_FreqR, DecimalText(*rx, 6));
    Put(m, CL_Mch_FreqT, DecimalText(*tx, 6));
    Put(m, CL_Mch_TxInh, Item("GI_Sheet_Sel_Mch_CH_TxInh", duplex == "off" ? 1 : 0));
    return true;
}

// The display's length: a longer name is cut, and said so. A character the
// display cannot show is left in, for the cell to refuse with the reason.
bool ChirpRows::MapName(const Fields& f, Mapped& m) {
    std::string name;
    for (const char c : f[kName]) name += c == '%' ? std::string("%%") : std::string(1, c);
    if (!FirstUnshownCharacter(name)) {
        const std::vector<uint8_t> bytes = SegmentTextBytes(name);
        if (FitSegmentText(name, kNameLength).positions > kNameLength) {
            const std::string kept =
                SegmentTextForm(std::span(bytes).first(kNameLength), false);
            outcome_.Note(Format("%s, column \"Name\": '%s' cut to '%s'", f.where.c_str(),
                                 f[kName].c_str(), kept.c_str()));
            name = kept;
        }
    }
    Put(m, CL_Mch_Text, name);
    return true;
}

bool ChirpRows::MapMode(const Fields& f, Mapped& m) {
    const std::string mode = TrimBlanks(f[kMode]);
    if (mode != "NFM" && mode != "FM") {
        outcome_.Refuse(Refused(f, kMode, "this radio has FM channels only, NFM or FM"));
        return false;
    }
    if (import_.ColumnOf(CL_Mch_Nar) >= 0)
        Put(m, CL_Mch_Nar, Item("GI_Sheet_Sel_Mch_Nar", mode == "NFM" ? 1 : 0));
    else if (mode == "FM")
        outcome_.Note(Format("%s, column \"Mode\": 'FM' stored as NFM: the channels of this "
                             "radio are narrow",
                             f.where.c_str()));
    return true;
}

bool ChirpRows::MapPowerAndSkip(const Fields& f, Mapped& m) {
    const std::string skip = TrimBlanks(f[kSkip]);
    if (!skip.empty() && skip != "S" && skip != "P") {
        outcome_.Refuse(Refused(f, kSkip, "\"\" scans the channel, S skips it"));
        return false;
    }
    m.skip = skip == "S";
    const std::string power = TrimBlanks(f[kPower]);
    if (power.empty()) return true;
    const bool milli = power.size() > 2 && power.compare(power.size() - 2, 2, "mW") == 0;
    const bool watts = !milli && power.back() == 'W';
    const auto number = FieldNumber(power.substr(0, power.size() - (milli ? 2 : 1)));
    if ((!milli && !watts) || !number) {
        outcome_.Refuse(Refused(f, kPower, "a power in watts, such as 0.5W"));
        return false;
    }
    const int64_t milliwatts = number->Scaled(milli ? 0 : 3);
    Put(m, CL_Mch_RfPo, Item("GI_Sheet_Sel_Mch_RfPwr", NearestPowerLevel(variant_, milliwatts)));
    return true;
}

// The rows in Location order from the bank's first position on; a row that
// scans keeps the scan lists of the channel it replaces, or takes list 1.
void ChirpRows::Place() {
    EepromImage& image = import_.Doc().Working();
    const int bank = how_.bank.value_or(0);
    const int size = BankSize(image, bank);
    const int room = size + std::max(0, FreeChannelSlots(image));
    if (picked_ > room) {
        outcome_.Refuse(Format("%d channels are picked, and bank %d takes %d: its %d positions "
                               "and %d free slots; pick fewer",
                               picked_, bank + 1, room, size, room - size));
        return;
    }
    auto sheet = BuildBankSheet(bank, import_.Doc(), import_.Cells());
    const int scanColumn = import_.ColumnOf(CL_Mch_Scan);
    int position = 0;
    for (auto& [location, m] : kept_) {
        if (scanColumn >= 0) {
            std::string scan = m.skip ? kNoScanList : kFirstScanList;
            const int slot = BankFirstSlot(image, bank) + position;
            if (!m.skip && position < size && ChannelPresent(import_.Doc(), slot)) {
                const std::string now = CellValueText(
                    import_.Cells(), import_.CellFor(*sheet, static_cast<size_t>(scanColumn), slot));
                if (now.find_first_not_of('_') != std::string::npos) scan = now;
            }
            m.values.emplace_back(static_cast<size_t>(scanColumn), scan);
        }
        import_.Place(bank, position++, std::move(m.values), m.where);
    }
}

}  // namespace

bool IsChirpHeader(const std::vector<std::string>& fields) {
    bool location = false, frequency = false;
    for (const std::string& field : fields) {
        location |= TrimBlanks(field) == kHeadings[kLocation];
        frequency |= TrimBlanks(field) == kHeadings[kFrequency];
    }
    return location && frequency;
}

void ReadChirpTable(ChannelImport& import, CsvReader& reader, const CsvRecord& header,
                    const TableImport& how, ImportOutcome& outcome) {
    ChirpRows rows(import, how, outcome);
    if (!rows.Header(header)) return;
    CsvRecord record;
    while (reader.Next(&record)) {
        if (std::all_of(record.fields.begin(), record.fields.end(),
                        [](const std::string& f) { return TrimBlanks(f).empty(); }))
            continue;
        rows.Row(record);
    }
    if (!reader.Error().empty()) outcome.Refuse(reader.Error());
    rows.Place();
}

PowerLevels PowerLevelsOf(int variant) {
    // The rated output of each level: a licensed radio, and the PMR446
    // variants within the band's 500 mW.
    if (variant == kVariantLmr) return {{5000, 2500, 1000, 500}};
    return {{500, 250, 100, 50}};
}

int NearestPowerLevel(int variant, int64_t milliwatts) {
    const PowerLevels levels = PowerLevelsOf(variant);
    int best = 0;
    for (int i = 1; i < 4; ++i) {
        if (std::llabs(levels.milliwatts[i] - milliwatts) <
            std::llabs(levels.milliwatts[best] - milliwatts))
            best = i;
    }
    return best;
}

}  // namespace parlo
