// The windows a cell opens, driven as a user drives them on the offscreen
// platform: the text entry window with its character table, the bit-field
// editor, the pick window; where they open, and what they store.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTest>

#include "gui/BitFieldEditor.h"
#include "gui/MainWindow.h"
#include "gui/PickWindow.h"
#include "gui/SheetWidget.h"
#include "gui/TextEntryWindow.h"
#include "model/ModelVariant.h"
#include "model/PackedLayout.h"
#include "platform/qtcore/QtScheduler.h"
#include "runtime/EventManager.h"
#include "tests/gui/MainWindowFixture.h"
#include "tests/support/MemorySettings.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

class EditorWindowsTest : public test::MainWindowFixture {
protected:
    void Open(int variant, const std::string& action) {
        MainWindowFixture::Open(variant);
        Select(action);
    }
    qt::SheetWidget* Grid() { return window->Sheets(); }
    EepromImage& Image() { return window->Controller().Doc().Working(); }
    std::vector<uint8_t> Bytes() {
        std::vector<uint8_t> b(static_cast<size_t>(Image().GetSize()));
        Image().ReadBlock(0, b.data(), Image().GetSize());
        return b;
    }
    // The addresses whose bytes differ.
    std::vector<int> Changed(const std::vector<uint8_t>& before) {
        const std::vector<uint8_t> after = Bytes();
        std::vector<int> changed;
        for (size_t a = 0; a < before.size(); ++a) {
            if (before[a] != after[a]) changed.push_back(static_cast<int>(a));
        }
        return changed;
    }
    // The image must differ from `before` only by `bytes` written at
    // `address`, and the radio area's packed copy of them that every edit
    // brings up to date.
    void ExpectOnly(const std::vector<uint8_t>& before, int32_t address,
                    const std::vector<uint8_t>& bytes) {
        EepromImage expected;
        expected.SetSize(static_cast<int32_t>(before.size()));
        expected.WriteBlock(0, before.data(), static_cast<int32_t>(before.size()));
        expected.WriteBlock(address, bytes.data(), static_cast<int32_t>(bytes.size()));
        Pack(expected, PackMode::Rebuild, window->Controller().Doc().Variant());
        std::vector<uint8_t> want(before.size());
        expected.ReadBlock(0, want.data(), expected.GetSize());
        const std::vector<uint8_t> got = Bytes();
        for (size_t a = 0; a < want.size(); ++a) EXPECT_EQ(int{got[a]}, int{want[a]}) << "at " << a;
    }
    void Focus(const CellAddress& cell) {
        ASSERT_TRUE(Grid()->CurrentSheet()->SelectCell(cell));
        Grid()->setFocus();
        QApplication::processEvents();
    }
    template <class T>
    T* Popup() {
        return qobject_cast<T*>(QApplication::activePopupWidget());
    }
    // Types any characters, those of no key of a US keyboard too.
    static void Type(QWidget* w, const QString& text) {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, c.unicode() < 0x80 ? c.toUpper().unicode() : 0,
                            Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
    // A click on the main window, as the window system delivers it: to an
    // open pop-up window first.
    void ClickOutside() {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          QPoint(5, window->height() - 5));
    }
    // Lets an open window close and what it answered arrive.
    void Settle() {
        QApplication::processEvents();
        EXPECT_TRUE(test::WaitUntil([&] {
            return QApplication::activePopupWidget() == nullptr && Events().QueuedCount() == 0;
        }));
    }
};

constexpr const char* kSetModeTexts = "[St_Common]GI_Sheet_SetM_Text";
constexpr int32_t kBacklightText = 0xA3F9;  // CL_TSetM_Backlight, 4 bytes
constexpr const char* kPmrBank = "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0";

