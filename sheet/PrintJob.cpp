#include "sheet/PrintJob.h"

namespace parlo {

PrintJob::PrintJob(PrinterPage& printer, DocumentScope scope, DispatchFunction dispatcher,
                   std::vector<std::string> actions, const Rect& page)
    : printer_(printer, scope, std::move(dispatcher)), actions_(std::move(actions)), page_(page) {}

bool PrintJob::Step() {
    if (Done()) return false;
    const std::string& action = actions_[next_++];
    if (!action.empty() && !printer_.Cancelled()) printer_.Print(action, page_);
    return !Done();
}

}  // namespace parlo
