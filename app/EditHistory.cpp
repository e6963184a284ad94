#include "app/EditHistory.h"

namespace parlo {

void EditHistory::Reset(const EepromImage& image, int variant) {
    states_.clear();
    states_.push_back(State{image, variant, {}, {}});
    index_ = 0;
}

bool EditHistory::Record(const std::string& name, const EepromImage& image, int variant,
                         const EditPlace& place) {
    if (states_.empty()) Reset(image, variant);
    const State& current = states_[index_];
    if (current.variant == variant && current.image.Equals(image)) return false;
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(index_) + 1, states_.end());
    states_.push_back(State{image, variant, name, place});
    if (states_.size() > kSteps + 1) states_.pop_front();
    index_ = states_.size() - 1;
    return true;
}

bool EditHistory::Amend(const EepromImage& image, int variant) {
    if (!CanUndo() || CanRedo()) return false;
    State& last = states_[index_];
    last.image.Assign(image);
    last.variant = variant;
    return true;
}

void EditHistory::Absorb(const EepromImage& image) {
    if (!states_.empty()) states_[index_].image.Assign(image);
}

std::string EditHistory::UndoName() const { return CanUndo() ? states_[index_].name : ""; }

std::string EditHistory::RedoName() const { return CanRedo() ? states_[index_ + 1].name : ""; }

EditHistory::Arrival EditHistory::Undo() {
    const EditPlace& place = states_[index_].place;
    --index_;
    return Arrival{states_[index_].image, states_[index_].variant, place};
}

EditHistory::Arrival EditHistory::Redo() {
    ++index_;
    return Arrival{states_[index_].image, states_[index_].variant, states_[index_].place};
}

}  // namespace parlo
