#include "app/AppSettings.h"

#include <algorithm>
#include <charconv>
#include <optional>

#include "platform/Fatal.h"
#include "platform/ProcessWide.h"

namespace parlo {

namespace {

using S = SettingsValues;

int32_t AsStored(int32_t v) { return v; }
int32_t FitComPort(int32_t v) {
    return v > AppSettings::kMaxComPort ? AppSettings::kMaxComPort : v <= 0 ? 1 : v;
}
int32_t FitFlag(int32_t v) { return std::clamp(v, 0, 1); }
int32_t FitFontSize(int32_t v) { return std::clamp(v, 25, 1000); }
int32_t NonZero(int32_t v) { return v != 0 ? 1 : 0; }
// Window places and sizes: no screen has more pixels than a 16-bit
// coordinate holds, and a number beyond would ask for a window of gigabytes.
int32_t FitScreenNumber(int32_t v) {
    return std::clamp(v, AppSettings::kMinScreenNumber, AppSettings::kMaxScreenNumber);
}
int32_t LowByte(int32_t v) { return static_cast<int8_t>(v & 0xFF); }

enum class Kind { Number, Text, RecentList };

// One stored value: where it lives, and how a loaded number is made to fit.
struct Value {
    const char* group;
    const char* name;  // "Recent%d" for the recent list
    Kind kind;
    int32_t S::*number;
    int32_t (*fit)(int32_t);
    std::string S::*text;
};

// In the order they are loaded, saved and listed.
const Value kValues[] = {
    {"Global", "BBT", Kind::Number, &S::marker, AsStored, nullptr},
    {"Global", "ComPort", Kind::Number, &S::comPort, FitComPort, nullptr},
    {"Global", "ComSpeedHigh", Kind::Number, &S::comSpeedHigh, FitFlag, nullptr},
    {"Global", "Current Directory", Kind::Text, nullptr, nullptr, &S::currentDirectory},
    {"Recent File List", "Recent%d", Kind::RecentList, nullptr, nullptr, nullptr},
    {"View Option", "FontSize Percentage", Kind::Number, &S::fontSizePercentage, FitFontSize,
     nullptr},
    {"View Option", "Toolbar Visible", Kind::Number, &S::toolbarVisible, NonZero, nullptr},
    {"Window Position", "Left", Kind::Number, &S::left, FitScreenNumber, nullptr},
    {"Window Position", "Top", Kind::Number, &S::top, FitScreenNumber, nullptr},
    {"Window Position", "Width", Kind::Number, &S::width, FitScreenNumber, nullptr},
    {"Window Position", "Height", Kind::Number, &S::height, FitScreenNumber, nullptr},
    {"Window Position", "SplitterV", Kind::Number, &S::splitterV, FitScreenNumber, nullptr},
    {"Setup", "ModelType", Kind::Number, &S::modelType, LowByte, nullptr},
};

const char* const kPortsGroup = "Ports";
const char* const kPortPrefix = "Port";
const char* const kCloningGroup = "Cloning";
const char* const kVerifyName = "VerifyAfterWrite";
const char* const kBackupName = "BackupBeforeWrite";
const char* const kPrintingGroup = "Printing";
const char* const kPdfFileName = "PdfFile";
const char* const kPrinterName = "Printer";

std::string RecentName(int32_t n) { return Format("Recent%d", static_cast<int>(n)); }

// "Port<n>" with n a port number, or nothing.
std::optional<int32_t> PortNumber(const std::string& name) {
    const std::string prefix = kPortPrefix;
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return {};
    int32_t n = 0;
    const char* first = name.data() + prefix.size();
    const char* last = name.data() + name.size();
    const auto [end, ec] = std::from_chars(first, last, n);
    if (ec != std::errc() || end != last || n < 1 || n > AppSettings::kMaxComPort) return {};
    return n;
}

}  // namespace

AppSettings::AppSettings(SettingsStore& store, const Screen& screen, InstanceLock* guard)
    : store_(store), screen_(screen), guard_(guard) {
    // A guard that cannot be made at all must not keep the program from
    // starting; it then runs as the only instance.
    instanceOk_ = guard_ != nullptr && guard_->TryAcquire() != LockResult::HeldElsewhere;
    if (guard_ != nullptr && !instanceOk_) return;
    if (!Load() || !SettingsValid()) Defaults();
}

AppSettings::~AppSettings() {
    if (!instanceOk_) return;
    Save();  // a failure to write at the end cannot be helped
    guard_->Release();
}

bool AppSettings::Load() {
    LoadPorts();
    LoadCloning();
    LoadPrinting();
    for (const Value& v : kValues) {
        switch (v.kind) {
            case Kind::Number: {
                const std::optional<int32_t> n = store_.ReadInt(v.group, v.name);
                if (!n) return false;
                s_.*v.number = v.fit(*n);
                break;
            }
            case Kind::Text: {
                std::optional<std::string> t = store_.ReadText(v.group, v.name);
                if (!t) return false;
                s_.*v.text = std::move(*t);
                break;
            }
            case Kind::RecentList:
                recent_.Clear();
                for (int32_t n = 0; n < kRecentCapacity; ++n) {
                    const std::optional<std::string> path = store_.ReadText(v.group, RecentName(n));
                    if (!path) return false;
                    // Unused positions are saved as empty texts.
                    if (!path->empty()) recent_.AddBack(*path);
                }
                break;
        }
    }
    return true;
}

void AppSettings::LoadPorts() {
    ports_.clear();
    for (const std::string& name : store_.Names(kPortsGroup)) {
        const std::optional<int32_t> n = PortNumber(name);
        if (!n) continue;
        const std::optional<std::string> path = store_.ReadText(kPortsGroup, name);
        if (path && !path->empty()) ports_[*n] = *path;
    }
}

// Missing or unreadable values keep their default, on.
void AppSettings::LoadCloning() {
    verifyAfterWrite_ = store_.ReadInt(kCloningGroup, kVerifyName).value_or(1) != 0;
    backupBeforeWrite_ = store_.ReadInt(kCloningGroup, kBackupName).value_or(1) != 0;
}

void AppSettings::LoadPrinting() {
    lastPdfFile_ = store_.ReadText(kPrintingGroup, kPdfFileName).value_or("");
    lastPrinter_ = store_.ReadText(kPrintingGroup, kPrinterName).value_or("");
}

void AppSettings::SetLastPrintTarget(const std::string& pdfFile, const std::string& printer) {
    if (!pdfFile.empty()) lastPdfFile_ = pdfFile;
    lastPrinter_ = printer;
}

void AppSettings::Defaults() {
    const ScreenSize screen = screen_.Size();
    s_.marker = static_cast<int32_t>(kValidMarker);
    s_.comPort = 1;
    s_.comSpeedHigh = 0;
    s_.currentDirectory.clear();
    recent_.Clear();
    s_.fontSizePercentage = 100;
    s_.toolbarVisible = 1;
    s_.width = std::min(800, static_cast<int32_t>(screen.width * 0.9));
    s_.height = std::min(600, static_cast<int32_t>(screen.height * 0.9));
    s_.left = (screen.width - s_.width) / 2;
    s_.top = static_cast<int32_t>((screen.height - s_.height) * 0.3);
    s_.splitterV = kDefaultSplitterV;
    s_.modelType = 3;
    verifyAfterWrite_ = backupBeforeWrite_ = true;
}

bool AppSettings::Save() {
    if (!instanceOk_ || !SettingsValid()) return false;
    for (const Value& v : kValues) {
        switch (v.kind) {
            case Kind::Number: store_.WriteInt(v.group, v.name, s_.*v.number); break;
            case Kind::Text: store_.WriteText(v.group, v.name, s_.*v.text); break;
            case Kind::RecentList:
                for (int32_t n = 0; n < kRecentCapacity; ++n) {
                    store_.WriteText(v.group, RecentName(n), recent_.Entry(n, ""));
                }
                break;
        }
    }
    for (const auto& [n, path] : ports_) {
        store_.WriteText(kPortsGroup, kPortPrefix + std::to_string(n), path);
    }
    store_.WriteInt(kCloningGroup, kVerifyName, verifyAfterWrite_ ? 1 : 0);
    store_.WriteInt(kCloningGroup, kBackupName, backupBeforeWrite_ ? 1 : 0);
    store_.WriteText(kPrintingGroup, kPdfFileName, lastPdfFile_);
    store_.WriteText(kPrintingGroup, kPrinterName, lastPrinter_);
    return store_.Flush();
}

std::vector<std::pair<std::string, std::string>> AppSettings::NamedValues() {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Value& v : kValues) {
        switch (v.kind) {
            case Kind::Number: out.emplace_back(v.name, std::to_string(s_.*v.number)); break;
            case Kind::Text: out.emplace_back(v.name, s_.*v.text); break;
            case Kind::RecentList:
                for (int32_t n = 0; n < kRecentCapacity; ++n) {
                    out.emplace_back(RecentName(n), recent_.Entry(n, ""));
                }
                break;
        }
    }
    return out;
}

void AppSettings::SetWindowBounds(int32_t left, int32_t top, int32_t width, int32_t height) {
    s_.left = left;
    s_.top = top;
    s_.width = width;
    s_.height = height;
}

std::string AppSettings::PortDevice(int32_t n) const {
    if (n < 1) return {};
    const auto it = ports_.find(n);
    return it != ports_.end() ? it->second : "/dev/ttyUSB" + std::to_string(n - 1);
}

void AppSettings::SetPortDevice(int32_t n, const std::string& path) {
    if (n < 1 || n > kMaxComPort) return;
    if (path.empty()) {
        ports_.erase(n);
    } else {
        ports_[n] = path;
    }
}

AppSettings& Settings() { return ProcessWide<AppSettings>::Get("No environment is installed."); }
AppSettings* SetSettings(AppSettings* p) { return ProcessWide<AppSettings>::Set(p); }

}  // namespace parlo
