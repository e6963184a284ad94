#pragma once
// The environment: the single-instance guard, the user's settings kept
// between runs (serial port, last folder, recent files, view options,
// main window placement, model variant) and the map from port numbers to
// serial devices. Only the process holding the guard saves the settings.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/RecentFiles.h"
#include "platform/InstanceLock.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"

namespace parlo {

// The stored values as loaded (clamped), defaulted or changed since.
struct SettingsValues {
    int32_t marker = 0;  // kValidMarker once loaded or defaulted
    int32_t fontSizePercentage = 0;
    int32_t toolbarVisible = 0;  // 0 or 1
    int32_t comPort = 0;
    int32_t comSpeedHigh = 0;  // 0 or 1
    std::string currentDirectory;
    int32_t left = 0, top = 0, width = 0, height = 0;
    int32_t splitterV = 0;
    int32_t modelType = 0;  // a signed byte
};

class AppSettings {
public:
    static constexpr uint32_t kValidMarker = 753951;
    static constexpr int32_t kRecentCapacity = 10;
    static constexpr int32_t kMaxComPort = 256;
    // The range of the stored window place, size and splitter position; the
    // main window fits them to the screen it opens on.
    static constexpr int32_t kMinScreenNumber = -32768;
    static constexpr int32_t kMaxScreenNumber = 32767;
    // The tree panel's width until the user moves the splitter.
    static constexpr int32_t kDefaultSplitterV = 200;

    // With a guard: takes it; only when this process is the only instance
    // are the settings loaded (defaults when they cannot be read) and saved
    // at the end. Without one (nullptr): a reader that loads them and never
    // saves. The store and the screen must outlive the environment.
    AppSettings(SettingsStore& store, const Screen& screen, InstanceLock* guard);
    // Saves when this process holds the guard, then lets the guard go.
    ~AppSettings();
    AppSettings(const AppSettings&) = delete;
    AppSettings& operator=(const AppSettings&) = delete;

    // True when this process holds the guard. False in a second instance,
    // whose settings stay unset, and in a reader.
    bool InstanceOk() const { return instanceOk_; }
    bool SettingsValid() const { return static_cast<uint32_t>(s_.marker) == kValidMarker; }

    // Reads every value; false, with the values read so far, as soon as one
    // cannot be read. The port map is read as well.
    bool Load();
    void Defaults();
    // Writes every value; refused (false) unless this process holds the
    // guard and its settings are valid.
    bool Save();

    // The values in the order of the settings table, recent files as
    // Recent0..Recent9, as (name, text) pairs.
    std::vector<std::pair<std::string, std::string>> NamedValues();

    const SettingsValues& Values() const { return s_; }
    uint32_t ValidityMarker() const { return static_cast<uint32_t>(s_.marker); }
    int32_t FontSizePercentage() const { return s_.fontSizePercentage; }
    void SetFontSizePercentage(int32_t v) { s_.fontSizePercentage = v; }
    bool ToolbarVisible() const { return s_.toolbarVisible != 0; }
    void SetToolbarVisible(bool v) { s_.toolbarVisible = v ? 1 : 0; }
    int32_t ComPort() const { return s_.comPort; }
    void SetComPort(int32_t v) { s_.comPort = v; }
    bool ComSpeedHigh() const { return s_.comSpeedHigh != 0; }
    void SetComSpeedHigh(bool v) { s_.comSpeedHigh = v ? 1 : 0; }
    const std::string& CurrentDirectory() const { return s_.currentDirectory; }
    void SetCurrentDirectory(const std::string& v) { s_.currentDirectory = v; }
    int32_t Left() const { return s_.left; }
    int32_t Top() const { return s_.top; }
    int32_t Width() const { return s_.width; }
    int32_t Height() const { return s_.height; }
    void SetWindowBounds(int32_t left, int32_t top, int32_t width, int32_t height);
    int32_t SplitterV() const { return s_.splitterV; }
    void SetSplitterV(int32_t v) { s_.splitterV = v; }
    int8_t ModelType() const { return static_cast<int8_t>(s_.modelType); }
    void SetModelType(int8_t v) { s_.modelType = v; }
    RecentFiles& Recent() { return recent_; }

    // The serial device of port number n: the mapped path, else
    // /dev/ttyUSB<n-1>; empty for n below 1.
    std::string PortDevice(int32_t n) const;
    const std::map<int32_t, std::string>& PortMap() const { return ports_; }
    void SetPortDevice(int32_t n, const std::string& path);

    // Parlo's own [Cloning] group: read the radio back after a write and
    // compare; save the radio's memory before writing. Both on unless the
    // file says 0.
    bool VerifyAfterWrite() const { return verifyAfterWrite_; }
    void SetVerifyAfterWrite(bool on) { verifyAfterWrite_ = on; }
    bool BackupBeforeWrite() const { return backupBeforeWrite_; }
    void SetBackupBeforeWrite(bool on) { backupBeforeWrite_ = on; }

    // Parlo's own [Printing] group: where the last print went, a PDF file
    // or a printer (empty when it went to a file), for the print dialog to
    // offer again.
    const std::string& LastPdfFile() const { return lastPdfFile_; }
    const std::string& LastPrinter() const { return lastPrinter_; }
    void SetLastPrintTarget(const std::string& pdfFile, const std::string& printer);

private:
    void LoadPorts();
    void LoadCloning();
    void LoadPrinting();

    SettingsStore& store_;
    const Screen& screen_;
    InstanceLock* guard_;
    bool instanceOk_ = false;
    SettingsValues s_;
    RecentFiles recent_{kRecentCapacity};
    std::map<int32_t, std::string> ports_;
    bool verifyAfterWrite_ = true;
    bool backupBeforeWrite_ = true;
    std::string lastPdfFile_;
    std::string lastPrinter_;
};

// The process-wide environment. Using it before one is installed is a
// program error.
AppSettings& Settings();
// Installs e (not owned) and returns the previous one.
AppSettings* SetSettings(AppSettings* e);

}  // namespace parlo
