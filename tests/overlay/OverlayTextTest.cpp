#include <gtest/gtest.h>

#include "overlay/OverlayText.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::TempDir;

const std::vector<std::string> kFiveLines = {"#A", "x", "#B", "y", "#End_Of_Ovl"};

TEST(OverlayTextTest, SectionsAreReadFromTheirHeaderOn) {
    OverlayText g;
    ASSERT_TRUE(g.SetLines(kFiveLines));
    EXPECT_EQ(g.GetText("B"), "y");
    EXPECT_EQ(g.GetText("A"), "x");
    // Lines are counted blindly: past its own lines a section runs on.
    EXPECT_EQ(g.GetText("A", 1), "#B");
    EXPECT_FATAL(g.GetText("C"), "GTEX Error !\nThe index 'C' was not found.");
}

TEST(OverlayTextTest, HeaderRules) {
    const std::vector<std::string> lines = {"#K ",         "with blank", "#K",     "exact",
                                            "#",           "##x",        "double", "",
                                            "#End_Of_Ovl", "#After",     "never"};
    OverlayText g;
    g.SetLines(lines);
    EXPECT_EQ(g.GetText("K"), "exact");
    EXPECT_EQ(g.GetText("K "), "with blank");
    EXPECT_EQ(g.GetText("K", 1), "#");  // a bare "#" is content, not a header
    EXPECT_EQ(g.GetText("#x"), "double");
    EXPECT_EQ(g.GetText("#x", 1), "");  // empty lines count
    EXPECT_FATAL(g.GetText("After"), "GTEX Error !\nThe index 'After' was not found.");
}

TEST(OverlayTextTest, ReadingBackwardsRestartsFromTheSection) {
    std::vector<std::string> lines = {"#S"};
    for (int i = 0; i < 8; ++i) lines.push_back("line" + std::to_string(i));
    lines.push_back("#End_Of_Ovl");
    OverlayText g;
    g.SetLines(lines);
    EXPECT_EQ(g.GetText("S", 5), "line5");
    EXPECT_EQ(g.GetText("S", 2), "line2");
    EXPECT_EQ(g.GetText("S", 3), "line3");
    EXPECT_EQ(g.GetText("S", 3), "line3");
}

TEST(OverlayTextTest, TheSourceIsChosenOnce) {
    const std::vector<std::string> other = {"#A", "other", "#End_Of_Ovl"};
    OverlayText g;
    EXPECT_TRUE(g.SetLines(kFiveLines));
    EXPECT_FALSE(g.SetFile("/nonexistent"));
    EXPECT_FALSE(g.SetLines(other));
    EXPECT_EQ(g.GetText("A"), "x");
}

TEST(OverlayTextTest, SectionsFoundLateMoveToTheFront) {
    std::vector<std::string> lines;
    for (int i = 0; i < 14; ++i) {
        lines.push_back("#S" + std::to_string(i));
        lines.push_back("v" + std::to_string(i));
    }
    lines.push_back("#End_Of_Ovl");
    OverlayText g;
    g.SetLines(lines);
    EXPECT_EQ(g.GetText("S13"), "v13");  // scanned: stays at the tail
    std::vector<std::string> keys = g.SectionKeys();
    EXPECT_EQ(keys.back(), "S13");
    EXPECT_EQ(g.GetText("S10"), "v10");  // eleventh place: order kept
    EXPECT_EQ(g.SectionKeys(), keys);
    EXPECT_EQ(g.GetText("S11"), "v11");  // twelfth place: to the head
    keys = g.SectionKeys();
    EXPECT_EQ(keys.front(), "S11");
    EXPECT_EQ(keys[1], "S0");
    EXPECT_EQ(g.GetText("S13"), "v13");
    EXPECT_EQ(g.SectionKeys().front(), "S13");
}

TEST(OverlayTextTest, FileSourceFoldsCrLfAndCachesLines) {
    TempDir dir;
    const std::string lf = "#A\nfirst\n\n#B\nsecond\n#End_Of_Ovl\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    test::WriteFile(dir.file("lf.ovl"), lf);
    test::WriteFile(dir.file("crlf.ovl"), crlf);
    for (const char* name : {"lf.ovl", "crlf.ovl"}) {
        OverlayText g;
        g.SetFile(dir.file(name));
        EXPECT_EQ(g.GetText("B"), "second") << name;
        EXPECT_EQ(g.GetText("A"), "first") << name;
        EXPECT_EQ(g.GetText("A", 1), "") << name;
        EXPECT_EQ(g.GetText("A", 2), "#B") << name;
        EXPECT_EQ(g.GetText("A", 0), "first") << name;  // served from the cache
    }
}

