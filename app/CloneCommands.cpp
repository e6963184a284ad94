#include "app/CloneCommands.h"

#include "clone/CloneInfo.h"
#include "clone/ContentValidation.h"
#include "clone/StoredIdentity.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/Fatal.h"
#include "platform/Prompts.h"

namespace parlo {

namespace {

MsgAnswer Ask(const char* key, MsgIcon icon, MsgButtons buttons) {
    return prompts().Message(OvlText("GI_Sys_AppTitle"), OvlMessage(key), icon, buttons);
}

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
    SetStoredIdentity(identity_);  // the clone information cells show it
    if (identity_[kIdentityMapRevision] > kMapRevision) r.status = kCloneMapRevision;
}

void CloneCommands::JudgeReceived(CloneResult& r) {
    if (r.status != kCloneOk || r.operation != kOpRead) return;
    if (!ValidateContent(r.image, document_.Working(), true)) {
        r.status = kCloneContent;
    } else if (IsNewerData(r.image)) {
        r.status = kCloneNewerData;
    }
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

void CloneCommands::Read(Done done) {
    if (manager_.IsBusy()) return done(kBusy);
    StartIdentify(
        [this, done](CloneResult&) {
            if (manager_.IsBusy()) return done(kBusy);
            const RangeList ranges = SingleRange(0, IdentityReadEnd(identity_));
            manager_.SetImageSize(document_.Working().GetSize());
            const bool started = manager_.Read(ranges, [this, done](CloneResult& r) {
                if (r.status != kCloneOk) return done(r.status);
                document_.Working().Assign(r.image);
                if (!document_.AfterLoad()) {
                    fatal(Format(
                        "Cannot open '%s'.",
                        Document::InitialFilePath(VariantFromImage(document_.Working())).c_str()));
                }
                document_.MarkModified();
                document_.SetFileName("");
                done(kCloneOk);
            });
            if (!started) done(kBusy);
        },
        done);
}

bool CloneCommands::HasChannelsToWrite() {
    if (UsedInSlotRange(document_.Working(), 0, kChannelSlots - 1) != 0) return true;
    Ask("GI_AppMess_CloneErr_NoActualCh", MsgIcon::Error, MsgButtons::Ok);
    return false;
}

void CloneCommands::Write(bool makerMode, Done done) {
    if (!HasChannelsToWrite()) return done(kRefused);
    if (manager_.IsBusy()) return done(kBusy);
    StartIdentify(
        [this, makerMode, done](CloneResult&) {
            if (makerMode && Ask("GI_Mess_Maker_Caution", MsgIcon::Warning, MsgButtons::OkCancel) !=
                                 MsgAnswer::Ok)
                return done(kCancelled);
            if (Ask("GI_Mess_Confirm_CloneWrite", MsgIcon::Warning, MsgButtons::OkCancel) !=
                MsgAnswer::Ok)
                return done(kCancelled);
            StartIdentify(
                [this, makerMode, done](CloneResult&) { WriteConfirmed(makerMode, done); }, done);
        },
        done);
}

RangeList CloneCommands::WriteRanges(const EepromImage& prepared, bool makerMode) {
    const int32_t end = (prepared.GetWord(kAddrUsedEnd) & ~0x7F) + 0x7F;
    return SingleRange(makerMode ? 0x0000 : 0x0100, end);
}

void CloneCommands::WriteConfirmed(bool makerMode, const Done& done) {
    EepromImage copy;
    copy.Assign(document_.Working());
    manager_.SetImageSize(copy.GetSize());
    if (!document_.PrepareImage(copy, PackMode::Write)) {
        Ask("GI_AppMess_ChErr_Overflow", MsgIcon::Error, MsgButtons::Ok);
        return done(kRefused);
    }
    const RangeList ranges = WriteRanges(copy, makerMode);
    copy.SetByte(kAddrMapRevision, identity_[kIdentityMapRevision]);
    const bool started = manager_.Write(copy, ranges, [done](CloneResult& r) {
        if (r.status == kCloneOk) {
            Ask("GI_Mess_CloneWrite_Succeeded", MsgIcon::Information, MsgButtons::Ok);
        }
        done(r.status);
    });
    if (!started) done(kBusy);
}

void CloneCommands::Information(Done done) {
    if (manager_.IsBusy()) return done(kBusy);
    StartIdentify([done](CloneResult&) { done(kCloneOk); }, done);
}

}  // namespace parlo
