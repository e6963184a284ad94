// The settings in $XDG_CONFIG_HOME/Keld/Parlo.ini: defaults, limits, the
// fall-back to defaults when anything cannot be read, saving, the port map,
// and the single-instance guard that decides who saves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/AppSettings.h"
#include "platform/qtcore/QtInstanceLock.h"
#include "platform/qtcore/QtSettingsStore.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using Values = std::vector<std::pair<std::string, std::string>>;

struct Stored {
    std::string group, name, value;
};

// A complete, valid set as the program saves it.
std::vector<Stored> FullSet() {
    std::vector<Stored> set = {
        {"Global", "BBT", "753951"},
        {"Global", "ComPort", "3"},
        {"Global", "ComSpeedHigh", "1"},
        {"Global", "Current Directory", "/home/dealer/radios"},
        {"View Option", "FontSize Percentage", "120"},
        {"View Option", "Toolbar Visible", "0"},
        {"Window Position", "Left", "10"},
        {"Window Position", "Top", "20"},
        {"Window Position", "Width", "900"},
        {"Window Position", "Height", "700"},
        {"Window Position", "SplitterV", "150"},
        {"Setup", "ModelType", "1"},
    };
    for (int n = 0; n < 10; ++n) {
        const char* path = n == 0 ? "/home/dealer/radios/a.icf" : n == 1 ? "/srv/b, c.icf" : "";
        set.push_back({"Recent File List", "Recent" + std::to_string(n), path});
    }
    return set;
}

std::vector<Stored> Without(std::vector<Stored> set, const std::string& group,
                            const std::string& name = "") {
    std::erase_if(
        set, [&](const Stored& s) { return s.group == group && (name.empty() || s.name == name); });
    return set;
}

std::vector<Stored> With(std::vector<Stored> set, const Stored& value) {
    set = Without(std::move(set), value.group, value.name);
    set.push_back(value);
    return set;
}

// Each test gets its own $XDG_CONFIG_HOME, $XDG_RUNTIME_DIR and screen.
class AppSettingsTest : public ::testing::Test {
protected:
    AppSettingsTest() {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        if (old != nullptr) oldConfigHome_ = old;
        UseConfigHome("home");
    }
    ~AppSettingsTest() override {
        if (oldConfigHome_) {
            ::setenv("XDG_CONFIG_HOME", oldConfigHome_->c_str(), 1);
        } else {
            ::unsetenv("XDG_CONFIG_HOME");
        }
    }

    // Points $XDG_CONFIG_HOME at a fresh folder of the test's.
    void UseConfigHome(const std::string& name) {
        ::setenv("XDG_CONFIG_HOME", dir.file(name).c_str(), 1);
    }
    std::string IniPath() const { return qt::UserSettingsPath(); }

    void Write(const std::vector<Stored>& set) {
        qt::QtSettingsStore store;
        for (const Stored& s : set) store.WriteText(s.group, s.name, s.value);
        ASSERT_TRUE(store.Flush());
    }

    // The settings a reader (no guard) loads from the current file.
    Values Read() {
        qt::QtSettingsStore store;
        AppSettings env(store, screen, nullptr);
        return env.NamedValues();
    }
    Values Defaults() {
        const std::string keep = std::getenv("XDG_CONFIG_HOME");
        UseConfigHome("nothing-here");
        Values v = Read();
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
        return v;
    }

    test::TempDir dir;
    FixedScreen screen;

private:
    std::optional<std::string> oldConfigHome_;
};

std::string Value(const Values& values, const std::string& name) {
    for (const auto& [n, v] : values) {
        if (n == name) return v;
    }
    ADD_FAILURE() << "no value " << name;
    return {};
}

TEST_F(AppSettingsTest, FirstRunStartsWithTheDefaultsAndSavesThemAtTheEnd) {
    EXPECT_EQ(IniPath(), dir.file("home") + "/Keld/Parlo.ini");
    {
        qt::QtSettingsStore store;
        qt::QtInstanceLock guard(dir.file("guard.lock"));
        AppSettings env(store, screen, &guard);
        EXPECT_TRUE(env.InstanceOk());
        EXPECT_TRUE(env.SettingsValid());
        const Values expected = {
            {"BBT", "753951"},         {"ComPort", "1"},  {"ComSpeedHigh", "0"},
            {"Current Directory", ""}, {"Recent0", ""},   {"Recent1", ""},
            {"Recent2", ""},           {"Recent3", ""},   {"Recent4", ""},
            {"Recent5", ""},           {"Recent6", ""},   {"Recent7", ""},
            {"Recent8", ""},           {"Recent9", ""},   {"FontSize Percentage", "100"},
            {"Toolbar Visible", "1"},  {"Left", "240"},   {"Top", "127"},
            {"Width", "800"},          {"Height", "600"}, {"SplitterV", "200"},
            {"ModelType", "3"},
        };
        EXPECT_EQ(env.NamedValues(), expected);
        EXPECT_FALSE(fs::exists(IniPath()));  // nothing is written before the end
    }
    const std::string ini = test::ReadFile(IniPath());
    for (const char* line :
         {"[Global]", "BBT=753951", "[Recent%20File%20List]", "Recent9=", "[View%20Option]",
          "[Window%20Position]", "SplitterV=200", "[Setup]", "ModelType=3"}) {
        EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
    }
    EXPECT_EQ(Read(), Defaults());
}