// Typing on a display text opens the text entry window holding just the
// typed character with the caret after it: nothing typed next is lost.
TEST_F(EditorWindowsTest, TypingADisplayTextKeepsEveryCharacter) {
    Open(kVariantDPmr446, kSetModeTexts);
    struct Case {
        const char* typed;
        std::vector<uint8_t> stored;
    } cases[] = {{"XYZ", {'X', 'Y', 'Z', ' '}}, {"QQ", {'Q', 'Q', ' ', ' '}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        Focus({CT_Null, CL_TSetM_Backlight, 0});
        const std::vector<uint8_t> before = Bytes();
        QTest::keyClick(Grid(), c.typed[0]);
        auto* entry = Popup<qt::TextEntryWindow>();
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->TextBox()->text(), QString(c.typed[0]));
        EXPECT_EQ(entry->TextBox()->cursorPosition(), 1);
        EXPECT_FALSE(entry->TextBox()->hasSelectedText());
        QTest::keyClicks(QApplication::focusWidget(), QString(c.typed + 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        Settle();
        EXPECT_EQ(Popup<qt::TextEntryWindow>(), nullptr);
        ExpectOnly(before, kBacklightText, c.stored);
    }
    // Opened with Enter the box holds the cell's text, the caret at its end.
    QTest::keyClick(Grid(), Qt::Key_Return);
    auto* entry = Popup<qt::TextEntryWindow>();
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->TextBox()->text(), "QQ");
    EXPECT_EQ(entry->TextBox()->cursorPosition(), 2);
    EXPECT_FALSE(entry->TextBox()->hasSelectedText());
    entry->Cancel();
    Settle();
}

// Characters the display cannot show never reach the radio's image.
TEST_F(EditorWindowsTest, TheTextEntryWindowRefusesWhatTheDisplayCannotShow) {
    Open(kVariantDPmr446, kSetModeTexts);
    Focus({CT_Null, CL_TSetM_Backlight, 0});
    const std::vector<uint8_t> before = Bytes();
    QTest::keyClick(Grid(), 'A');
    auto* entry = Popup<qt::TextEntryWindow>();
    ASSERT_NE(entry, nullptr);
    Type(entry->TextBox(), QString::fromUtf8("b\xC3\xA9"
                                             "1"));
    EXPECT_EQ(entry->TextBox()->text(), "Ab1");
    EXPECT_EQ(entry->PreviewBytes(), (std::vector<uint8_t>{'A', 'b', '1'}));
    EXPECT_TRUE(entry->Refusal()->isVisible());
    EXPECT_TRUE(entry->Refusal()->text().contains(QString::fromUtf8("\xC3\xA9")));
    // Pasted text is cleaned the same way.
    entry->TextBox()->selectAll();
    entry->TextBox()->insert(
        QString::fromUtf8("\xE2\x82\xAC"
                          "5"));
    QTest::keyClick(entry->TextBox(), Qt::Key_End);
    QTest::keyClicks(entry->TextBox(), "x");  // an edit that shows the refusal
    EXPECT_FALSE(entry->TextBox()->text().contains(QString::fromUtf8("\xE2\x82\xAC")));
    QTest::keyClick(entry->TextBox(), Qt::Key_Return);
    Settle();
    ExpectOnly(before, kBacklightText, {'5', 'x', ' ', ' '});
    // A key of the desktop's own character set on the cell opens nothing.
    Type(Grid(), QString(QChar(0xE9)));
    EXPECT_EQ(Popup<qt::TextEntryWindow>(), nullptr);
}

// The character table inserts at the caret: Space keeps the focus in the
// table, a double click returns it to the text box; Enter there commits.
TEST_F(EditorWindowsTest, TheCharacterTableInsertsAtTheCaret) {
    Open(kVariantDPmr446, kSetModeTexts);
    Focus({CT_Null, CL_TSetM_Backlight, 0});
    QTest::keyClick(Grid(), 'B');
    auto* entry = Popup<qt::TextEntryWindow>();
    ASSERT_NE(entry, nullptr);
    entry->TextBox()->setCursorPosition(0);
    qt::SheetWidget* table = entry->CharacterTable();
    Sheet* chars = table->CurrentSheet();
    auto cellOf = [&](int code) {
        for (int r = 0; r < chars->RowCount(); ++r) {
            for (int c = 0; c < chars->ColCount(); ++c) {
                const CellDesc& d = chars->Cell(c, r);
                if (d.cell == Flex0 && d.index == code) return std::make_pair(c, r);
            }
        }
        return std::make_pair(-1, -1);
    };
    const auto user = cellOf(0x10);
    ASSERT_TRUE(table->GoToCell(user.first, user.second));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(entry->TextBox()->text(), "%10B");
    EXPECT_TRUE(table->hasFocus());
    const auto dot = cellOf('.');
    const QRect rect = table->CellRect(dot.first, dot.second);
    ASSERT_FALSE(rect.isEmpty());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(entry->TextBox()->text(), "%10%2EB");
    EXPECT_TRUE(entry->TextBox()->hasFocus());
    // The preview shows what the radio will: a user character, a full stop
    // and the B.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Return);
    Settle();
    uint8_t field[4] = {};
    Image().ReadBlock(kBacklightText, field, 4);
    EXPECT_EQ(std::vector<uint8_t>(field, field + 4), (std::vector<uint8_t>{0x10, 0x2E, 'B', ' '}));
}

// The scan lists of a channel open the bit-field editor; a click outside it
// keeps what was ticked, Cancel does not. It opens inside the screen even
// from the rightmost cell.
TEST_F(EditorWindowsTest, TheBitFieldEditorCommitsOnAClickOutside) {
    Open(kVariantPmr, kPmrBank);
    constexpr int32_t kScanList0 = 0x8820;  // list 0's bitmap; channel 0 is bit 7
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancelled" : "clicked outside");
        Focus({CT_Mch, CL_Mch_Scan, 0});
        const std::vector<uint8_t> before = Bytes();
        QTest::keyClick(Grid(), Qt::Key_Return);
        auto* editor = Popup<qt::BitFieldEditor>();
        ASSERT_NE(editor, nullptr);
        const QRect area = editor->screen()->availableGeometry();
        EXPECT_TRUE(area.contains(editor->frameGeometry())) << editor->frameGeometry().x();
        QTest::keyClick(editor->View(), Qt::Key_Space);  // item 1: scan list 0
        EXPECT_EQ(editor->Value() >> 25 & 1, (before[kScanList0] >> 7 & 1) ^ 1u);
        if (cancel) {
            QTest::mouseClick(editor->CancelButton(), Qt::LeftButton);
        } else {
            ClickOutside();
        }
        Settle();
        EXPECT_EQ(Popup<qt::BitFieldEditor>(), nullptr);
        if (cancel) {
            EXPECT_TRUE(Changed(before).empty());
        } else {
            ExpectOnly(before, kScanList0, {static_cast<uint8_t>(before[kScanList0] ^ 0x80)});
        }
    }
}

