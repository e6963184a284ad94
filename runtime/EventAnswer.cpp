#include "runtime/EventAnswer.h"

namespace parlo {

EventAnswer::~EventAnswer() {
    if (prev_ != nullptr) prev_->next_ = nullptr;
    if (parent_ != nullptr && parent_->child_ == this) parent_->child_ = nullptr;
    // Iterative over the chain so a long one cannot exhaust the stack.
    while (next_ != nullptr) {
        EventAnswer* after = next_;
        next_ = after->next_;
        after->prev_ = nullptr;
        after->next_ = nullptr;
        delete after;
    }
    delete child_;
}

EventAnswer* EventAnswer::AppendFresh() {
    auto* fresh = new EventAnswer;
    fresh->parent_ = parent_;
    fresh->prev_ = this;
    next_ = fresh;
    return fresh;
}

}  // namespace parlo
