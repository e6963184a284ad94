#include "app/Document.h"

#include "cells/ChannelRoom.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/BankMap.h"
#include "model/ChannelArray.h"
#include "model/ChannelMap.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayMessage.h"
#include "overlay/OverlayText.h"
#include "platform/ProgramInfo.h"

namespace parlo {

Document::Document(EventManager& events) : events_(events) {}

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
    Defaults().Assign(fresh);
    SetVariant(variant);
    return true;
}

void Document::NewFromDefaults() {
    Working().Assign(Defaults());
    RebuildModelData();
    MarkUnmodified();
    fileName_.clear();
}

bool Document::RebuildModelData() { return Pack(Working(), PackMode::Rebuild, Variant()); }

bool Document::PrepareImage(EepromImage& image, PackMode mode) const {
    return Pack(image, mode, Variant());
}

bool Document::AfterLoad(std::string* problem) {
    Unpack(Working());
    const int variant = VariantFromImage(Working());
    if (variant != Variant() || Defaults().GetByte(0) == 0) {
        if (!SelectModel(variant, problem)) return false;
    }
    // The image is now in this program's layout, whatever map revision the
    // radio that sent it reported.
    Working().SetByte(kAddrMapRevision, kMapRevision);
    return RebuildModelData();
}

bool Document::AppendChannel(int bank) { return parlo::AppendChannel(Scope(), bank); }

void Document::InsertChannel(int bank, int slot) {
    ChannelArray(Working(), Defaults(), ChannelKindOf(Variant())).InsertAt(slot);
    SetBankSize(Working(), bank, BankSize(Working(), bank) + 1);
}

void Document::DeleteChannel(int bank, int slot) {
    ChannelArray(Working(), Defaults(), ChannelKindOf(Variant())).DeleteAt(slot);
    SetBankSize(Working(), bank, BankSize(Working(), bank) - 1);
}

void Document::MarkUnmodified() {
    snapshot_.Assign(Working());
    modified_ = false;
    savedState_ = true;
}

bool Document::IsModified() {
    if (!modified_ && Working().Differs(snapshot_)) modified_ = true;
    return modified_;
}

}  // namespace parlo
