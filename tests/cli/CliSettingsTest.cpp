// parlo-cli settings: the effective settings, read without a display,
// without the single-instance guard and without writing anything.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;

const char* const kDefaults =
    "BBT=753951\nComPort=1\nComSpeedHigh=0\nCurrent Directory=\n"
    "Recent0=\nRecent1=\nRecent2=\nRecent3=\nRecent4=\n"
    "Recent5=\nRecent6=\nRecent7=\nRecent8=\nRecent9=\n"
    "FontSize Percentage=100\nToolbar Visible=1\n"
    "Left=240\nTop=127\nWidth=800\nHeight=600\nSplitterV=200\nModelType=3\n"
    "VerifyAfterWrite=1\nBackupBeforeWrite=1\n";

class CliSettings : public ::testing::Test {
protected:
    CliSettings() {
        fs::create_directories(dir.path() / "config" / "Keld");
        fs::create_directories(dir.path() / "run");
    }
    std::string Ini() const { return dir.file("config/Keld/Parlo.ini"); }

    // parlo-cli settings with no display at all.
    test::ProcessResult Run() {
        return test::RunProcess("/usr/bin/env",
                                {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                 "XDG_CONFIG_HOME=" + dir.file("config"),
                                 "XDG_RUNTIME_DIR=" + dir.file("run"), PARLO_CLI_PATH, "settings"});
    }

    test::TempDir dir;
};

TEST_F(CliSettings, PrintsTheDefaultsWhenNothingIsStored) {
    const auto r = Run();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kDefaults);
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(fs::exists(Ini()));
    EXPECT_TRUE(fs::is_empty(dir.path() / "run"));  // no guard taken
}

TEST_F(CliSettings, PrintsStoredValuesWithLimitsAppliedAndLeavesTheFileAlone) {
    const std::string ini =
        "[Global]\nBBT=753951\nComPort=300\nComSpeedHigh=1\n"
        "Current Directory=/home/dealer/radios\n"
        "[Recent%20File%20List]\nRecent0=/home/dealer/radios/a.icf\nRecent1=/srv/B.icf\n"
        "Recent2=/home/dealer/radios/A.ICF\nRecent3=\nRecent4=\nRecent5=\nRecent6=\n"
        "Recent7=\nRecent8=\nRecent9=\n"
        "[View%20Option]\nFontSize%20Percentage=10\nToolbar%20Visible=0\n"
        "[Window%20Position]\nLeft=5000\nTop=-40\nWidth=1024\nHeight=768\nSplitterV=3\n"
        "[Setup]\nModelType=7\n"
        "[Ports]\nPort12=/dev/ttyACM1\nPort2=/dev/ttyACM0\n"
        "[Cloning]\nVerifyAfterWrite=0\nBackupBeforeWrite=yes\n";
    test::WriteFile(Ini(), ini);
    const auto modified = fs::last_write_time(Ini());
    const auto r = Run();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "BBT=753951\nComPort=256\nComSpeedHigh=1\nCurrent Directory=/home/dealer/radios\n"
              // Loading appends, so of two equal entries the later one stays.
              "Recent0=/srv/B.icf\nRecent1=/home/dealer/radios/A.ICF\nRecent2=\nRecent3=\n"
              "Recent4=\nRecent5=\nRecent6=\nRecent7=\nRecent8=\nRecent9=\n"
              "FontSize Percentage=25\nToolbar Visible=0\n"
              "Left=5000\nTop=-40\nWidth=1024\nHeight=768\nSplitterV=3\nModelType=7\n"
              // A value that is no number keeps its default.
              "VerifyAfterWrite=0\nBackupBeforeWrite=1\n"
              "Port2=/dev/ttyACM0\nPort12=/dev/ttyACM1\n");
    EXPECT_EQ(test::ReadFile(Ini()), ini);
    EXPECT_EQ(fs::last_write_time(Ini()), modified);
}

TEST_F(CliSettings, AWrongMarkerPrintsTheDefaults) {
    test::WriteFile(Ini(),
                    "[Global]\nBBT=1\nComPort=4\nComSpeedHigh=1\nCurrent Directory=/x\n"
                    "[Ports]\nPort1=/dev/ttyS0\n");
    const auto r = Run();
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kDefaults) + "Port1=/dev/ttyS0\n");
}

TEST_F(CliSettings, TakesNoOperands) {
    const auto r = test::RunCli({"settings", "extra"});
    EXPECT_EQ(r.status, 64);
}

}  // namespace
}  // namespace parlo