TEST_F(AppSettingsTest, WindowDefaultsFollowTheScreen) {
    struct Case {
        ScreenSize size;
        int32_t left, top, width, height;
    };
    const Case cases[] = {
        {{1280, 1024}, 240, 127, 800, 600},
        {{1920, 1080}, 560, 144, 800, 600},
        {{800, 600}, 40, 18, 720, 540},
        {{1001, 667}, 100, 20, 800, 600},  // (1001 - 800) / 2 rounds toward zero
    };
    for (const Case& c : cases) {
        screen = FixedScreen(c.size);
        const Values v = Read();
        EXPECT_EQ(Value(v, "Left"), std::to_string(c.left)) << c.size.width;
        EXPECT_EQ(Value(v, "Top"), std::to_string(c.top)) << c.size.width;
        EXPECT_EQ(Value(v, "Width"), std::to_string(c.width)) << c.size.width;
        EXPECT_EQ(Value(v, "Height"), std::to_string(c.height)) << c.size.width;
    }
}

TEST_F(AppSettingsTest, LoadedValuesAreBroughtIntoRange) {
    struct Case {
        Stored stored;
        const char* loaded;
    };
    const Case cases[] = {
        {{"Global", "ComPort", "0"}, "1"},
        {{"Global", "ComPort", "-7"}, "1"},
        {{"Global", "ComPort", "256"}, "256"},
        {{"Global", "ComPort", "300"}, "256"},
        {{"Global", "ComSpeedHigh", "2"}, "1"},
        {{"Global", "ComSpeedHigh", "-1"}, "0"},
        {{"View Option", "FontSize Percentage", "10"}, "25"},
        {{"View Option", "FontSize Percentage", "5000"}, "1000"},
        {{"View Option", "FontSize Percentage", "25"}, "25"},
        {{"View Option", "Toolbar Visible", "5"}, "1"},
        {{"Window Position", "Left", "5000"}, "5000"},  // placement is the window's job
        {{"Window Position", "SplitterV", "-3"}, "-3"},
        // Beyond what a screen coordinate holds: a window of gigabytes.
        {{"Window Position", "Width", "2147483647"}, "32767"},
        {{"Window Position", "Height", "10000"}, "10000"},
        {{"Window Position", "Left", "-2147483648"}, "-32768"},
        {{"Window Position", "Top", "99999"}, "32767"},
        {{"Window Position", "SplitterV", "2147483647"}, "32767"},
        {{"Setup", "ModelType", "259"}, "3"},  // the low byte, signed
        {{"Setup", "ModelType", "255"}, "-1"},
        {{"Setup", "ModelType", "7"}, "7"},
    };
    int n = 0;
    for (const Case& c : cases) {
        UseConfigHome("case" + std::to_string(n++));
        Write(With(FullSet(), c.stored));
        const Values v = Read();
        EXPECT_EQ(Value(v, c.stored.name), c.loaded) << c.stored.name << "=" << c.stored.value;
        EXPECT_EQ(Value(v, "Recent0"), "/home/dealer/radios/a.icf");
    }
}

// Anything that cannot be read means the whole set falls back to the
// defaults, the recent list included.
TEST_F(AppSettingsTest, AnUnreadableValueGivesTheDefaultsForEverything) {
    struct Case {
        const char* what;
        std::vector<Stored> set;
    };
    const Case cases[] = {
        {"wrong marker", With(FullSet(), {"Global", "BBT", "753950"})},
        {"no Global", Without(FullSet(), "Global")},
        {"no Recent File List", Without(FullSet(), "Recent File List")},
        {"no View Option", Without(FullSet(), "View Option")},
        {"no Window Position", Without(FullSet(), "Window Position")},
        {"no Setup", Without(FullSet(), "Setup")},
        {"a missing value", Without(FullSet(), "Recent File List", "Recent9")},
        {"text for a number", With(FullSet(), {"Window Position", "Top", "high"})},
        {"a number beyond 32 bits", With(FullSet(), {"Global", "ComPort", "4294967297"})},
    };
    const Values defaults = Defaults();
    int n = 0;
    for (const Case& c : cases) {
        UseConfigHome("case" + std::to_string(n++));
        Write(c.set);
        EXPECT_EQ(Read(), defaults) << c.what;
    }
    UseConfigHome("whole");
    Write(FullSet());
    EXPECT_EQ(Value(Read(), "ComPort"), "3");
}

