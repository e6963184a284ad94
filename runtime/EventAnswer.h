#pragma once
// One node of the request/answer tree. The answers to a request form a
// chain (Next) in the order the handlers gave them; a node that was current
// when a handler issued a request of its own holds that request's chain as
// its child.
#include <cstdint>
#include <vector>

namespace parlo {

class EventAnswer {
public:
    EventAnswer() = default;
    // Detaches the node from its chain and parent and destroys its child
    // chain and the nodes after it.
    ~EventAnswer();
    EventAnswer(const EventAnswer&) = delete;
    EventAnswer& operator=(const EventAnswer&) = delete;

    intptr_t Ptr1() const { return ptr1_; }
    intptr_t Ptr2() const { return ptr2_; }
    // The answer's copy of a data block; empty when none was given.
    const std::vector<uint8_t>& Data() const { return data_; }
    const EventAnswer* Next() const { return next_; }

private:
    friend class EventManager;

    // Appends a fresh node after this one, in the same parent.
    EventAnswer* AppendFresh();

    intptr_t ptr1_ = 0;
    intptr_t ptr2_ = 0;
    std::vector<uint8_t> data_;
    EventAnswer* next_ = nullptr;
    EventAnswer* prev_ = nullptr;
    EventAnswer* parent_ = nullptr;
    EventAnswer* child_ = nullptr;  // first node of a request issued from here
};

}  // namespace parlo
