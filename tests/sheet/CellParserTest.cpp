#include <gtest/gtest.h>

#include "cells/CellNames.h"
#include "sheet/CellParser.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

const std::vector<std::string> kModels = {
    "#CellModel_iChI",  "^-WH(Color=clGray)(Font=,,clWhite,,,fsBold,)",
    "#CellModel_Basic", "<-(Color=clWindow)(Font=DEFAULT_CHARSET,Sans,clWindowText,-17,,,)",
    "#CellModel_Sel",   "S($Basic)(Color=clAqua)",
    "#End_Of_Ovl"};

class CellParserTest : public ::testing::Test {
protected:
    test::ScopedOverlay ovl{kModels};
    CellParser parser{ovl.overlay()};
    Counters counters{};

    // All cells of a line, each parsed with `base`.
    std::vector<CellDesc> Parse(const std::string& line, const CellDesc* base = nullptr) {
        std::vector<CellDesc> cells;
        for (std::string rest = line; !rest.empty();) {
            cells.emplace_back();
            rest = parser.ParseCell(rest, cells.back(), base, counters);
        }
        return cells;
    }
};

TEST_F(CellParserTest, CellSourcesAndDelimiters) {
    struct Case {
        std::string line;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"a|b|", {"a", "b"}},
        {"a|b", {"a", "b"}},
        {"|a", {"", "a"}},
        {"", {}},
        {"x\\|y|z", {"x|y", "z"}},
        {"  pad  |", {"pad"}},
        {"pre{(Color=clRed)}post", {"prepost"}},
        {"line\\none\\_two\\\\", {"line\none two\\"}},
    };
    for (const Case& c : cases) {
        const auto cells = Parse(c.line);
        ASSERT_EQ(cells.size(), c.texts.size()) << c.line;
        EXPECT_EQ(CellParser::CountCells(c.line), static_cast<int>(c.texts.size())) << c.line;
        for (size_t i = 0; i < cells.size(); ++i) EXPECT_EQ(cells[i].Text(), c.texts[i]) << c.line;
    }
}

TEST_F(CellParserTest, CellModelsApplyRecursively) {
    const auto cells = Parse("|{($iChI)}0|{($Sel)}x");
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_FALSE(cells[0].displayText.has_value());
    EXPECT_EQ(cells[1].Text(), "0");
    EXPECT_EQ(cells[1].HAlign(), 1);
    EXPECT_EQ(cells[1].VAlign(), 1);
    EXPECT_EQ(cells[1].flagsB & (CellDesc::kFitWidth | CellDesc::kFitHeight),
              CellDesc::kFitWidth | CellDesc::kFitHeight);
    EXPECT_EQ(cells[1].colour, 0x808080u);
    ASSERT_TRUE(cells[1].font);
    EXPECT_EQ(cells[1].font->colour, 0xFFFFFFu);
    EXPECT_EQ(cells[1].font->style, FontSpec::kBold);
    EXPECT_TRUE(cells[2].Selectable());
    EXPECT_EQ(cells[2].colour, 0xFFFF00u);  // later attribute wins
    EXPECT_EQ(cells[2].font->name, "Sans");
    EXPECT_FATAL(Parse("{($Missing)}"),
                 "GTEX Error !\nThe index 'CellModel_Missing' was not found.");
}

