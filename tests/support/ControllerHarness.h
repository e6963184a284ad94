#pragma once
// The main controller on the shipped overlay and factory images, driven as
// the user drives it: a sheet opened from its tree node, the cursor put on a
// cell, keys typed, editors committed, popup menu commands chosen.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/MainController.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "sheet/RadioTree.h"
#include "sheet/TreeModel.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/RecordingMainView.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo::test {

class ControllerHarness : public ::testing::Test {
protected:
    VirtualScheduler clock;  // the controller's bus runs on it
    RecordingPrompts prompts;
    TempDir dir;
    MemorySettings store;
    FixedScreen screen;
    AppSettings env{store, screen, nullptr};
    RecordingMainView view;
    std::unique_ptr<MainController> main;

    ~ControllerHarness() override { main.reset(); }

    // The controller on a new document of `variant`; its clone manager talks
    // to the platform's serial device unless another is given.
    void StartWith(int variant, std::unique_ptr<CloneManager> cloneManager = nullptr) {
        env.Defaults();
        env.SetModelType(static_cast<int8_t>(variant));
        main.reset();
        main = std::make_unique<MainController>(env, view, std::move(cloneManager));
        main->Start();
    }
    EepromImage& Image() { return main->Doc().Working(); }
    EepromImage& Defaults() { return main->Doc().Defaults(); }
    Sheet& Current() { return *main->CurrentSheet(); }
    // Lets the posted events arrive.
    void Settle() { clock.Advance(20); }

    // A sheet opened from its tree node, as a click on the node does.
    Sheet& Show(const std::string& action) {
        TreeNode* node = main->Tree()->FindNode(action);
        EXPECT_NE(node, nullptr) << action;
        if (node != nullptr) main->SelectNode(node);
        Settle();
        return Current();
    }
    Sheet& ShowBank(int bank) {
        return Show(parlo::Format("[St_ChBank]GI_Sheet_Mch_%s,Bank %d",
                                  ChannelSheetName(main->Doc().Variant()), bank));
    }
    // The cursor on a cell of the sheet shown (on a bank sheet, the slot
    // after the bank is the row for adding a channel).
    void Cursor(int category, int cell, int32_t index) {
        ASSERT_TRUE(Current().SelectCell(CellAddress{category, cell, index}))
            << cell << "[" << index << "]";
    }
    void Cursor(int slot) { Cursor(CT_Mch, CL_Mch_FreqR, slot); }
    // Rows from the cursor's to `slot` selected, as a shift-click does.
    void SelectTo(int slot) {
        Sheet& sheet = Current();
        for (int r = 0; r < sheet.RowCount(); ++r) {
            const CellDesc& d = sheet.Cell(sheet.Col(), r);
            if (d.category == CT_Mch && d.index == slot) {
                ASSERT_TRUE(sheet.SelectSlot(sheet.Col(), r, true));
                return;
            }
        }
        ADD_FAILURE() << "no row for slot " << slot;
    }
    // A command of the current cell's popup menu, chosen as from the menu.
    void Choose(int menuCell) {
        Sheet& sheet = Current();
        const auto key = sheet.Cell(sheet.Col(), sheet.Row()).EffectivePopupMenu();
        ASSERT_TRUE(key.has_value());
        TreeModel menu(MainOverlay(), *key);
        menu.Build();
        const CellDesc* item = nullptr;
        menu.ForEach([&](TreeNode& n) {
            if (n.desc.cell == menuCell) item = &n.desc;
        });
        ASSERT_NE(item, nullptr) << *key;
        sheet.ChooseMenuItem(*item);
        Settle();
    }
    // Typing a text into the current cell: the first character opens the
    // in-place editor, Enter commits it.
    void Type(const std::string& text) {
        Current().TypeChar(static_cast<unsigned char>(text[0]));
        Current().CommitEditor(text);
        Settle();
    }
    // An item of the list the current cell opens with Enter.
    void Pick(int item, PopupKind kind = PopupKind::List) {
        Current().ChoosePopupItem(ChosenItem{kind, item});
        Settle();
    }

    ChannelRecord Channel(int slot) {
        ChannelRecord r(Image());
        r.Decode(ChannelKindOf(main->Doc().Variant()), slot);
        return r;
    }
    std::string Name(int slot) {
        std::string name = Channel(slot).texts[0];
        while (!name.empty() && name.back() == ' ') name.pop_back();
        return name;
    }
    bool Shown(const std::string& status) const {
        for (const std::string& s : view.statuses) {
            if (s == status) return true;
        }
        return false;
    }
};

}  // namespace parlo::test
