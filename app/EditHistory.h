#pragma once
// Undo and redo for the desktop program: the states of the working image one
// edit apart. Every step keeps a whole copy of the image (about 42 KB), which
// is simplest and cheap; the oldest steps go when the history is full.
#include <cstddef>
#include <deque>
#include <string>

#include "cells/CellContext.h"
#include "model/EepromImage.h"

namespace parlo {

// Where an edit happened: the sheet (its node action) and the cell.
struct EditPlace {
    std::string sheet;
    CellAddress cell;
    bool operator==(const EditPlace&) const = default;
};

class EditHistory {
public:
    // Steps kept; older ones are forgotten.
    static constexpr size_t kSteps = 100;

    // Forgets every step: `image` of `variant` is where the history starts.
    void Reset(const EepromImage& image, int variant);
    // A step named `name` when `image` or `variant` differs from the current
    // state; the steps that could be redone are forgotten. False when
    // nothing changed.
    bool Record(const std::string& name, const EepromImage& image, int variant,
                const EditPlace& place);
    // The last step goes on to `image` (an edit that continues it, such as
    // the frequency typed into the channel the first key added).
    bool Amend(const EepromImage& image, int variant);
    // The current state becomes `image` without a step (the packing a save
    // does).
    void Absorb(const EepromImage& image);

    bool CanUndo() const { return index_ > 0; }
    bool CanRedo() const { return index_ + 1 < states_.size(); }
    // The name of the step an undo or a redo would take back or make again.
    std::string UndoName() const;
    std::string RedoName() const;
    size_t UndoSteps() const { return index_; }

    // The state an undo or redo arrives at, with the place of the step it
    // took back or made again.
    struct Arrival {
        const EepromImage& image;
        int variant;
        const EditPlace& place;
    };
    Arrival Undo();
    Arrival Redo();

private:
    // A state, with the name and place of the step that led to it.
    struct State {
        EepromImage image;
        int variant = 0;
        std::string name;
        EditPlace place;
    };

    std::deque<State> states_;
    size_t index_ = 0;
};

}  // namespace parlo