TEST_F(EditorWindowsTest, AtMostThreeGpsSentences) {
    Open(kVariantPmr, kPmrBank);
    Focus({CT_Mch, CL_Mch_Scan, 0});
    const std::vector<uint8_t> before = Bytes();
    PopupRequest popup;
    popup.kind = PopupKind::CheckBoxes;
    popup.first = 1;
    popup.last = 5;
    popup.headerStyle = 5;
    popup.current = (1 << 25) | (1 << 24) | (1 << 23);  // three sentences
    auto* editor = qt::BitFieldEditor::Open(Grid(), Grid()->CurrentSheet()->Col(),
                                            Grid()->CurrentSheet()->Row(), popup,
                                            Grid()->GlobalCellRect(0, 0));
    Sheet* bits = editor->View()->CurrentSheet();
    std::vector<std::string> heads;
    for (int c = 0; c < bits->ColCount(); ++c) {
        if (!bits->Cell(c, 1).Text().empty()) heads.push_back(bits->Cell(c, 1).Text());
    }
    EXPECT_EQ(heads, (std::vector<std::string>{"RMC", "GGA", "GLL", "GSA", "VTG"}));
    EXPECT_TRUE(editor->OkButton()->isEnabled());
    auto tickOf = [&](int item) {
        for (int c = 0; c < bits->ColCount(); ++c) {
            if (bits->Cell(c, 3).cell == CL_FBits && bits->Cell(c, 3).index == item) return c;
        }
        return -1;
    };
    ASSERT_TRUE(editor->View()->GoToCell(tickOf(5), 3));
    QTest::keyClick(editor->View(), Qt::Key_Space);  // a fourth
    EXPECT_FALSE(editor->OkButton()->isEnabled());
    // A click outside does not hand four sentences back: the editor stays.
    ClickOutside();
    QApplication::processEvents();
    EXPECT_EQ(Popup<qt::BitFieldEditor>(), editor);
    ASSERT_TRUE(editor->View()->GoToCell(tickOf(2), 3));
    QTest::keyClick(editor->View(), Qt::Key_Space);
    EXPECT_TRUE(editor->OkButton()->isEnabled());
    EXPECT_EQ(editor->Value(), (1u << 25) | (1u << 23) | (1u << 21));
    QTest::keyClick(editor->View(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Popup<qt::BitFieldEditor>(), nullptr);
    EXPECT_TRUE(Changed(before).empty());
}

// A choice list opens as a pick sheet: the arrows wrap, Enter or a click
// hands the item back, Escape or a click outside changes nothing.
TEST_F(EditorWindowsTest, ThePickWindowChoosesAnItem) {
    Open(kVariantPmr, kPmrBank);
    constexpr int32_t kPowerByte = 0x927D;  // channel 0's extension record, bits 1-0
    const CellAddress power{CT_Mch, CL_Mch_RfPo, 0};
    auto open = [&] {
        Focus(power);
        QTest::keyClick(Grid(), Qt::Key_Return);
        return Popup<qt::PickWindow>();
    };
    const std::vector<uint8_t> before = Bytes();
    const int value = before[kPowerByte] & 3;

    qt::PickWindow* pick = open();
    ASSERT_NE(pick, nullptr);
    Sheet* list = pick->PickSheet();
    EXPECT_TRUE(list->PickMode());
    EXPECT_EQ(list->RowCount(), 4);  // High, Medium, Low, Very low
    EXPECT_EQ(list->Row(), value);   // the value now is the current item
    EXPECT_TRUE(pick->screen()->availableGeometry().contains(pick->frameGeometry()))
        << pick->frameGeometry().x() << "," << pick->frameGeometry().y() << " "
        << pick->frameGeometry().width() << "x" << pick->frameGeometry().height() << " in "
        << pick->screen()->availableGeometry().width() << "x"
        << pick->screen()->availableGeometry().height();
    for (int i = 0; i < 4; ++i) QTest::keyClick(pick->View(), Qt::Key_Down);
    EXPECT_EQ(list->Row(), value);  // round the end and back
    QTest::keyClick(pick->View(), Qt::Key_Escape);
    Settle();
    EXPECT_EQ(Popup<qt::PickWindow>(), nullptr);
    EXPECT_TRUE(Changed(before).empty());

    pick = open();
    ASSERT_NE(pick, nullptr);
    ClickOutside();
    Settle();
    EXPECT_EQ(Popup<qt::PickWindow>(), nullptr);
    EXPECT_TRUE(Changed(before).empty());

    pick = open();
    ASSERT_NE(pick, nullptr);
    QTest::keyClick(pick->View(), Qt::Key_Down);
    QTest::keyClick(pick->View(), Qt::Key_Return);
    Settle();
    const auto next = static_cast<uint8_t>((before[kPowerByte] & ~3) | ((value + 1) % 4));
    ExpectOnly(before, kPowerByte, {next});

    // One click on an item chooses it.
    pick = open();
    ASSERT_NE(pick, nullptr);
    const QRect first = pick->View()->CellRect(0, 0);
    QTest::mouseClick(pick->View()->viewport(), Qt::LeftButton, {}, first.center());
    Settle();
    EXPECT_EQ(Popup<qt::PickWindow>(), nullptr);
    EXPECT_EQ(Bytes()[kPowerByte] & 3, 0);
}

// Event 21 (before a save, print or clone command) commits an open editor;
// a sheet that goes away closes its windows unanswered.
TEST_F(EditorWindowsTest, OpenWindowsFollowTheirSheet) {
    Open(kVariantDPmr446, kSetModeTexts);
    Focus({CT_Null, CL_TSetM_Backlight, 0});
    QTest::keyClick(Grid(), 'K');
    ASSERT_NE(Popup<qt::TextEntryWindow>(), nullptr);
    Events().Send(ev::kFinishEdits);
    Settle();
    EXPECT_EQ(Popup<qt::TextEntryWindow>(), nullptr);
    EXPECT_EQ(Image().GetByte(kBacklightText), 'K');

    QTest::keyClick(Grid(), 'L');
    ASSERT_NE(Popup<qt::TextEntryWindow>(), nullptr);
    Grid()->SetSheet(nullptr);
    Settle();
    EXPECT_EQ(Popup<qt::TextEntryWindow>(), nullptr);
    EXPECT_EQ(Image().GetByte(kBacklightText), 'K');
}

}  // namespace
}  // namespace parlo
