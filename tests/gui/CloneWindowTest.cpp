// Reading a radio from the desktop program, against the simulated radio on a
// pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <atomic>
#include <thread>

#include "clone/CloneMessages.h"
#include "gui/CloneProgressWindow.h"
#include "gui/MainWindow.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"
#include "tools/radio-sim/RadioPty.h"

namespace parlo {
namespace {

TEST(CloneProgressWindow, CellsFillWithTheData) {
    EXPECT_EQ(qt::CloneProgressWindow::FilledCells(0, 0), 0);
    EXPECT_EQ(qt::CloneProgressWindow::FilledCells(0, 32128), 0);
    EXPECT_EQ(qt::CloneProgressWindow::FilledCells(16064, 32128), 16);
    EXPECT_EQ(qt::CloneProgressWindow::FilledCells(32128, 32128), 32);
}

// The main window takes no input during an operation, but Cancel and Escape
// still reach the Cloning window, for what may be cancelled only.
TEST(CloneProgressWindow, CancelWorksWhileTheMainWindowIsDisabled) {
    QWidget owner;
    owner.show();
    qt::CloneProgressWindow w(&owner);
    int cancels = 0;
    w.onCancel = [&] { ++cancels; };
    w.BeginOperation(true);
    CloneProgress p;
    p.stage = CloneStage::Backup;
    p.done = 100;
    p.total = 1000;
    p.secondsLeft = 7;
    p.cancellable = true;
    w.UpdateProgress(p);
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(w.isEnabled());
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    const QString line = qt::CloneProgressWindow::StatusLine(p);
    EXPECT_TRUE(line.startsWith(QString::fromStdString(StageText(CloneStage::Backup))));
    EXPECT_TRUE(
        line.endsWith(QString::fromStdString(FillIn(OvlText("GI_Mess_Clone_Progress", 1), {"7"}))));

    p.stage = CloneStage::Write;
    p.cancellable = false;
    w.UpdateProgress(p);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    w.EndOperation();
    EXPECT_TRUE(owner.isEnabled());
}

TEST(CloneWindow, ReadingARadioMakesItTheUntitledDocument) {
    qt::QtScheduler scheduler;
    Scheduler* previousScheduler = SetScheduler(&scheduler);
    EventManager events;
    EventManager* previousEvents = SetEventManager(&events);
    test::RecordingPrompts prompts;

    // The radio: a PMR factory image with one channel changed.
    Document factory;
    ASSERT_TRUE(factory.SelectModel(kVariantPmr));
    factory.NewFromDefaults();
    ChannelRecord r(factory.Working());
    r.Decode(2, 3);
    r.SetValue(Field::RxFreq, 446'031'250);
    r.SetValue(Field::TxFreq, 446'031'250);
    r.texts[0] = "SITE 4  ";
    r.Store();
    factory.RebuildModelData();
    sim::RadioConfig config;
    config.image.Assign(factory.Working());
    config.identity = sim::DefaultIdentity(config.image);
    sim::Radio radio(config);
    sim::RadioPty pty(radio, false);
    std::string error;
    ASSERT_TRUE(pty.Open(&error)) << error;
    std::atomic<bool> stop{false};
    std::thread serving([&] { pty.Run(stop); });

    test::MemorySettings store;
    FixedScreen screen;
    AppSettings env(store, screen, nullptr);
    env.Defaults();
    env.SetModelType(kVariantLmr);
    env.SetPortDevice(1, pty.DevicePath());
    env.SetComPort(1);
    {
        qt::MainWindow window(env, 0, nullptr);
        window.show();
        window.Controller().CloneRead();
        for (int i = 0; i < 400 && window.Controller().Cloning().IsBusy(); ++i) QTest::qWait(25);
        EXPECT_FALSE(window.Controller().Cloning().IsBusy());
        EXPECT_TRUE(prompts.shown.empty()) << (prompts.shown.empty() ? "" : prompts.shown[0].text);
        Document& doc = window.Controller().Doc();
        EXPECT_EQ(doc.Variant(), kVariantPmr);
        EXPECT_TRUE(doc.FileName().empty());
        EXPECT_TRUE(doc.IsModified());
        ChannelRecord got(doc.Working());
        got.Decode(2, 3);
        EXPECT_EQ(got.texts[0], "SITE 4  ");
        EXPECT_TRUE(window.isEnabled());
    }
    stop = true;
    serving.join();
    SetEventManager(previousEvents);
    SetScheduler(previousScheduler);
}

}  // namespace
}  // namespace parlo