TEST_F(AppSettingsTest, SaveAndLoadRoundTrip) {
    Values saved;
    {
        qt::QtSettingsStore store;
        qt::QtInstanceLock guard(dir.file("guard.lock"));
        AppSettings env(store, screen, &guard);
        env.SetComPort(4);
        env.SetComSpeedHigh(true);
        env.SetCurrentDirectory("/home/dealer/Ünits, north");
        env.Recent().AddFront("/home/dealer/a.icf");
        env.Recent().AddFront("@odd=name;.icf");
        env.SetFontSizePercentage(150);
        env.SetToolbarVisible(false);
        env.SetWindowBounds(-20, 30, 1024, 768);
        env.SetSplitterV(8);
        env.SetModelType(2);
        env.SetPortDevice(1, "/dev/ttyACM0");
        env.SetPortDevice(12, "/dev/serial/by-id/usb-cable port");
        env.SetLastPrintTarget("/home/dealer/Prints, 2026/bank 1.pdf", "");
        saved = env.NamedValues();
    }
    qt::QtSettingsStore store;
    AppSettings env(store, screen, nullptr);
    EXPECT_EQ(env.NamedValues(), saved);
    // The last PDF file stays offered after a print to a printer.
    EXPECT_EQ(env.LastPdfFile(), "/home/dealer/Prints, 2026/bank 1.pdf");
    EXPECT_EQ(env.LastPrinter(), "");
    env.SetLastPrintTarget("", "Office laser");
    EXPECT_EQ(env.LastPdfFile(), "/home/dealer/Prints, 2026/bank 1.pdf");
    EXPECT_EQ(env.LastPrinter(), "Office laser");
    EXPECT_EQ(Value(saved, "Recent0"), "@odd=name;.icf");
    EXPECT_EQ(env.PortMap(), (std::map<int32_t, std::string>{
                                 {1, "/dev/ttyACM0"}, {12, "/dev/serial/by-id/usb-cable port"}}));
}

TEST_F(AppSettingsTest, PortsMapToDevices) {
    fs::create_directories(fs::path(IniPath()).parent_path());
    // A file the user wrote by hand: only the port map, so every other
    // setting takes its default, but the map still counts.
    test::WriteFile(IniPath(),
                    "[Ports]\nPort2=/dev/ttyACM0\nPort7 = /dev/ttyS0\nPort0=/dev/null\n"
                    "Port257=/dev/null\nPortx=/dev/null\nPort3=\nCom4=/dev/null\n");
    qt::QtSettingsStore store;
    AppSettings env(store, screen, nullptr);
    EXPECT_EQ(env.NamedValues(), Defaults());
    EXPECT_EQ(env.PortMap(),
              (std::map<int32_t, std::string>{{2, "/dev/ttyACM0"}, {7, "/dev/ttyS0"}}));
    EXPECT_EQ(env.PortDevice(2), "/dev/ttyACM0");
    EXPECT_EQ(env.PortDevice(1), "/dev/ttyUSB0");
    EXPECT_EQ(env.PortDevice(3), "/dev/ttyUSB2");
    EXPECT_EQ(env.PortDevice(256), "/dev/ttyUSB255");
    EXPECT_EQ(env.PortDevice(0), "");
}

// Only the process holding the guard writes; a second instance and a
// reader leave the file as it was.
TEST_F(AppSettingsTest, OnlyTheGuardHolderSaves) {
    Write(FullSet());
    const std::string before = test::ReadFile(IniPath());
    qt::QtSettingsStore firstStore;
    qt::QtInstanceLock firstGuard(dir.file("guard.lock"));
    auto first = std::make_unique<AppSettings>(firstStore, screen, &firstGuard);
    ASSERT_TRUE(first->InstanceOk());
    {
        qt::QtSettingsStore store;
        qt::QtInstanceLock guard(dir.file("guard.lock"));
        AppSettings second(store, screen, &guard);
        EXPECT_FALSE(second.InstanceOk());
        EXPECT_FALSE(second.SettingsValid());  // never loaded
        EXPECT_FALSE(second.Save());
    }
    {
        qt::QtSettingsStore store;
        AppSettings reader(store, screen, nullptr);
        reader.SetComPort(9);
        EXPECT_FALSE(reader.Save());
    }
    EXPECT_EQ(test::ReadFile(IniPath()), before);

    first->SetComPort(5);
    first.reset();  // saves, then lets the guard go
    EXPECT_EQ(Value(Read(), "ComPort"), "5");
    qt::QtInstanceLock again(dir.file("guard.lock"));
    EXPECT_EQ(again.TryAcquire(), LockResult::Acquired);
}

// A guard that cannot be made must not keep the program from starting.
TEST_F(AppSettingsTest, AGuardThatCannotBeMadeRunsAsTheOnlyInstance) {
    qt::QtSettingsStore store;
    qt::QtInstanceLock guard(dir.file("no-such-folder/guard.lock"));
    AppSettings env(store, screen, &guard);
    EXPECT_TRUE(env.InstanceOk());
    EXPECT_TRUE(env.SettingsValid());
}

}  // namespace
}  // namespace parlo
