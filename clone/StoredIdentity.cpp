#include "clone/StoredIdentity.h"

#include <utility>

namespace parlo {

namespace {

std::vector<uint8_t>& Stored() {
    static std::vector<uint8_t> block;
    return block;
}

}  // namespace

const std::vector<uint8_t>& StoredIdentity() { return Stored(); }

void SetStoredIdentity(std::vector<uint8_t> block) { Stored() = std::move(block); }

}  // namespace parlo
