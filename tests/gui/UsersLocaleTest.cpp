// The desktop program on the user's own desktop. The toolkit sets the C
// library's locale from the environment when the program starts, so these
// run once more with LC_ALL=de_DE.UTF-8 (a ctest entry of their own): a
// decimal comma typed is a decimal mark, a "." stays one, and what the
// sheet shows keeps its ".".
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <clocale>
#include <cstdlib>

#include "app/MainController.h"
#include "cells/CellIds.h"
#include "gui/MainWindow.h"
#include "gui/SheetWidget.h"
#include "model/BankMap.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

class UsersLocaleTest : public test::MainWindowFixture {
protected:
    // The run takes the locale it was given, as the program does.
    void ExpectTheLocaleAskedFor() {
        const char* asked = std::getenv("LC_ALL");
        if (asked != nullptr && *asked != '\0') {
            EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), asked);
        }
    }
    // The texts of the status bar.
    std::string StatusText() {
        QString text;
        for (QLabel* label : window->statusBar()->findChildren<QLabel*>()) {
            if (label->isVisible()) text += "[" + label->text() + "]";
        }
        return text.toStdString();
    }
    // Types `text` into the frequency cell of `slot` as a person does: its
    // first key (or Enter, for a key that opens no editor) opens the
    // in-place editor, Enter commits.
    void TypeFrequency(int32_t slot, std::string text, bool enterFirst = false) {
        Sheet* sheet = window->Sheets()->CurrentSheet();
        ASSERT_NE(sheet, nullptr);
        ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, slot})) << slot;
        window->Sheets()->setFocus();
        if (enterFirst) {
            QTest::keyClick(window->Sheets(), Qt::Key_Return);
        } else {
            QTest::keyClick(window->Sheets(), text[0]);
            text.erase(0, 1);
        }
        ASSERT_NE(QApplication::focusWidget(), window->Sheets()) << "no editor for " << text;
        QTest::keyClicks(QApplication::focusWidget(), QString::fromStdString(text));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QApplication::processEvents();
    }
};

TEST_F(UsersLocaleTest, TypingIntoTheNewRowTakesEitherDecimalMark) {
    ExpectTheLocaleAskedFor();
    Open(kVariantLmr);
    ResetBankLayout(window->Controller().Doc().Working(), true);  // banks of 4 and 4
    window->Controller().Doc().RebuildModelData();
    Select("[St_ChBank]GI_Sheet_Mch_LMR,Bank 0");
    Sheet* sheet = window->Sheets()->CurrentSheet();
    ASSERT_NE(sheet, nullptr);
    const int rows = sheet->RowCount();
    TypeFrequency(4, "446,00625");
    ASSERT_TRUE(test::WaitUntil([&] { return sheet->RowCount() == rows + 1; }));
    TypeFrequency(5, "145.5");
    ASSERT_TRUE(test::WaitUntil([&] { return sheet->RowCount() == rows + 2; }));
    EepromImage& image = window->Controller().Doc().Working();
    EXPECT_EQ(BankSize(image, 0), 6);
    ChannelRecord r(image);
    r.Decode(1, 4);
    EXPECT_TRUE(r.present);
    EXPECT_EQ(r.Value(Field::RxFreq), 446'006'250);
    r.Decode(1, 5);
    EXPECT_TRUE(r.present);
    EXPECT_EQ(r.Value(Field::RxFreq), 145'500'000);
    for (auto [slot, text] : {std::pair{4, "446.006250"}, {5, "145.500000"}}) {
        ASSERT_TRUE(sheet->SelectCell(CellAddress{CT_Mch, CL_Mch_FreqR, slot}));
        EXPECT_EQ(sheet->CellText(sheet->Col(), sheet->Row()), text);
    }
    // A minus sign is no frequency: refused with the reason, the channel
    // keeps its own.
    TypeFrequency(5, "-5", true);
    r.Decode(1, 5);
    EXPECT_EQ(r.Value(Field::RxFreq), 145'500'000);
    EXPECT_EQ(BankSize(image, 0), 6);
    EXPECT_TRUE(test::WaitUntil([&] {
        return StatusText().find("This value cannot be negative.") != std::string::npos;
    })) << StatusText();
}

// File > Import Channels... lists what it stored other than typed.
TEST_F(UsersLocaleTest, AnImportListsTheValuesStoredOtherThanTyped) {
    ExpectTheLocaleAskedFor();
    Open(kVariantPmr);
    test::TempDir dir;
    const std::string csv = dir.file("channels.csv");
    test::WriteFile(csv,
                    "Bank,Position,Receive,Transmit\n"
                    "1,1,\"446,1 MHz\",\"446,0187\"\n"
                    "1,2,900,<-\n");
    ASSERT_TRUE(window->Controller().ImportChannelsFrom(csv));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].icon, MsgIcon::Information);
    const std::string& text = prompts.shown[0].text;
    EXPECT_NE(text.find("line 2, column \"Transmit\": '446,0187' stored as 446.018750\n"
                        "line 3, column \"Receive\": '900' stored as 799.999950\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("446,1"), std::string::npos) << text;  // taken as typed
    ChannelRecord r(window->Controller().Doc().Working());
    r.Decode(ChannelKindOf(kVariantPmr), 0);
    EXPECT_EQ(r.Value(Field::RxFreq), 446'100'000);
}

}  // namespace
}  // namespace parlo
