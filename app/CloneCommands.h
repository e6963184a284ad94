#pragma once
// The three clone commands end to end, without windows: read from radio,
// write to radio and clone information. They take the document, the clone
// manager (whose port, speed and view the caller sets) and the prompts, and
// report their outcome to a completion. The identify and read handlers they
// install judge what the radio sends before anything reaches the document.
// A write may first save the radio's memory as a backup, and may read the
// radio back afterwards to check that it holds what was sent.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/CloneBackup.h"
#include "app/Document.h"
#include "clone/CloneManager.h"
#include "platform/Prompts.h"

namespace parlo {

// How a write goes.
struct WriteOptions {
    bool makerMode = false;    // from 0x0000, after the maker caution
    bool backup = false;       // read and save the radio's memory first
    bool verify = false;       // read back and compare afterwards
    std::string backupFolder;  // empty: BackupFolder()
};

class CloneCommands {
public:
    // Outcomes besides the clone statuses (0 success, else the failure).
    static constexpr int kCancelled = -1;     // the user said no
    static constexpr int kRefused = -2;       // the document cannot be written
    static constexpr int kBusy = -3;          // another operation runs
    static constexpr int kBackupFailed = -4;  // the backup could not be saved
    using Done = std::function<void(int outcome)>;

    // Installs the identify and read handlers in the manager and sets its
    // image size and codes.
    CloneCommands(Document& document, CloneManager& manager);
    ~CloneCommands();
    CloneCommands(const CloneCommands&) = delete;
    CloneCommands& operator=(const CloneCommands&) = delete;

    // Identify, read the range the radio reports, check it; on success the
    // working image is the radio's, loaded, modified and untitled. The caller
    // has offered to save the document before.
    void Read(Done done);
    // False, after telling the user, when no channel is in use: such a
    // document is never written.
    bool HasChannelsToWrite();
    // Refuses a document without channels; identifies, asks (the maker
    // caution first in maker mode, then the confirmation), identifies again,
    // saves the backup, writes a prepared copy of the working image and
    // verifies it, as the options say. A write range past the end of the
    // radio's memory ends with status 19 after each identify, before
    // anything is written. A difference found by the verification ends
    // with status 18, its message naming the first differing addresses.
    void Write(const WriteOptions& options, Done done);
    void Write(bool makerMode, Done done);
    // Identifies; on success Identity() holds the block to show.
    void Information(Done done);

    // The last identity block accepted, and its answer's codes.
    const std::vector<uint8_t>& Identity() const { return identity_; }
    int32_t RadioCode1() const { return radioCode1_; }
    int32_t RadioCode2() const { return radioCode2_; }
    // The image the last successful read received, as the radio sent it
    // (the document holds it loaded and re-packed).
    const EepromImage& Received() const { return received_; }
    // The backup the last write saved; empty when it saved none.
    const std::string& LastBackup() const { return lastBackup_; }
    // The head line of an outcome's message with its blanks filled (the
    // port, the addresses), for a line per radio; empty for success and
    // the outcomes that are not clone statuses.
    std::string HeadLine(int outcome) const;

    // The write range of a prepared copy: from 0x0100 (maker mode 0x0000) to
    // the used end at 0x0112 rounded down to 128, plus 127.
    static RangeList WriteRanges(const EepromImage& prepared, bool makerMode);

    // The text naming the first addresses (at most eight) where `read`
    // differs from `sent` in `ranges`; addresses past `readEnd` count as
    // differing. Empty when they agree.
    static std::string Differences(const EepromImage& sent, const RangeList& ranges,
                                   const EepromImage& read, int32_t readEnd);

private:
    // Why the next read runs: the document's, a backup's or a write's check.
    enum class ReadPurpose : uint8_t { Document, Backup, Verify };

    void JudgeIdentity(CloneResult& result);
    void JudgeReceived(CloneResult& result);
    bool StartIdentify(std::function<void(CloneResult&)> then, const Done& done);
    bool PrepareCopy(const Done& done);
    bool FitsRadio(const Done& done);
    void WriteConfirmed(const Done& done);
    void TakeBackup(const Done& done);
    void SendCopy(const Done& done);
    void Verify(const Done& done);
    bool StartRead(ReadPurpose purpose, std::function<void(CloneResult&)> then, const Done& done);
    void Succeeded(const Done& done);
    MsgAnswer Ask(const std::string& text, MsgIcon icon, MsgButtons buttons) const;

    Document& document_;
    CloneManager& manager_;
    std::vector<uint8_t> identity_;
    int32_t radioCode1_ = 0;
    int32_t radioCode2_ = 0;
    ReadPurpose purpose_ = ReadPurpose::Document;
    WriteOptions options_;
    EepromImage sent_;  // the prepared copy a write sends
    EepromImage received_;
    RangeList sentRanges_;
    std::string lastBackup_;
    std::unique_ptr<BackupFile> backup_;  // while the backup read runs
    // The last address the write range needs, and the radio's last.
    int32_t neededEnd_ = -1;
    int32_t radioEnd_ = -1;
};

}  // namespace parlo
