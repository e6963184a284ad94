#include "platform/Scheduler.h"

#include "platform/ProcessWide.h"

namespace parlo {

Scheduler& scheduler() { return ProcessWide<Scheduler>::Get("No scheduler is installed."); }
Scheduler* SetScheduler(Scheduler* s) { return ProcessWide<Scheduler>::Set(s); }

}  // namespace parlo
