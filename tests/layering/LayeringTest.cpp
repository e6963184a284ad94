// Includes point down the layers of layers.txt only.
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

}  // namespace
}  // namespace parlo::layering
