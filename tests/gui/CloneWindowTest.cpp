// Cloning from the desktop program, against the simulated radio on a
// pseudo-terminal: reading makes the radio's image the document, with the
// tree of the radio's variant; writing refuses what must not be written.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include "clone/CloneMessages.h"
#include "gui/CloneProgressWindow.h"
#include "gui/MainWindow.h"
#include "gui/NavigationTree.h"
#include "model/BankMap.h"
#include "model/ChannelMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/gui/MainWindowFixture.h"
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
    test::RecordingPrompts prompts;

    // The radio: a PMR factory image with one channel changed.
    Document factory{events};
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
        EXPECT_TRUE(
            test::WaitUntil([&] { return !window.Controller().Cloning().IsBusy(); }, 10000));
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
    SetScheduler(previousScheduler);
}

// A radio of `variant` with its factory image, on a pseudo-terminal, serving
// until destroyed.
class SimulatedRadio {
public:
    explicit SimulatedRadio(int variant) {
        EventManager events;
        Document factory{events};
        EXPECT_TRUE(factory.SelectModel(variant));
        factory.NewFromDefaults();
        sim::RadioConfig config;
        config.image.Assign(factory.Working());
        config.identity = sim::DefaultIdentity(config.image);
        radio_ = std::make_unique<sim::Radio>(config);
        pty_ = std::make_unique<sim::RadioPty>(*radio_, false);
        std::string error;
        EXPECT_TRUE(pty_->Open(&error)) << error;
        serving_ = std::thread([this] { pty_->Run(stop_); });
    }
    ~SimulatedRadio() {
        stop_ = true;
        serving_.join();
    }
    std::string Device() const { return pty_->DevicePath(); }

private:
    std::unique_ptr<sim::Radio> radio_;
    std::unique_ptr<sim::RadioPty> pty_;
    std::atomic<bool> stop_{false};
    std::thread serving_;
};

using CloneFromWindow = test::MainWindowFixture;

// Every caption the tree shows.
std::set<std::string> Captions(QTreeWidget* tree) {
    std::set<std::string> captions;
    std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
        captions.insert(item->text(0).toStdString());
        for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) walk(tree->topLevelItem(i));
    return captions;
}

TEST_F(CloneFromWindow, AReadOfAnotherVariantShowsThatVariantsTree) {
    const struct {
        int document, radio;
        std::vector<std::string> shown, hidden;
    } cases[] = {
        {kVariantLmr,
         kVariantTarnPmr,
         {"MSK signalling", "Preselection", "5-tone transmit codes", "5-tone receive codes"},
         {"2-tone codes"}},
        {kVariantPmr, kVariantLmr, {"2-tone codes"}, {"5-tone transmit codes", "MSK signalling"}},
        {kVariantTarnPmr,
         kVariantPmr,
         {"5-tone receive codes"},
         {"MSK signalling", "2-tone codes"}},
    };
    for (const auto& c : cases) {
        SimulatedRadio radio(c.radio);
        env.Defaults();
        env.SetModelType(static_cast<int8_t>(c.document));
        env.SetPortDevice(1, radio.Device());
        env.SetComPort(1);
        Start();
        window->Controller().CloneRead();
        ASSERT_TRUE(
            test::WaitUntil([&] { return !window->Controller().Cloning().IsBusy(); }, 10000));
        QApplication::processEvents();
        EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front().text;
        EXPECT_EQ(window->Controller().Doc().Variant(), c.radio);
        const std::set<std::string> captions = Captions(window->TreeView());
        for (const std::string& caption : c.shown)
            EXPECT_TRUE(captions.count(caption))
                << c.document << "->" << c.radio << ": " << caption;
        for (const std::string& caption : c.hidden)
            EXPECT_FALSE(captions.count(caption))
                << c.document << "->" << c.radio << ": " << caption;
        window.reset();
    }
}

// Clears every channel slot: no channel is in use.
void ClearChannels(Document& doc) {
    for (int slot = 0; slot < kChannelSlots; ++slot) {
        for (int i = 0; i < 4; ++i)
            doc.Working().SetByte(kAddrChannelMain + kChannelMainSize * slot + i, 0);
    }
    doc.RebuildModelData();
}

TEST_F(CloneFromWindow, AWriteRefusesAnEmptyDocumentBeforeTheWarningCheck) {
    Open(kVariantLmr);
    ClearChannels(window->Controller().Doc());
    ASSERT_EQ(UsedInSlotRange(window->Controller().Doc().Working(), 0, kChannelSlots - 1), 0);
    // A mark left from before: the warning check would clear it.
    RadioTree& tree = *window->Controller().Tree();
    TreeNode* common = tree.FindNode("[St_Common]GI_Sheet_Comm");
    ASSERT_NE(common, nullptr);
    tree.Mark(&tree.Root(), {common->Action()}, 1);
    window->Controller().CloneWrite();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, OvlMessage("GI_AppMess_CloneErr_NoActualCh"));
    EXPECT_EQ(common->overlay, 1) << "the warning check ran before the refusal";
    EXPECT_FALSE(window->Controller().Cloning().IsBusy());
}

TEST_F(CloneFromWindow, AWriteRefusesADocumentWithErrors) {
    Open(kVariantTarnPmr);
    // A channel with MSK signalling that does not select it: an error.
    Document& doc = window->Controller().Doc();
    ChannelRecord r(doc.Working());
    r.Decode(ChannelKindOf(kVariantTarnPmr), BankFirstSlot(doc.Working(), 0));
    ASSERT_TRUE(r.present);
    r.SetValue(Field::MskSig, 1);
    r.SetValue(Field::Sel, 0);
    r.Store();
    doc.RebuildModelData();
    window->Controller().CloneWrite();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, OvlMessage("GI_Mess_DataError"));
    EXPECT_FALSE(window->Controller().Cloning().IsBusy());
}

}  // namespace
}  // namespace parlo
