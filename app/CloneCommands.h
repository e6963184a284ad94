#pragma once
// The three clone commands end to end, without windows: read from radio,
// write to radio and clone information. They take the document, the clone
// manager (whose port, speed and view the caller sets) and the prompts, and
// report their outcome to a completion. The identify and read handlers they
// install judge what the radio sends before anything reaches the document.
#include <cstdint>
#include <functional>
#include <vector>

#include "app/Document.h"
#include "clone/CloneManager.h"

namespace parlo {

class CloneCommands {
public:
    // Outcomes besides the clone statuses (0 success, else the failure).
    static constexpr int kCancelled = -1;  // the user said no
    static constexpr int kRefused = -2;    // the document cannot be written
    static constexpr int kBusy = -3;       // another operation runs
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
    // caution first in maker mode, then the confirmation), identifies again
    // and writes a prepared copy of the working image.
    void Write(bool makerMode, Done done);
    // Identifies; on success Identity() holds the block to show.
    void Information(Done done);

    // The last identity block accepted, and its answer's codes.
    const std::vector<uint8_t>& Identity() const { return identity_; }
    int32_t RadioCode1() const { return radioCode1_; }
    int32_t RadioCode2() const { return radioCode2_; }

    // The write range of a prepared copy: from 0x0100 (maker mode 0x0000) to
    // the used end at 0x0112 rounded down to 128, plus 127.
    static RangeList WriteRanges(const EepromImage& prepared, bool makerMode);

private:
    void JudgeIdentity(CloneResult& result);
    void JudgeReceived(CloneResult& result);
    bool StartIdentify(std::function<void(CloneResult&)> then, const Done& done);
    void WriteConfirmed(bool makerMode, const Done& done);

    Document& document_;
    CloneManager& manager_;
    std::vector<uint8_t> identity_;
    int32_t radioCode1_ = 0;
    int32_t radioCode2_ = 0;
};

}  // namespace parlo
