#pragma once
// Backups of a radio's memory, taken before it is written: clone files in a
// folder of their own, named by the radio's serial number and the time, each
// saying in its comment whose memory it holds. A backup is never replaced
// or deleted.
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "clone/CloneFile.h"
#include "model/EepromImage.h"
#include "platform/SafeFile.h"

namespace parlo {

// $XDG_DATA_HOME/parlo/backups, or ~/.local/share/parlo/backups without it.
std::string BackupFolder();

// The file name of a backup: "<serial>_<YYYY-MM-DD>_<HH-MM-SS>.icf" in local
// time, the serial as the clone information shows it ("unknown" when the
// radio reports none).
std::string BackupFileName(const std::vector<uint8_t>& identity, std::time_t when);

// The comment of a file holding a radio's memory as it sent it: the radio's
// serial number and the time.
std::string AsReadComment(const std::vector<uint8_t>& identity, std::time_t when);

// Writes 0x0000..0x7D7F of `image`, as the radio sent it, into a save
// opened on `path`, with `comment`.
FileOutcome SaveAsRead(SafeFileWriter& opened, const std::string& path, const EepromImage& image,
                       const std::string& comment);

// A backup in two steps: opened before the radio is read, so that a folder
// that cannot take it stops the write before the radio is touched, and
// saved once the radio's memory has arrived. Dropped unsaved, it leaves
// nothing behind.
class BackupFile {
public:
    // Creates `folder` when missing and prepares the file under
    // BackupFileName, with "-2", "-3", ... added when that file exists.
    // False when the folder cannot take it.
    bool Open(const std::vector<uint8_t>& identity, const std::string& folder, std::time_t when);
    // Saves 0x0000..0x7D7F of `image`, as the radio sent it. Returns the
    // path once the file is on disk, or empty when it could not be saved (a
    // message has said why).
    std::string Save(const EepromImage& image);

private:
    SafeFileWriter out_;
    std::string path_;
    std::string comment_;
};

// Opens and saves at once.
std::string SaveBackup(const EepromImage& image, const std::vector<uint8_t>& identity,
                       const std::string& folder, std::time_t when);

}  // namespace parlo