TEST(OverlayTextTest, LineCacheHoldsAtMost64Lines) {
    TempDir dir;
    std::string text = "#Big\n";
    for (int i = 0; i < 100; ++i) text += "l" + std::to_string(i) + "\n";
    text += "#End_Of_Ovl\n";
    test::WriteFile(dir.file("big.ovl"), text);
    OverlayText g;
    g.SetFile(dir.file("big.ovl"));
    for (int i = 0; i < 100; ++i) ASSERT_EQ(g.GetText("Big", i), "l" + std::to_string(i));
    EXPECT_EQ(g.CachedLines(), OverlayText::kCacheSize);
    EXPECT_EQ(g.GetText("Big", 99), "l99");
    EXPECT_EQ(g.GetText("Big", 0), "l0");
}

TEST(OverlayTextTest, LongLinesAreSplit) {
    TempDir dir;
    const std::string longLine(OverlayText::kMaxLine + 10, 'a');
    test::WriteFile(dir.file("long.ovl"), "#L\n" + longLine + "\nend\n#End_Of_Ovl\n");
    OverlayText g;
    g.SetFile(dir.file("long.ovl"));
    EXPECT_EQ(g.GetText("L", 0).size(), static_cast<size_t>(OverlayText::kMaxLine));
    EXPECT_EQ(g.GetText("L", 1), std::string(10, 'a'));
    EXPECT_EQ(g.GetText("L", 2), "end");

    const std::vector<std::string> lines = {"#L", longLine, "next", "#End_Of_Ovl"};
    OverlayText a;
    a.SetLines(lines);  // an array element is cut and its rest is lost
    EXPECT_EQ(a.GetText("L", 0).size(), static_cast<size_t>(OverlayText::kMaxLine));
    EXPECT_EQ(a.GetText("L", 1), "next");
}

// The fuzz target reads overlays from memory: what it finds there must be
// what the program finds in a file of the same bytes.
TEST(OverlayTextTest, BytesReadAsTheFileOfThoseBytes) {
    TempDir dir;
    const std::string longLine(OverlayText::kMaxLine + 3, 'a');
    const std::string text = std::string("#A\r\nfirst\r\n\r\nnul\0cut\nlast") + "\n#L\n" +
                             longLine + "\n#C\r\rx\r\n#End_Of_Ovl\n#After\nz";
    test::WriteFile(dir.file("t.ovl"), text);
    const std::vector<std::pair<std::string, int>> lookups = {
        {"L", 1}, {"A", 0}, {"A", 1}, {"A", 2},     {"A", 3}, {"A", 4},   {"L", 0},
        {"L", 2}, {"C", 0}, {"C", 1}, {"After", 0}, {"A", 9}, {"None", 0}};
    for (const std::string& cut : {text, text.substr(0, text.size() - 1), std::string()}) {
        test::WriteFile(dir.file("t.ovl"), cut);
        OverlayText file, bytes;
        file.SetFile(dir.file("t.ovl"));
        bytes.SetBytes(cut);
        for (const auto& [key, index] : lookups) {
            EXPECT_EQ(bytes.TryGetText(key, index), file.TryGetText(key, index))
                << key << " " << index << " of " << cut.size() << " bytes";
        }
        EXPECT_EQ(bytes.SectionKeys(), file.SectionKeys());
    }
}

TEST(OverlayTextTest, MissingSourceFailsAtFirstLookup) {
    OverlayText g;
    g.SetFile("/nonexistent/MV7105C.OVL");
    EXPECT_FATAL(g.GetText("GI_Sys_AppTitle"),
                 "GTEX Error !\nThe index 'GI_Sys_AppTitle' was not found.");
    OverlayText none;
    EXPECT_FATAL(none.GetText("A"), "GTEX Error !\nThe index 'A' was not found.");
    EXPECT_FALSE(none.TryGetText("A").has_value());
}

TEST(OverlayTextTest, MessagesJoinTheirLinesUpToTheNextHeader) {
    test::ScopedOverlay ovl({"#M", "one", "", "three", "#", "#N", "single", "#End_Of_Ovl"});
    EXPECT_EQ(OvlMessage("M"), "one\n\nthree");
    EXPECT_EQ(OvlMessage("N"), "single");
    EXPECT_EQ(OvlLines("M").size(), 3u);
}

TEST(OverlayTextTest, ShippedOverlayEndsProperly) {
    OverlayText g;
    g.SetFile(test::DataFile("MV7105C.OVL"));
    EXPECT_FALSE(g.GetText("GI_Sys_AppTitle").empty());
    EXPECT_EQ(g.GetText("GI_Sys_LockoutNewerData"), "1");
    for (int v = 0; v < 4; ++v) EXPECT_FALSE(g.GetText("GI_App_InitialFile", v).empty());
    EXPECT_FALSE(g.TryGetText("No_Such_Key").has_value());
    const auto all = g.SectionKeys();
    EXPECT_EQ(all.back(), "End_Of_Ovl");
}

}  // namespace
}  // namespace parlo
