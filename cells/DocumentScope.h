#pragma once
// A document and the event bus its views talk over: what the dispatcher,
// the sheets and the tree of one document are given, so that everything a
// cell reads, edits and tells reaches that document and its views only.
#include "model/DocumentData.h"

namespace parlo {

class EventManager;

struct DocumentScope {
    DocumentData& document;
    EventManager& events;
};

}  // namespace parlo
