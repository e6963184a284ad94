#pragma once
// The Port menu's list of the serial devices present, between COM4 and
// "Other port": each device by its path, its by-id name and the port number
// that reaches it, the one in use checked. Choosing one makes its port the
// one in use, giving it a number first when it has none. The list is made
// afresh each time the menu opens.
#include <QAction>
#include <QMenu>
#include <functional>
#include <vector>

#include "app/AppSettings.h"
#include "platform/SerialDevice.h"

namespace parlo {
class MainController;
}

namespace parlo::qt {

class PortMenu : public QObject {
    Q_OBJECT
public:
    using Lister = std::function<std::vector<SerialPortInfo>()>;

    // Lists before `other` (the "Other port" item) of `menu`.
    PortMenu(QMenu* menu, QAction* other, MainController& controller, AppSettings& env);

    // Where the devices come from (the system's serial port list).
    void SetLister(Lister lister) { lister_ = std::move(lister); }
    std::vector<SerialPortInfo> Present() const { return lister_(); }
    // The device entries shown now.
    const std::vector<QAction*>& Entries() const { return entries_; }
    void Refresh();

private:
    QMenu* menu_;
    QAction* other_;
    MainController& controller_;
    AppSettings& env_;
    Lister lister_ = ListSerialPorts;
    std::vector<QAction*> added_;    // everything this list put in the menu
    std::vector<QAction*> entries_;  // the devices among them
};

}  // namespace parlo::qt
