// Writing the channels as a list of the CHIRP program: read from the
// decoded records, so every number is exact.
#include <cstdlib>

#include "app/ChirpTable.h"
#include "cells/CellIds.h"
#include "codecs/FrequencyCodec.h"
#include "codecs/OverlayList.h"
#include "codecs/SegmentText.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "platform/NumberText.h"

namespace parlo {

namespace {

const std::vector<std::string> kHeader = {
    "Location", "Name",     "Frequency", "Duplex",   "Offset",     "Tone",      "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "Mode",  "TStep",      "Skip",      "Comment",
    "URCALL",   "RPT1CALL", "RPT2CALL",  "RxDtcsCode", "CrossMode", "Power"};
enum Col { kLocation, kName, kFrequency, kDuplex, kOffset, kTone, kRTone, kCTone, kDtcs,
           kDtcsPolarity, kMode, kTStep, kSkip, kComment, kUrCall, kRpt1, kRpt2, kRxDtcs,
           kCrossMode, kPower, kColCount };

// Beyond this a transmit frequency is no repeater's offset but a frequency
// of its own.
constexpr int64_t kLargestOffset = 100'000'000;

std::string Mhz(int64_t hz) { return DecimalText(hz, 6); }

// A number with its trailing zeros dropped, one decimal kept ("5.0", "0.25").
std::string ShortDecimal(int64_t units, int decimals) {
    std::string text = DecimalText(units, decimals);
    while (text.size() > 2 && text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    return text;
}

// The tuning step the frequency lies on, in kHz.
std::string TuningStep(int64_t hz) {
    for (const int step : {12500, 6250, 5000, 3125, 2500}) {
        if (hz % step == 0) {
            std::string text = DecimalText(step, 3);
            if (text.back() == '0') text.pop_back();
            return text;
        }
    }
    return "5.00";
}

enum class Kind { Off, Ctcss, Dtcs };
Kind KindOf(const Tone& t) { return !t.on ? Kind::Off : t.dtcs ? Kind::Dtcs : Kind::Ctcss; }

std::string DtcsCodeText(const Tone& t) {
    const int c = t.dtcsCode & 0x1FF;
    return IntegerText(c >> 6) + IntegerText((c >> 3) & 7) + IntegerText(c & 7);
}

// Fills the tone columns of a row from the channel's two tones.
void WriteTones(const Tone& rx, const Tone& tx, std::vector<std::string>& row) {
    const auto ctcss = [](const Tone& t) {
        return ListItem("GI_AppItem_Ctcss", t.ctcss).value_or("88.5");
    };
    const Kind r = KindOf(rx), t = KindOf(tx);
    row[kRTone] = t == Kind::Ctcss ? ctcss(tx) : r == Kind::Ctcss ? ctcss(rx) : "88.5";
    row[kCTone] = r == Kind::Ctcss ? ctcss(rx) : row[kRTone];
    row[kDtcs] = t == Kind::Dtcs ? DtcsCodeText(tx) : r == Kind::Dtcs ? DtcsCodeText(rx) : "023";
    row[kRxDtcs] = r == Kind::Dtcs ? DtcsCodeText(rx) : row[kDtcs];
    row[kDtcsPolarity] = std::string(1, t == Kind::Dtcs && tx.inverted ? 'R' : 'N') +
                         (r == Kind::Dtcs && rx.inverted ? 'R' : 'N');
    row[kCrossMode] = "Tone->Tone";
    if (r == Kind::Off && t == Kind::Off) row[kTone] = "";
    else if (r == Kind::Off && t == Kind::Ctcss) row[kTone] = "Tone";
    else if (r == Kind::Ctcss && t == Kind::Ctcss && rx == tx) row[kTone] = "TSQL";
    else if (r == Kind::Ctcss && t == Kind::Off) row[kTone] = "TSQL-R";
    else if (r == Kind::Dtcs && t == Kind::Dtcs && rx.dtcsCode == tx.dtcsCode) row[kTone] = "DTCS";
    else if (r == Kind::Dtcs && t == Kind::Off) row[kTone] = "DTCS-R";
    else {
        const auto name = [](Kind k) {
            return k == Kind::Off ? "" : k == Kind::Ctcss ? "Tone" : "DTCS";
        };
        row[kTone] = "Cross";
        row[kCrossMode] = std::string(name(t)) + "->" + name(r);
    }
}

// A name's text form as plain text: "%%" is "%".
std::string PlainName(const std::string& stored) {
    const std::vector<uint8_t> bytes(stored.begin(), stored.end());
    const std::string form = SegmentTextForm(bytes, false);
    std::string name;
    for (size_t i = 0; i < form.size(); ++i) {
        name += form[i];
        if (form[i] == '%' && i + 1 < form.size() && form[i + 1] == '%') ++i;
    }
    return name;
}

}  // namespace

ExportOutcome ExportChirp(Document& doc, const DispatchFunction& cells, std::optional<int> bank) {
    ExportOutcome outcome;
    outcome.bytes = CsvTable::Line(kHeader, ',');
    EepromImage& image = doc.Working();
    const int variant = doc.Variant();
    bool bandwidth = false;
    for (const ChannelColumn& c : ChannelColumns(doc, cells)) bandwidth |= c.cell == CL_Mch_Nar;
    int location = 0;
    for (int b = 0; b < kBankCount; ++b) {
        if (bank && *bank != b) continue;
        for (int p = 0; p < BankSize(image, b); ++p) {
            ChannelRecord r(image);
            r.Decode(ChannelKindOf(variant), BankFirstSlot(image, b) + p);
            if (!r.present) continue;
            const std::string where = Format("bank %d, position %d", b + 1, p + 1);
            if (variant == kVariantDPmr446 && r.Value(Field::SignalMode) == kSignalDigital) {
                outcome.notes.push_back(where + ": a digital channel has no place in the list "
                                                "and is left out");
                continue;
            }
            const Tone& rx = r.tones[0];
            const Tone& tx = r.tones[1];
            for (const Tone* t : {&rx, &tx}) {
                if (t->on && !t->dtcs && !ListItem("GI_AppItem_Ctcss", t->ctcss))
                    outcome.notes.push_back(where + ": a user tone has no place in the list "
                                                    "and is written as 88.5 Hz");
            }
            std::vector<std::string> row(kColCount);
            const int64_t rxHz = r.Value(Field::RxFreq), txHz = r.Value(Field::TxFreq);
            row[kLocation] = IntegerText(++location);
            row[kName] = PlainName(r.texts[0]);
            row[kFrequency] = Mhz(rxHz);
            row[kOffset] = Mhz(0);
            if (r.Value(Field::TxInhibit) != 0) {
                row[kDuplex] = "off";
                if (txHz != rxHz)
                    outcome.notes.push_back(where + ": the transmit frequency of a channel that "
                                                    "does not transmit is left out");
            } else if (txHz != rxHz && std::llabs(txHz - rxHz) < kLargestOffset) {
                row[kDuplex] = txHz > rxHz ? "+" : "-";
                row[kOffset] = Mhz(std::llabs(txHz - rxHz));
            } else if (txHz != rxHz) {
                row[kDuplex] = "split";
                row[kOffset] = Mhz(txHz);
            }
            WriteTones(rx, tx, row);
            row[kMode] = bandwidth && r.Value(Field::Narrow) == 0 ? "FM" : "NFM";
            row[kTStep] = TuningStep(rxHz);
            row[kSkip] = r.scanLists == 0 ? "S" : "";
            const int level = r.Value(Field::RfPower) & 3;
            row[kPower] = ShortDecimal(PowerLevelsOf(variant).milliwatts[level], 3) + "W";
            outcome.bytes += CsvTable::Line(row, ',');
        }
    }
    return outcome;
}

}  // namespace parlo