// A model that reaches itself would be applied for ever (the stack
// overflowed); models that use the next ones many times would take ages.
TEST(CellModelLoops, AreProgramErrors) {
    std::vector<std::string> lines = {
        "#CellModel_Self", "S($Self)", "#CellModel_A",     "($B)",
        "#CellModel_B",    "($C)",     "#CellModel_C",     "(Color=clRed)($A)",
        "#CellModel_Leaf", "S",        "#CellModel_Twice", "($Leaf)($Leaf)"};
    // Each level uses the one below twice: 2^9 leaves.
    for (int level = 1; level <= 9; ++level) {
        const std::string below = level == 1 ? "Leaf" : "Wide" + std::to_string(level - 1);
        lines.push_back("#CellModel_Wide" + std::to_string(level));
        lines.push_back("($" + below + ")($" + below + ")");
    }
    lines.push_back("#End_Of_Ovl");
    test::ScopedOverlay ovl(lines);
    CellParser parser(ovl.overlay());
    Counters counters{};
    CellDesc d;
    EXPECT_FATAL(parser.ParseCell("{($Self)}", d, nullptr, counters),
                 "The cell model 'Self' uses itself: $Self -> $Self.");
    EXPECT_FATAL(parser.ParseCell("{($A)}x|", d, nullptr, counters),
                 "The cell model 'A' uses itself: $A -> $B -> $C -> $A.");
    // A model used again after it was done is no loop, and a parser that
    // met a loop parses the next cell as before.
    parser.ParseCell("{($Twice)($Twice)}x", d, nullptr, counters);
    EXPECT_TRUE(d.Selectable());
    parser.ParseCell("{($Wide7)}x", d, nullptr, counters);  // 255 models
    EXPECT_TRUE(d.Selectable());
    EXPECT_FATAL(parser.ParseCell("{($Wide9)}x", d, nullptr, counters),
                 "A cell uses more than 256 cell models ('Leaf' is one).");
}

TEST_F(CellParserTest, FlagsNegationAndInheritance) {
    CellDesc base;
    parser.ParseCell("{SB>_(Flag2=1)(Color=clLime)(PopupMenu=GI_PMenu_Edit)}", base, nullptr,
                     counters);
    struct Case {
        const char* source;
        bool selectable;
        int halign;
        bool bottomRule;
        bool flag2;
    };
    const Case cases[] = {
        {"x", true, 2, true, true},
        {"{!S}x", false, 2, true, true},
        {"{!<}x", true, 0, true, true},  // "!" has no effect on alignment
        {"{!B(Flag2=0)}x", true, 2, false, false},
        {"{(Flag2=7)}x", true, 2, true, true},  // other values ignored
        {"{\\S}x", true, 2, true, true},        // escaped: inert
    };
    for (const Case& c : cases) {
        CellDesc d;
        parser.ParseCell(c.source, d, &base, counters);
        EXPECT_EQ(d.Selectable(), c.selectable) << c.source;
        EXPECT_EQ(d.HAlign(), c.halign) << c.source;
        EXPECT_EQ((d.flagsB & CellDesc::kBottomRule) != 0, c.bottomRule) << c.source;
        EXPECT_EQ(d.FreeFlagSet(2), c.flag2) << c.source;
        EXPECT_EQ(d.colour, 0x00FF00u);
        EXPECT_FALSE(d.popupMenu.has_value());  // not copied, but found through the base
        EXPECT_EQ(d.EffectivePopupMenu(), "GI_PMenu_Edit");
    }
}

