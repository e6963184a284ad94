#pragma once
// The document the user edits and the images around it: the working image
// (what every cell edits, what a save or a clone write sends), the default
// image (the variant's factory image), and the snapshot that decides
// "modified"; its file, and the event bus of its views. The main window owns
// one; parlo-cli, the comparison and every radio of a fleet make their own.
#include <cstdint>
#include <string>

#include "cells/DocumentScope.h"
#include "model/DocumentData.h"
#include "model/EepromImage.h"
#include "model/PackedLayout.h"

namespace parlo {

class Document : public DocumentData {
public:
    // Images of this model's size. The views of the document (its sheets
    // and tree) talk over `events`.
    explicit Document(EventManager& events);

    // The document and its views' bus, for its dispatcher, sheets and tree.
    DocumentScope Scope() { return {*this, events_}; }
    EventManager& Events() { return events_; }

    // Loads a variant's initial file into the default image (cleared first,
    // so nothing of another variant stays) and unpacks it in full. On failure
    // the default image is left as it was and false is returned, with
    // nothing shown: *problem then names the file and says why, for the
    // caller's program error.
    bool SelectModel(int variant, std::string* problem = nullptr);

    // A new untitled document from the default image.
    void NewFromDefaults();
    // Pack after every edit, so the radio area mirrors the work area.
    bool RebuildModelData();
    // Pack a copy for a save (Save) or a clone write (Write).
    bool PrepareImage(EepromImage& image, PackMode mode) const;
    // After a file or a radio image became the working image: unpack it,
    // take the variant it says (the default image follows), keep this map's
    // revision in it, and pack again. False when the variant's initial file
    // could not be read, with *problem set as by SelectModel.
    bool AfterLoad(std::string* problem = nullptr);

    // Appends a blank channel at the end of a bank; refused, after telling
    // the user, when all slots are used or the radio's memory is full.
    bool AppendChannel(int bank);
    // A blank channel opens a gap at `slot` of `bank`, which grows by one;
    // the channel at `slot` goes, and `bank` shrinks by one.
    void InsertChannel(int bank, int slot);
    void DeleteChannel(int bank, int slot);

    // Document state.
    void MarkUnmodified();
    // Modified whatever the image holds, until the next MarkUnmodified (an
    // image read from the radio).
    void MarkModified() {
        modified_ = true;
        savedState_ = false;
    }
    // Once the working image differs from the snapshot the document stays
    // modified until the next MarkUnmodified, even if edited back.
    bool IsModified();
    // After an undo or a redo: modified exactly when the working image is
    // not the one last saved or opened.
    void RecheckModified() { modified_ = !savedState_ || Working().Differs(snapshot_); }
    // The modified state as it stands, to put back after a change that was
    // taken back whole (a refused import or paste edits cells on the way).
    struct ModifiedState {
        bool modified, saved;
    };
    ModifiedState CurrentModifiedState() { return {IsModified(), savedState_}; }
    void RestoreModifiedState(ModifiedState state) {
        modified_ = state.modified;
        savedState_ = state.saved;
    }
    const std::string& FileName() const { return fileName_; }
    void SetFileName(std::string path) { fileName_ = std::move(path); }

    // The path of a variant's initial file.
    static std::string InitialFilePath(int variant);

private:
    EventManager& events_;
    EepromImage snapshot_;
    bool modified_ = false;
    bool savedState_ = true;  // the snapshot is a state that was saved or opened
    std::string fileName_;
};

}  // namespace parlo
