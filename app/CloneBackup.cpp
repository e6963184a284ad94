#include "app/CloneBackup.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "app/FileMessages.h"
#include "clone/CloneFile.h"
#include "clone/CloneMessages.h"
#include "clone/ContentValidation.h"
#include "model/CloneInfo.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace fs = std::filesystem;

std::string BackupFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/parlo/backups";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/parlo/backups";
}

namespace {

std::string Serial(const std::vector<uint8_t>& identity) {
    const std::string serial = InfoTexts(identity).serial;
    return serial.empty() || serial == " " ? "unknown" : serial;
}

std::string LocalTime(std::time_t when, const char* format) {
    char text[64] = {};
    if (const std::tm* t = std::localtime(&when)) std::strftime(text, sizeof text, format, t);
    return text;
}

}  // namespace

std::string BackupFileName(const std::vector<uint8_t>& identity, std::time_t when) {
    return Serial(identity) + "_" + LocalTime(when, "%Y-%m-%d_%H-%M-%S") + ".icf";
}

bool BackupFile::Open(const std::vector<uint8_t>& identity, const std::string& folder,
                      std::time_t when) {
    path_.clear();
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) return false;
    const std::string name = BackupFileName(identity, when);
    const std::string stem = name.substr(0, name.size() - 4);
    std::string path = folder + "/" + name;
    for (int n = 2; fs::exists(path, error) || error; ++n) {
        if (n > 999) return false;
        path = folder + "/" + stem + "-" + std::to_string(n) + ".icf";
    }
    if (!out_.Open(path)) return false;
    path_ = path;
    comment_ = FillIn(OvlText("GI_Mess_CloneBackup_Comment"),
                      {Serial(identity), LocalTime(when, "%Y-%m-%d %H:%M:%S")});
    return true;
}

std::string AsReadComment(const std::vector<uint8_t>& identity, std::time_t when) {
    return FillIn(OvlText("GI_Mess_CloneRaw_Comment"),
                  {Serial(identity), LocalTime(when, "%Y-%m-%d %H:%M:%S")});
}

FileOutcome SaveAsRead(SafeFileWriter& opened, const std::string& path, const EepromImage& image,
                       const std::string& comment) {
    EepromImage copy;
    copy.Assign(image);
    CloneFile file;
    file.Attach(copy);
    file.SetModelCode(kModelCode);
    file.SetExtraCode(kExtraCode);
    file.SetMapRevision(kMapRevision);
    file.SetComment(comment);
    return file.Write(opened, path, SingleRange(0x0000, kRadioAreaEnd));
}

std::string BackupFile::Save(const EepromImage& image) {
    if (path_.empty()) return {};
    const std::string path = std::exchange(path_, {});
    if (ShowFileOutcome(SaveAsRead(out_, path, image, comment_)) != kFileOk) return {};
    return path;
}

std::string SaveBackup(const EepromImage& image, const std::vector<uint8_t>& identity,
                       const std::string& folder, std::time_t when) {
    BackupFile backup;
    if (!backup.Open(identity, folder, when)) return {};
    return backup.Save(image);
}

}  // namespace parlo
