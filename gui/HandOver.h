#pragma once
// A later start of the program meets the running one: it hands over the
// files it was given, or without files brings the running window to the
// front, and says which files were not taken.
#include <string>
#include <vector>

class QWidget;

namespace parlo::qt {

class InstanceMailbox;
class MainWindow;

// Shows `window` restored from the task bar, raised and active; a maximised
// window stays maximised.
void BringToFront(QWidget* window);

// The running copy: files handed over open in `window`, and a start
// without files brings it to the front.
void DeliverHandOvers(InstanceMailbox& mailbox, MainWindow& window);

// A later start: hands `files` (absolute paths) to the running copy
// through the mailbox beside the lock at `lockPath`. Says on stderr what
// was not taken; the exit status, 1 when anything was refused.
int HandOverToRunningCopy(const std::string& lockPath, const std::vector<std::string>& files);

}  // namespace parlo::qt
