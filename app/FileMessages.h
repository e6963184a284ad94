#pragma once
// The application's side of clone files that could not be used or saved:
// the lower layers say what happened, this shows it.
#include <cstdint>

#include "clone/CloneFile.h"

namespace parlo {

// Shows the message of a failed file operation in a warning box captioned
// with the application title (nothing on success); returns its code.
uint8_t ShowFileOutcome(const FileOutcome& outcome);

}  // namespace parlo
