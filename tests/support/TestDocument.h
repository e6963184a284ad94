#pragma once
// A document and the event bus of its views on virtual time: what sheets,
// trees and cells are given in a test. Nothing of it is installed anywhere,
// so a test may hold several side by side.
#include "cells/DocumentScope.h"
#include "model/DocumentData.h"
#include "runtime/EventManager.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::test {

struct TestDocument {
    VirtualScheduler clock;
    EventManager events{clock};
    DocumentData doc;  // a blank image of the model's size, LMR

    DocumentScope Scope() { return {doc, events}; }
};

}  // namespace parlo::test