TEST_F(CellParserTest, CellReferences) {
    struct Case {
        const char* source;
        int category, cell, index;
        std::optional<std::string> action;
    };
    counters[2] = 17;
    const Case cases[] = {
        {"{(%CT_Mch.CL_Mch_FreqR[5])}", CT_Mch, CL_Mch_FreqR, 5, std::nullopt},
        {"{(%CL_Mch_FreqT)}", kNoCategory, CL_Mch_FreqT, 0, std::nullopt},
        {"{(%CT_PopupMenu.)}", CT_PopupMenu, kNoCell, 0, std::nullopt},
        {"{(%.CL_Null)}", kNoCategory, CL_Null, 0, std::nullopt},
        {"{(%CT_Mch.CL_Mch_No[@ch2])}", CT_Mch, CL_Mch_No, 17, std::nullopt},
        {"{(%CallSheet:[St_ChBank]GI_Sheet_Mch_PMR,Bank 0)}", kNoCategory, CallSheet, 0,
         "[St_ChBank]GI_Sheet_Mch_PMR,Bank 0"},
        {"{(%CT_PopupMenu.CL_PMenu_Edit:Enter)}", CT_PopupMenu, CL_PMenu_Edit, 0, "Enter"},
        {"{(%CL_Menu_View_FontSize[150]:Ctrl\\+\\))}", kNoCategory, CL_Menu_View_FontSize, 150,
         "Ctrl+)"},
    };
    for (const Case& c : cases) {
        CellDesc d;
        parser.ParseCell(c.source, d, nullptr, counters);
        EXPECT_EQ(d.category, c.category) << c.source;
        EXPECT_EQ(d.cell, c.cell) << c.source;
        EXPECT_EQ(d.index, c.index) << c.source;
        EXPECT_EQ(d.action, c.action) << c.source;
    }
    CellDesc d;
    EXPECT_FATAL(parser.ParseCell("{(%CT_Bogus.CL_Null)}", d, nullptr, counters),
                 "Cannot use the specified category.\n'CT_Bogus'");
    EXPECT_FATAL(parser.ParseCell("{(%CL_Bogus)}", d, nullptr, counters),
                 "Cannot use the specified cell.\n'CL_Bogus'");
}

TEST_F(CellParserTest, CountersAndCounterExpressions) {
    Parse("{(@ch0=4)(@ch1 = 9)(@ch1++)}");
    EXPECT_EQ(counters[0], 4);
    EXPECT_EQ(counters[1], 10);
    Parse("{(@ch12++)}");  // two digits: not a counter
    EXPECT_EQ(counters[1], 10);
    EXPECT_EQ(Parse("CH \\(@ch0+1)")[0].Text(), "CH 5");
    EXPECT_EQ(Parse("\\( @ch1 )/\\(@ch0)")[0].Text(), "10/4");
    counters[3] = 1234567;
    EXPECT_EQ(Parse("\\(@ch3+1)")[0].Text(), "123456");
    EXPECT_FATAL(Parse("\\(@ch0"), "Illegal Ch No.");
    EXPECT_FATAL(Parse("\\(ch0)"), "Ch No. Error");
}

TEST_F(CellParserTest, FontSpecs) {
    CellDesc base;
    parser.ParseCell("{(Font=ANSI_CHARSET,Mono,clNavy,-20,,fsItalic,fpFixed)}", base, nullptr,
                     counters);
    struct Case {
        const char* source;
        FontSpec want;
    };
    FontSpec navy;
    navy.charset = 0, navy.name = "Mono", navy.colour = 0x800000, navy.height = -20,
    navy.style = FontSpec::kItalic, navy.pitch = FontSpec::kPitchFixed;
    FontSpec whiteBold = navy;
    whiteBold.colour = 0xFFFFFF, whiteBold.style = FontSpec::kBold;
    FontSpec taller = navy;
    taller.height = -30;
    FontSpec styles = navy;
    styles.style = FontSpec::kBold | FontSpec::kUnderline;
    FontSpec unchanged = navy;
    const Case cases[] = {
        {"{(Font=,,clWhite,,,fsBold,)}", whiteBold},
        {"{(Font=,,,%150,,,)}", taller},
        {"{(Font=,,,,,fsBold+fsUnderline,)}", styles},
        {"{(Font=NO_CHARSET,,clNothing,0,,fsNothing,fpNone)}", unchanged},
        {"{(Font= OEM_CHARSET  ,,,,,,)}",
         [&] {
             FontSpec f = navy;
             f.charset = 255;
             return f;
         }()},
    };
    for (const Case& c : cases) {
        CellDesc d;
        parser.ParseCell(c.source, d, &base, counters);
        ASSERT_TRUE(d.font) << c.source;
        EXPECT_EQ(*d.font, c.want) << c.source;
    }
    CellDesc sized;
    parser.ParseCell("{(Font=,,,,12,,)}", sized, nullptr, counters);
    EXPECT_EQ(sized.font->height, -16);  // 12 points at 96 dots per inch
}

}  // namespace
}  // namespace parlo
