#include "platform/ProgramInfo.h"

#include <filesystem>
#include <system_error>

namespace parlo {

namespace fs = std::filesystem;

namespace {

fs::path ExecutablePath() {
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : p;
}

std::string WithSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') dir += '/';
    return dir;
}

std::string& DataDirOverride() {
    static std::string dir;
    return dir;
}

}  // namespace

std::string ExecutableName() {
    std::string name = ExecutablePath().filename().string();
    return name.empty() ? std::string("parlo") : name;
}

std::string ExecutableDir() { return WithSlash(ExecutablePath().parent_path().string()); }

std::string DataDir() {
    if (!DataDirOverride().empty()) return DataDirOverride();
    const std::string beside = ExecutableDir();
    std::error_code ec;
    if (fs::exists(beside + "MV7105C.OVL", ec)) return beside;
    const fs::path installed = fs::path(beside) / ".." / "share" / "parlo";
    if (fs::exists(installed / "MV7105C.OVL", ec))
        return WithSlash(fs::weakly_canonical(installed, ec).string());
    return beside;
}

void SetDataDir(const std::string& dir) { DataDirOverride() = dir.empty() ? dir : WithSlash(dir); }

}  // namespace parlo
