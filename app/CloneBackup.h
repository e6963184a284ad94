#pragma once
// Backups of a radio's memory, taken before it is written: clone files in a
// folder of their own, named by the radio's serial number and the time, each
// saying in its comment whose memory it holds. A backup is never replaced
// or deleted.
#include <ctime>
#include <string>
#include <vector>

#include "model/EepromImage.h"

namespace parlo {

// $XDG_DATA_HOME/parlo/backups, or ~/.local/share/parlo/backups without it.
std::string BackupFolder();

// The file name of a backup: "<serial>_<YYYY-MM-DD>_<HH-MM-SS>.icf" in local
// time, the serial as the clone information shows it ("unknown" when the
// radio reports none).
std::string BackupFileName(const std::vector<uint8_t>& identity, std::time_t when);

// Saves 0x0000..0x7D7F of `image`, as the radio sent it, into `folder`
// (created when missing) under BackupFileName, with "-2", "-3", ... added
// when that file exists. Returns the path once the file is on disk, or empty
// when it could not be saved (a message has said why).
std::string SaveBackup(const EepromImage& image, const std::vector<uint8_t>& identity,
                       const std::string& folder, std::time_t when);

}  // namespace parlo
