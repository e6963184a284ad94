#pragma once
// Channel lists of the CHIRP program, in the CSV form it reads and writes:
// a header row naming the columns (Location, Name, Frequency, Duplex,
// Offset, Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, Mode, TStep,
// Skip, Comment, URCALL, RPT1CALL, RPT2CALL, then often RxDtcsCode,
// CrossMode, Power and more), one row per channel, CRLF line ends.
//
// Read: the rows in Location order (the ones picked) become the channels of
// one bank from its first position on, each value typed into its cell as
// the in-place editor takes it; the fields this radio has no place for
// (Comment, TStep, the call signs) are left out. Written: the channels of
// the banks chosen, Location 1 to n.
#include <optional>
#include <string>
#include <vector>

#include "app/ChannelTable.h"
#include "sheet/CsvTable.h"

namespace parlo {

// A header row of such a list: it names "Location" and "Frequency".
bool IsChirpHeader(const std::vector<std::string>& fields);

// Reads the rows after `header` into the import.
void ReadChirpTable(ChannelImport& import, CsvReader& reader, const CsvRecord& header,
                    const TableImport& how, ImportOutcome& outcome);

// The channels of one bank (0-4) or of every bank. A digital dPMR channel,
// which the format cannot hold, is left out with a note.
ExportOutcome ExportChirp(Document& doc, const DispatchFunction& cells, std::optional<int> bank);

// The output of a variant's power levels, in milliwatts, High first.
struct PowerLevels {
    int milliwatts[4];
};
PowerLevels PowerLevelsOf(int variant);
// The level nearest to `milliwatts`.
int NearestPowerLevel(int variant, int64_t milliwatts);

}  // namespace parlo
