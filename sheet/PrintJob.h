#pragma once
// A print command in steps: each step prints the sheet of one tree node
// (or the current sheet), so that the window stays responsive and can show
// which sheet is printing. A cancel stops before the next page, between
// the pages of one sheet too; the steps left then print nothing.
#include <functional>
#include <string>
#include <vector>

#include "sheet/SheetPrinter.h"

namespace parlo {

class PrintJob {
public:
    // `actions` are the node actions in tree order; a node without one is
    // an empty text, which takes its step and prints nothing.
    PrintJob(PrinterPage& printer, DocumentScope scope, DispatchFunction dispatcher,
             std::vector<std::string> actions, const Rect& page);

    // Prints the next node's sheet; false when no node is left.
    bool Step();
    bool Done() const { return next_ >= actions_.size(); }
    // The action the next step prints (empty when none is left).
    std::string NextAction() const { return Done() ? std::string() : actions_[next_]; }

    void Cancel() { printer_.Cancel(); }
    bool Cancelled() const { return printer_.Cancelled(); }
    void SetCancelCheck(std::function<bool()> check) { printer_.SetCancelCheck(std::move(check)); }
    int PagesPrinted() const { return printer_.PagesPrinted(); }

private:
    SheetPrinter printer_;
    std::vector<std::string> actions_;
    Rect page_;
    size_t next_ = 0;
};

}  // namespace parlo
