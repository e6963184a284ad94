#include "gui/PortMenu.h"

#include "app/MainController.h"
#include "app/PortChoices.h"
#include "gui/MenuAccelerators.h"
#include "overlay/OverlayText.h"

namespace parlo::qt {

PortMenu::PortMenu(QMenu* menu, QAction* other, MainController& controller, AppSettings& env)
    : QObject(menu), menu_(menu), other_(other), controller_(controller), env_(env) {
    connect(menu_, &QMenu::aboutToShow, this, &PortMenu::Refresh);
}

void PortMenu::Refresh() {
    for (QAction* a : added_) {
        menu_->removeAction(a);
        a->deleteLater();
    }
    added_.clear();
    entries_.clear();
    auto add = [&](QAction* a) {
        menu_->insertAction(other_, a);
        added_.push_back(a);
        return a;
    };
    add(new QAction(menu_))->setSeparator(true);
    const std::vector<SerialPortInfo> present = lister_();
    const std::vector<PortOffer> offers = OfferPorts(env_, present);
    QAction* head = add(new QAction(
        QString::fromStdString(
            OvlText(offers.empty() ? "GI_AppInd_Menu_NoPorts" : "GI_AppInd_Menu_PortsFound")),
        menu_));
    head->setEnabled(false);
    for (const PortOffer& offer : offers) {
        // "&" would mark a shortcut letter in a device's name.
        QString label = QString::fromStdString(offer.label);
        label.replace('&', "&&");
        QAction* a = add(new QAction(label, menu_));
        a->setCheckable(true);
        a->setChecked(offer.inUse);
        a->setData(QString::fromStdString(offer.device));
        const std::string device = offer.device;
        connect(a, &QAction::triggered, this, [this, device, present] {
            if (const int32_t port = PortForDevice(env_, device, present))
                controller_.UsePort(port);
        });
        entries_.push_back(a);
    }
    add(new QAction(menu_))->setSeparator(true);
    // The devices change: each gets a key of its own again.
    FitAccelerators(menu_->actions());
}

}  // namespace parlo::qt
