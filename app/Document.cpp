#include "app/Document.h"

#include "cells/ChannelRoom.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "model/WorkingImage.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"
#include "platform/ProgramInfo.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"

namespace parlo {

namespace {

// The bank sheet grows a row when a channel is appended.

}  // namespace

Document::Document() {
    working_.SetSize(kImageSize);
    default_.Assign(working_);
    previousWorking_ = SetWorkingImage(&working_);
}

Document::~Document() {
    // Only the document whose image is the working image hands it back.
    if (HasWorkingImage() && &WorkingImage() == &working_) SetWorkingImage(previousWorking_);
}

int Document::Variant() const { return CurrentVariant(); }

std::string Document::InitialFilePath(int variant) {
    return DataDir() + OvlText("GI_App_InitialFile", variant);
}

bool Document::SelectModel(int variant, std::string* problem) {
    EepromImage fresh;
    fresh.SetSize(kImageSize);
    // One box names the file: the caller's.
    std::string why = InitialFileProblem(InitialFilePath(variant), fresh);
    if (!why.empty()) {
        if (problem != nullptr) *problem = std::move(why);
        return false;
    }
    UnpackFull(fresh);
    default_.Assign(fresh);
    SetCurrentVariant(variant);
    return true;
}

void Document::NewFromDefaults() {
    working_.Assign(default_);
    RebuildModelData();
    MarkUnmodified();
    fileName_.clear();
}

bool Document::RebuildModelData() { return Pack(working_, PackMode::Rebuild, Variant()); }

bool Document::PrepareImage(EepromImage& image, PackMode mode) const {
    return Pack(image, mode, Variant());
}

bool Document::AfterLoad(std::string* problem) {
    Unpack(working_);
    const int variant = VariantFromImage(working_);
    if (variant != Variant() || default_.GetByte(0) == 0) {
        if (!SelectModel(variant, problem)) return false;
    }
    // The image is now in this program's layout, whatever map revision the
    // radio that sent it reported.
    working_.SetByte(kAddrMapRevision, kMapRevision);
    return RebuildModelData();
}

bool Document::AppendChannel(int bank) {
    if (bank < 0 || bank >= kBankCount) return false;
    if (!ChannelSlotFree(working_)) {
        ShowNoRoom(working_);
        return false;
    }
    const int size = BankSize(working_, bank);
    uint32_t flags = 0;
    ChannelArray(working_, default_, ChannelKindOf(Variant()))
        .InsertAt(BankFirstSlot(working_, bank) + size, flags);
    SetBankSize(working_, bank, size + 1);
    RebuildModelData();
    if (HasEventManager()) Events().Post(ev::kChannelAppended);
    return true;
}

void Document::InsertChannel(int bank, int slot) {
    uint32_t flags = 0;
    ChannelArray(working_, default_, ChannelKindOf(Variant())).InsertAt(slot, flags);
    SetBankSize(working_, bank, BankSize(working_, bank) + 1);
}

void Document::DeleteChannel(int bank, int slot) {
    uint32_t flags = 0;
    ChannelArray(working_, default_, ChannelKindOf(Variant())).DeleteAt(slot, flags);
    SetBankSize(working_, bank, BankSize(working_, bank) - 1);
}

void Document::MarkUnmodified() {
    snapshot_.Assign(working_);
    modified_ = false;
    savedState_ = true;
}

bool Document::IsModified() {
    if (!modified_ && working_.Differs(snapshot_)) modified_ = true;
    return modified_;
}

}  // namespace parlo
