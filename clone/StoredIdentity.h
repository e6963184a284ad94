#pragma once
// The identity block of the radio identified last, kept for the whole
// process: the clone information cells show it. Whoever accepts an identify
// answer stores its block here; until then it is empty.
#include <cstdint>
#include <vector>

namespace parlo {

const std::vector<uint8_t>& StoredIdentity();
void SetStoredIdentity(std::vector<uint8_t> block);

}  // namespace parlo
