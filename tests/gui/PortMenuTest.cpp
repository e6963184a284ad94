// The Port menu as a user meets it: COM1-COM4 with their devices, the
// serial devices present (a fake list here) to choose from, and "Other
// port" taking a number or a device path.
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "gui/MenuAccelerators.h"
#include "gui/MenuBuilder.h"
#include "gui/PortMenu.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

const std::vector<SerialPortInfo> kPresent = {
    {"/dev/ttyACM0", {"/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00"}, "cdc_acm", ""},
    {"/dev/ttyUSB0", {"/dev/serial/by-id/usb-FTDI_FT232R_A10K1234-if00-port0"}, "ftdi_sio", ""},
};

class PortMenuTest : public test::MainWindowFixture {
protected:
    PortMenuTest() {
        env.Defaults();
        env.SetModelType(kVariantPmr);
        env.SetPortDevice(3, "/dev/ttyS7");
        Start();
        window->PortDevices()->SetLister([] { return kPresent; });
    }
    // Opens the Port menu with a click on the menu bar.
    QMenu* OpenPortMenu() {
        QMenuBar* bar = window->menuBar();
        for (QAction* top : bar->actions()) {
            if (top->text().remove('&') != "Port") continue;
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(top).center());
            EXPECT_TRUE(test::WaitUntil([&] { return top->menu()->isVisible(); }));
            return top->menu();
        }
        ADD_FAILURE() << "no Port menu";
        return nullptr;
    }
    // The captions as read, without their accelerator marks.
    static QStringList Texts(QMenu* menu) {
        QStringList texts;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->isVisible()) continue;
            QString text = a->text();
            for (int i = 0; i < text.size(); ++i)
                if (text[i] == '&') text.remove(i, 1);  // "&&" leaves one
            texts << text;
        }
        return texts;
    }
    std::string PortStatus() {
        for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) {
            if (label->text().startsWith("Port ")) return label->text().toStdString();
        }
        return {};
    }
};

TEST_F(PortMenuTest, ListsTheDevicesPresentAndChoosesOne) {
    QMenu* menu = OpenPortMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList texts = Texts(menu);
    const QStringList expected = {
        "COM1  (/dev/ttyUSB0)",
        "COM2  (/dev/ttyUSB1)",
        "COM3  (/dev/ttyS7)",
        "COM4  (/dev/ttyUSB3)",
        "Serial devices found:",
        "/dev/ttyACM0  usb-Keld_Cloning_Cable_0042-if00",
        "/dev/ttyUSB0  usb-FTDI_FT232R_A10K1234-if00-port0  (port 1)",
    };
    EXPECT_EQ(texts.mid(0, expected.size()), expected);
    ASSERT_EQ(window->PortDevices()->Entries().size(), 2u);
    EXPECT_TRUE(window->PortDevices()->Entries()[1]->isChecked());  // port 1 is in use
    // Each device can be chosen with a key of its own.
    const QList<QAction*> items = menu->actions();
    for (QAction* device : window->PortDevices()->Entries()) {
        const QChar key = qt::AcceleratorOf(device->text());
        EXPECT_FALSE(key.isNull()) << device->text().toStdString();
        EXPECT_EQ(std::count_if(items.begin(), items.end(),
                                [&](QAction* a) { return qt::AcceleratorOf(a->text()) == key; }),
                  1)
            << device->text().toStdString();
    }
    // Choosing the cloning cable gives it the first free port number, by
    // its stable name, and makes it the port in use.
    QAction* cable = window->PortDevices()->Entries()[0];
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(cable).center());
    ASSERT_TRUE(test::WaitUntil([&] { return env.ComPort() == 5; }));
    EXPECT_EQ(env.PortDevice(5), "/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00");
    EXPECT_EQ(PortStatus(),
              "Port 5 (/dev/serial/by-id/usb-Keld_Cloning_Cable_0042-if00), 9600 baud");
    // Opened again, the cable is checked under its number.
    menu = OpenPortMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Texts(menu).contains("/dev/ttyACM0  usb-Keld_Cloning_Cable_0042-if00  (port 5)"));
    EXPECT_TRUE(window->PortDevices()->Entries()[0]->isChecked());
    menu->close();
}

TEST_F(PortMenuTest, OtherPortTakesANumberOrADevicePath) {
    const struct {
        const char* typed;
        int port;
        const char* device;
    } cases[] = {
        {" 12 ", 12, "/dev/ttyUSB11"},
        {"/dev/pts/7", 5, "/dev/pts/7"},
        {"/dev/ttyUSB0", 1, "/dev/ttyUSB0"},
    };
    // A refusal would come as a message box over the dialog: closed and
    // counted, so that a refused entry fails the test instead of waiting.
    int refused = 0;
    QTimer refusals;
    QObject::connect(&refusals, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++refused;
            box->reject();
            QApplication::activeModalWidget()->close();  // the dialog under it
        }
    });
    refusals.start(20);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        WithModal([&] { window->Controller().RunCommand(CL_Menu_Port_Usb, 0, CellContext{}); },
                  [&](QWidget* dialog) {
                      auto* edit = dialog->findChild<QLineEdit*>();
                      EXPECT_NE(edit, nullptr);
                      if (edit == nullptr) {
                          dialog->close();
                          return;
                      }
                      QTest::keyClicks(edit, c.typed);  // in place of the number shown
                      QTest::keyClick(edit, Qt::Key_Return);
                  });
        EXPECT_EQ(env.ComPort(), c.port);
        EXPECT_EQ(env.PortDevice(c.port), c.device);
    }
    EXPECT_EQ(refused, 0);
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace parlo
