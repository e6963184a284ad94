// Includes point down the layers of layers.txt only, and every layer a line
// of it names is used.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/layering/LayerRules.h"

namespace parlo::layering {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(LayeringTest, NoIncludeOfTheSourceTreePointsUp) {
    const fs::path root = PARLO_SOURCE_DIR;
    const LayerRules rules = LayerRules::Parse(ReadFile(root / "layers.txt"));
    ASSERT_FALSE(rules.layers.empty());
    for (const Violation& v : FindUpwardIncludes(root, rules)) ADD_FAILURE() << v.text();
}

TEST(LayeringTest, EveryLayerTheFileNamesIsUsed) {
    const fs::path root = PARLO_SOURCE_DIR;
    const LayerRules rules = LayerRules::Parse(ReadFile(root / "layers.txt"));
    for (const std::string& unused : FindUnusedUses(root, rules)) ADD_FAILURE() << unused;
}

// Every folder of layers.txt exists and every layer it uses is a layer.
TEST(LayeringTest, TheLayerFileNamesFoldersThatExist) {
    const fs::path root = PARLO_SOURCE_DIR;
    const LayerRules rules = LayerRules::Parse(ReadFile(root / "layers.txt"));
    for (const std::string& layer : rules.layers) {
        EXPECT_TRUE(fs::is_directory(root / layer)) << layer;
        for (const std::string& used : rules.uses.at(layer)) {
            EXPECT_NE(std::find(rules.layers.begin(), rules.layers.end(), used), rules.layers.end())
                << layer << " uses " << used;
        }
    }
}

class LayerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        root_ =
            fs::temp_directory_path() /
            ("parlo-layers-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    void Write(const std::string& path, const std::string& text) {
        fs::create_directories((root_ / path).parent_path());
        std::ofstream(root_ / path) << text;
    }
    fs::path root_;
    const LayerRules rules_ = LayerRules::Parse(
        "# bottom to top\n"
        "platform\n"
        "platform/posix platform\n"
        "model   platform  # the image\n"
        "sheet   model\n"
        "cli     sheet platform/posix\n"
        "gui     sheet\n");
};

TEST_F(LayerFixture, ReadsLayersUsesAndNestedFolders) {
    EXPECT_EQ(rules_.layers.size(), 6u);
    EXPECT_EQ(rules_.LayerOf("platform/posix/Serial.cpp"), "platform/posix");
    EXPECT_EQ(rules_.LayerOf("platform/Fatal.h"), "platform");
    EXPECT_EQ(rules_.LayerOf("tests/model/X.cpp"), "");
    EXPECT_EQ(rules_.Visible("sheet"), (std::set<std::string>{"sheet", "model", "platform"}));
    EXPECT_EQ(rules_.Visible("cli"),
              (std::set<std::string>{"cli", "sheet", "model", "platform", "platform/posix"}));
}

TEST_F(LayerFixture, NamesEveryIncludeThatPointsUpWithFileAndLine) {
    Write("model/Image.h", "#pragma once\n#include \"platform/Fatal.h\"\n");
    Write("model/Image.cpp",
          "#include \"model/Image.h\"\n"
          "\n"
          "#include \"sheet/Sheet.h\"\n"                  // up
          "  #  include \"platform/posix/Serial.h\"\n");  // a side layer it does not use
    Write("sheet/Sheet.cpp",
          "#include \"model/Image.h\"\n#include <vector>\n#include \"Local.h\"\n");
    Write("cli/Main.cpp", "#include \"gui/Window.h\"\n#include \"platform/posix/Serial.h\"\n");
    Write("gui/Window.cpp", "#include \"cli/Args.h\"\n");
    Write("tests/Anything.cpp", "#include \"gui/Window.h\"\n");  // not a layer: not checked

    const std::vector<Violation> found = FindUpwardIncludes(root_, rules_);
    std::vector<std::string> texts;
    for (const Violation& v : found) texts.push_back(v.text());
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "cli/Main.cpp:1: includes \"gui/Window.h\", which is not below its layer",
                  "gui/Window.cpp:1: includes \"cli/Args.h\", which is not below its layer",
                  "model/Image.cpp:3: includes \"sheet/Sheet.h\", which is not below its layer",
                  "model/Image.cpp:4: includes \"platform/posix/Serial.h\", which is not "
                  "below its layer",
              }));
}

// An include is checked however it is written: in angle brackets, or by a
// path relative to the including file.
TEST_F(LayerFixture, AngleBracketsAndRelativePathsAreCheckedToo) {
    const LayerRules shipped =
        LayerRules::Parse(ReadFile(fs::path(PARLO_SOURCE_DIR) / "layers.txt"));
    Write("model/Probe.h", "#pragma once\n#include <app/Document.h>\n#include <vector>\n");
    Write("codecs/Probe.cpp",
          "#include \"Probe.h\"\n"
          "#include \"../sheet/CsvTable.h\"\n"
          "#include \"../model/EepromImage.h\"\n"  // down: allowed
          "#include \"../../outside.h\"\n");       // outside the tree: not a layer
    Write("codecs/Probe.h", "#pragma once\n");
    std::vector<std::string> texts;
    for (const Violation& v : FindUpwardIncludes(root_, shipped)) texts.push_back(v.text());
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "codecs/Probe.cpp:2: includes \"../sheet/CsvTable.h\", which is not below its "
                  "layer",
                  "model/Probe.h:2: includes \"app/Document.h\", which is not below its layer",
              }));
}

TEST_F(LayerFixture, NamesTheUsesThatNoFileNeeds) {
    // sheet includes model; cli includes sheet and a header of platform
    // that platform/posix implements; gui includes sheet and only a
    // platform header that platform has the source of.
    Write("platform/Fatal.h", "#pragma once\n");
    Write("platform/Fatal.cpp", "#include \"platform/Fatal.h\"\n");
    Write("platform/Serial.h", "#pragma once\n");
    Write("platform/posix/Serial.cpp",
          "#include \"platform/Serial.h\"\n#include \"platform/Fatal.h\"\n");
    Write("model/Image.cpp", "#include <platform/Fatal.h>\n");
    Write("sheet/Sheet.cpp", "#include \"../model/Image.h\"\n");
    Write("cli/Main.cpp", "#include \"sheet/Sheet.h\"\n#include \"platform/Serial.h\"\n");
    Write("gui/Window.cpp", "#include \"sheet/Sheet.h\"\n#include \"platform/Fatal.h\"\n");
    const LayerRules rules = LayerRules::Parse(
        "platform\n"
        "platform/posix platform\n"
        "model   platform\n"
        "sheet   model platform\n"
        "cli     sheet platform/posix\n"
        "gui     sheet platform/posix\n");
    EXPECT_EQ(FindUnusedUses(root_, rules),
              (std::vector<std::string>{"sheet uses platform", "gui uses platform/posix"}));
}

}  // namespace
}  // namespace parlo::layering
