#include "app/CloneCommands.h"

#include <algorithm>
#include <ctime>

#include "app/CloneBackup.h"
#include "clone/CloneMessages.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/CloneInfo.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/Prompts.h"

namespace parlo {

namespace {

constexpr int kDifferencesNamed = 8;

}  // namespace

CloneCommands::CloneCommands(Document& document, CloneManager& manager)
    : document_(document), manager_(manager) {
    manager_.SetIdentifyHandler([this](CloneResult& r) { JudgeIdentity(r); });
    manager_.SetReadHandler([this](CloneResult& r) { JudgeReceived(r); });
}

CloneCommands::~CloneCommands() {
    manager_.SetIdentifyHandler(nullptr);
    manager_.SetReadHandler(nullptr);
}

// Messages carry the manager's caption, which tells radios apart when
// several are written at once.
MsgAnswer CloneCommands::Ask(const std::string& text, MsgIcon icon, MsgButtons buttons) const {
    return prompts().Message(manager_.MessageCaption(), text, icon, buttons);
}

void CloneCommands::JudgeIdentity(CloneResult& r) {
    if (r.status != kCloneOk || r.operation != kOpIdentify) return;
    if (r.code1 != kModelCode) {
        r.status = kCloneModel;
        return;
    }
    radioCode1_ = r.code1;
    radioCode2_ = r.code2;
    if (r.identity.Length() != kIdentityLength || r.identity.At(0) != kIdentityLength) {
        r.status = kCloneModel;
        return;
    }
    identity_.assign(r.identity.Data(), r.identity.Data() + r.identity.Length());
    document_.SetIdentity(identity_);  // the clone information cells show it
    if (identity_[kIdentityMapRevision] > kMapRevision) r.status = kCloneMapRevision;
}

// A backup keeps whatever the radio holds; a check of a write compares with
// what was sent; only a read for the document must be an image of this radio.
void CloneCommands::JudgeReceived(CloneResult& r) {
    if (r.status != kCloneOk || r.operation != kOpRead) return;
    switch (purpose_) {
        case ReadPurpose::Document:
            if (!ValidateContent(r.image, document_.Working(), true)) {
                r.status = kCloneContent;
            } else if (IsNewerData(r.image)) {
                r.status = kCloneNewerData;
            }
            break;
        case ReadPurpose::Backup: break;
        case ReadPurpose::Verify: {
            const std::string differences =
                Differences(sent_, sentRanges_, r.image, IdentityReadEnd(identity_));
            if (!differences.empty()) {
                r.status = kCloneVerify;
                r.detail = FillIn(OvlText("GI_Mess_CloneVerify_Differs"), {differences});
            }
            break;
        }
    }
}

std::string CloneCommands::Differences(const EepromImage& sent, const RangeList& ranges,
                                       const EepromImage& read, int32_t readEnd) {
    std::string named;
    int count = 0;
    ForEachRange(ranges, sent, [&](int32_t first, int32_t last) {
        for (int32_t a = first; a <= last && count < kDifferencesNamed; ++a) {
            const bool same =
                a <= readEnd && read.IsValidAddress(a) && read.GetByte(a) == sent.GetByte(a);
            if (same) continue;
            named += (named.empty() ? "" : ", ") + Format("%04X", static_cast<unsigned>(a));
            ++count;
        }
    });
    return named;
}

bool CloneCommands::StartIdentify(std::function<void(CloneResult&)> then, const Done& done) {
    manager_.SetCodes(kModelCode, kExtraCode);
    const bool started = manager_.Identify([then = std::move(then), done](CloneResult& r) {
        if (r.status != kCloneOk) {
            done(r.status);
        } else {
            then(r);
        }
    });
    if (!started) done(kBusy);
    return started;
}

// The whole range the radio reports, whatever the purpose: a radio sends
// nothing less.
bool CloneCommands::StartRead(ReadPurpose purpose, std::function<void(CloneResult&)> then,
                              const Done& done) {
    if (manager_.IsBusy()) {
        done(kBusy);
        return false;
    }
    purpose_ = purpose;
    manager_.SetImageSize(document_.Working().GetSize());
    manager_.SetNextStage(purpose == ReadPurpose::Backup   ? CloneStage::Backup
                          : purpose == ReadPurpose::Verify ? CloneStage::Verify
                                                           : CloneStage::Read);
    const RangeList ranges = SingleRange(0, IdentityReadEnd(identity_));
    const bool started =
        manager_.Read(ranges, [this, then = std::move(then), done](CloneResult& r) {
            purpose_ = ReadPurpose::Document;
            if (r.status != kCloneOk) return done(r.status);
            then(r);
        });
    if (!started) {
        purpose_ = ReadPurpose::Document;
        done(kBusy);
    }
    return started;
}

void CloneCommands::Read(Done done) {
    if (manager_.IsBusy()) return done(kBusy);
    StartIdentify(
        [this, done](CloneResult&) {
            StartRead(
                ReadPurpose::Document,
                [this, done](CloneResult& r) {
                    received_.Assign(r.image);
                    document_.Working().Assign(r.image);
                    if (std::string problem; !document_.AfterLoad(&problem)) fatal(problem);
                    document_.MarkModified();
                    document_.SetFileName("");
                    done(kCloneOk);
                },
                done);
        },
        done);
}

bool CloneCommands::HasChannelsToWrite() {
    if (UsedInSlotRange(document_.Working(), 0, kChannelSlots - 1) != 0) return true;
    Ask(OvlMessage("GI_AppMess_CloneErr_NoActualCh"), MsgIcon::Error, MsgButtons::Ok);
    return false;
}

void CloneCommands::Write(bool makerMode, Done done) {
    WriteOptions options;
    options.makerMode = makerMode;
    Write(options, std::move(done));
}

void CloneCommands::Write(const WriteOptions& options, Done done) {
    if (!HasChannelsToWrite()) return done(kRefused);
    if (manager_.IsBusy()) return done(kBusy);
    options_ = options;
    lastBackup_.clear();
    StartIdentify(
        [this, done](CloneResult&) {
            if (!PrepareCopy(done) || !FitsRadio(done)) return;
            if (options_.makerMode && Ask(OvlMessage("GI_Mess_Maker_Caution"), MsgIcon::Warning,
                                          MsgButtons::OkCancel) != MsgAnswer::Ok)
                return done(kCancelled);
            if (Ask(OvlMessage("GI_Mess_Confirm_CloneWrite"), MsgIcon::Warning,
                    MsgButtons::OkCancel) != MsgAnswer::Ok)
                return done(kCancelled);
            // The radio may have been changed while the user was asked.
            StartIdentify(
                [this, done](CloneResult&) {
                    if (FitsRadio(done)) WriteConfirmed(done);
                },
                done);
        },
        done);
}

RangeList CloneCommands::WriteRanges(const EepromImage& prepared, bool makerMode) {
    const int32_t end = (prepared.GetWord(kAddrUsedEnd) & ~0x7F) + 0x7F;
    return SingleRange(makerMode ? 0x0000 : 0x0100, end);
}

bool CloneCommands::PrepareCopy(const Done& done) {
    sent_.Assign(document_.Working());
    if (!document_.PrepareImage(sent_, PackMode::Write)) {
        Ask(OvlMessage("GI_AppMess_ChErr_Overflow"), MsgIcon::Error, MsgButtons::Ok);
        done(kRefused);
        return false;
    }
    sentRanges_ = WriteRanges(sent_, options_.makerMode);
    return true;
}

// A range past the radio's memory would change the radio up to its end
// and then fail: nothing is sent.
bool CloneCommands::FitsRadio(const Done& done) {
    neededEnd_ = -1;
    ForEachRange(sentRanges_, sent_,
                 [&](int32_t, int32_t last) { neededEnd_ = std::max(neededEnd_, last); });
    radioEnd_ = IdentityReadEnd(identity_);
    if (neededEnd_ <= radioEnd_) return true;
    Ask(MemoryEndText(neededEnd_, radioEnd_), MsgIcon::Error, MsgButtons::Ok);
    done(kCloneMemoryEnd);
    return false;
}

std::string CloneCommands::HeadLine(int outcome) const {
    switch (outcome) {
        case kCloneOk: return {};
        case kCloneCancelled: return OvlText("GI_Mess_Clone_Progress", 5);
        case kClonePortOpen:
            return FillIn(OvlText("GI_Mess_CloneErr_Head", outcome), {manager_.PortText()});
        case kCloneMemoryEnd: return MemoryEndHead(neededEnd_, radioEnd_);
        default: return outcome > 0 ? OvlText("GI_Mess_CloneErr_Head", outcome) : std::string();
    }
}

void CloneCommands::WriteConfirmed(const Done& done) {
    sent_.SetByte(kAddrMapRevision, identity_[kIdentityMapRevision]);
    if (options_.backup) {
        TakeBackup(done);
    } else {
        SendCopy(done);
    }
}

// The write starts only once the radio's memory is safely on disk, and the
// radio is read only once the backup's file could be created.
void CloneCommands::TakeBackup(const Done& done) {
    const std::string folder =
        options_.backupFolder.empty() ? BackupFolder() : options_.backupFolder;
    const auto failed = [this, folder, done] {
        backup_.reset();
        Ask(FillIn(OvlText("GI_Mess_CloneBackup_Failed"), {folder}), MsgIcon::Error,
            MsgButtons::Ok);
        done(kBackupFailed);
    };
    backup_ = std::make_unique<BackupFile>();
    if (!backup_->Open(identity_, folder, std::time(nullptr))) return failed();
    StartRead(
        ReadPurpose::Backup,
        [this, done, failed](CloneResult& r) {
            lastBackup_ = backup_->Save(r.image);
            backup_.reset();
            if (lastBackup_.empty()) return failed();
            SendCopy(done);
        },
        [this, done](int outcome) {
            backup_.reset();  // nothing of it stays behind
            done(outcome);
        });
}

void CloneCommands::SendCopy(const Done& done) {
    manager_.SetImageSize(sent_.GetSize());
    const bool started = manager_.Write(sent_, sentRanges_, [this, done](CloneResult& r) {
        if (r.status != kCloneOk) return done(r.status);
        if (options_.verify) return Verify(done);
        Succeeded(done);
    });
    if (!started) done(kBusy);
}

void CloneCommands::Verify(const Done& done) {
    StartRead(
        ReadPurpose::Verify, [this, done](CloneResult&) { Succeeded(done); }, done);
}

void CloneCommands::Succeeded(const Done& done) {
    std::string text = OvlMessage("GI_Mess_CloneWrite_Succeeded");
    if (!lastBackup_.empty())
        text += "\n" + FillIn(OvlText("GI_Mess_CloneWrite_Backup"), {lastBackup_});
    Ask(text, MsgIcon::Information, MsgButtons::Ok);
    done(kCloneOk);
}

void CloneCommands::Information(Done done) {
    if (manager_.IsBusy()) return done(kBusy);
    StartIdentify([done](CloneResult&) { done(kCloneOk); }, done);
}

}  // namespace parlo
