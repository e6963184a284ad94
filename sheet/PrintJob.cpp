#include "sheet/PrintJob.h"

namespace parlo {

PrintJob::PrintJob(PrinterPage& printer, DispatchFunction dispatcher,
                   std::vector<std::string> actions, const Rect& page)
    : printer_(printer, std::move(dispatcher)), actions_(std::move(actions)), page_(page) {}

bool PrintJob::Step() {
    if (Done()) return false;
    const std::string& action = actions_[next_++];
    if (!action.empty() && !printer_.Cancelled()) printer_.Print(action, page_);
    return !Done();
}

}  // namespace parlo
