// parlo-cli identify, read, write and ports against the radio simulator on a
// pseudo-terminal: real termios, real timers, one fault per stage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "app/Document.h"
#include "cli/CloneSession.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The simulator serves the factory LMR image and reports memory up to 1FFF,
// which holds all of that image's data, so that reads take about a second.
class CliClone : public ::testing::Test {
protected:
    CliClone() {
        fs::create_directories(dir.path() / "config");
        fs::create_directories(dir.path() / "run");
    }

    void StartRadio(std::vector<std::string> args = {}) {
        link = StartAnotherRadio("radio", std::move(args));
        radio = std::move(others.back());
        others.pop_back();
    }

    // A radio of its own on a link of that name; the fixture keeps it running.
    std::string StartAnotherRadio(const std::string& name, std::vector<std::string> args = {}) {
        const std::string path = dir.file(name);
        // A radio killed before leaves its link behind: wait for the new one.
        fs::remove(path);
        args.insert(args.end(), {"--image", test::DataFile("MV7105C_LMR.icf"), "--memory-end",
                                 "1FFF", "--link", path, "--quiet"});
        others.push_back(std::make_unique<test::BackgroundProcess>(PARLO_RADIO_SIM_PATH, args));
        for (int i = 0; i < 500 && !fs::is_symlink(path); ++i) std::this_thread::sleep_for(10ms);
        EXPECT_TRUE(fs::is_symlink(path));
        return path;
    }

    std::map<std::string, std::string> Env() {
        return {{"XDG_CONFIG_HOME", dir.file("config")},
                {"XDG_RUNTIME_DIR", dir.file("run")},
                {"XDG_DATA_HOME", dir.file("data")}};
    }

    test::ProcessResult Cli(std::vector<std::string> args) { return test::RunCli(args, Env()); }

    static EepromImage Load(const std::string& path) {
        EepromImage image;
        image.SetSize(kImageSize);
        EXPECT_EQ(ReadInitialFile(path, image).code, kFileOk) << path;
        return image;
    }

    // A document of the factory image with one channel, saved as a save does.
    std::string DocumentWithAChannel() {
        test::VirtualScheduler clock;
        EventManager events{clock};
        Document doc{events};
        EXPECT_TRUE(doc.SelectModel(kVariantLmr));
        doc.NewFromDefaults();
        ChannelRecord record(doc.Working());
        record.Decode(ChannelKindOf(kVariantLmr), 0);
        record.present = true;
        record.SetValue(Field::RxFreq, 150500000);
        record.SetValue(Field::TxFreq, 150500000);
        record.Store();
        doc.RebuildModelData();
        doc.PrepareImage(doc.Working(), PackMode::Save);
        const std::string path = dir.file("channel.icf");
        EXPECT_EQ(SaveCloneFile(path, doc.Working()).code, kFileOk);
        return path;
    }

    test::TempDir dir;
    std::string link;
    std::unique_ptr<test::BackgroundProcess> radio;
    std::vector<std::unique_ptr<test::BackgroundProcess>> others;
};

TEST_F(CliClone, IdentifyPrintsTheCloneInformation) {
    StartRadio();
    const auto r = Cli({"identify", "--port", link});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Model: LMR\n  Ten-key keypad\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Version: 1.2\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Serial number: 00181043981\n"), std::string::npos) << r.out;
}

TEST_F(CliClone, ReadSavesTheRadiosImageOverTheRange) {
    StartRadio();
    const std::string out = dir.file("read.icf");
    const auto r = Cli({"read", "--port", link, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    const EepromImage got = Load(out);
    const EepromImage want = Load(test::DataFile("MV7105C_LMR.icf"));
    for (int32_t a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(got.GetByte(a), want.GetByte(a)) << a;
}

TEST_F(CliClone, WriteThenReadBackAtBothSpeeds) {
    StartRadio();
    const std::string file = DocumentWithAChannel();
    const EepromImage written = Load(file);
    const int32_t last = (written.GetWord(kAddrUsedEnd) & ~0x7F) + 0x7F;
    for (const bool high : {false, true}) {
        SCOPED_TRACE(high ? "38400 baud" : "9600 baud");
        std::vector<std::string> speed;
        if (high) speed.push_back("--high-speed");
        std::vector<std::string> writeArgs = {"write", "--port", link, file};
        writeArgs.insert(writeArgs.end(), speed.begin(), speed.end());
        const auto w = Cli(writeArgs);
        ASSERT_EQ(w.status, 0) << w.err;
        // A message, on stderr as every message; stdout is for results.
        EXPECT_EQ(w.out, "");
        EXPECT_EQ(w.err, OvlMessage("GI_Mess_CloneWrite_Succeeded") + "\n");
        const std::string back = dir.file("back.icf");
        std::vector<std::string> args = {"read", "--port", link, "-o", back};
        args.insert(args.end(), speed.begin(), speed.end());
        const auto r = Cli(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const EepromImage got = Load(back);
        for (int32_t a = 0x0100; a <= last; ++a) ASSERT_EQ(got.GetByte(a), written.GetByte(a)) << a;
    }
}

// The radio holds the factory image: the file with a channel differs from it
// in that channel's cells only, and the radio is read, never written.
TEST_F(CliClone, DiffComparesAFileWithTheRadio) {
    StartRadio();
    const auto same = Cli({"diff", test::DataFile("MV7105C_LMR.icf"), "--radio", "--port", link});
    EXPECT_EQ(same.status, 0) << same.err;
    EXPECT_EQ(same.out, "");
    const auto differ = Cli({"diff", DocumentWithAChannel(), "--radio", "--port", link});
    EXPECT_EQ(differ.status, 1) << differ.err;
    EXPECT_NE(differ.out.find(" / Frequency Receive MHz: '150.500000' -> ''\n"), std::string::npos)
        << differ.out;
    const auto back = Cli({"read", "--port", link, "-o", dir.file("after.icf")});
    ASSERT_EQ(back.status, 0) << back.err;
    const EepromImage got = Load(dir.file("after.icf"));
    const EepromImage factory = Load(test::DataFile("MV7105C_LMR.icf"));
    for (int32_t a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(got.GetByte(a), factory.GetByte(a)) << a;
    // A radio that does not answer is trouble, not a difference.
    StartRadio({"--fault", "silence", "--fault-at", "5"});
    const auto silent = Cli({"diff", test::DataFile("MV7105C_LMR.icf"), "--radio", "--port", link});
    EXPECT_EQ(silent.status, 2);
    EXPECT_FALSE(silent.err.empty());
}

TEST_F(CliClone, OneFaultPerStage) {
    struct Case {
        const char* fault;
        const char* command;
        int status;
    } cases[] = {
        {"no-echo", "identify", 4},      {"silence", "identify", 5},
        {"wrong-model", "identify", 11}, {"map-revision-7", "identify", 14},
        {"bad-checksum", "read", 6},     {"wrong-end-count", "read", 7},
        {"missing-address", "read", 8},  {"stall", "read", 5},
        {"refusal", "write", 6},         {"write-failed", "write", 10},
        {"repeat-frame", "read", 9},
    };
    const std::string file = DocumentWithAChannel();
    const std::string out = dir.file("kept.icf");
    test::WriteFile(out, "what was there before\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fault);
        StartRadio({"--fault", c.fault, "--fault-at", "5"});
        const std::string command = c.command;
        const auto r = command == "identify" ? Cli({"identify", "--port", link})
                       : command == "read"   ? Cli({"read", "--port", link, "-o", out})
                                             : Cli({"write", "--port", link, file});
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_FALSE(r.err.empty());
        EXPECT_EQ(test::ReadFile(out), "what was there before\n");
        radio.reset();
    }
}

TEST_F(CliClone, VerifyFindsTheByteTheRadioStoredWrong) {
    const std::string file = DocumentWithAChannel();
    StartRadio();
    const auto good = Cli({"write", "--port", link, "--verify", "--progress", file});
    EXPECT_EQ(good.status, 0) << good.err;
    // The bar names each stage, on a line of its own that ends at 100 %.
    const std::string written = "4864 of 4864 bytes";
    EXPECT_NE(good.err.find("] 100% Writing: " + written), std::string::npos) << good.err;
    EXPECT_NE(good.err.find("] 100% Verifying: "), std::string::npos) << good.err;
    radio.reset();

    // The fifth 16-byte frame from 0100 starts at 0140.
    StartRadio({"--fault", "corrupt-write", "--fault-at", "5"});
    const auto bad = Cli({"write", "--port", link, "--verify", file});
    EXPECT_EQ(bad.status, 18) << bad.err;
    EXPECT_NE(bad.err.find("The radio's memory differs from what was written.\n"
                           "First differing addresses: 0140\n"),
              std::string::npos)
        << bad.err;
    EXPECT_EQ(bad.out, "");  // no success
}

TEST_F(CliClone, BackupHoldsTheRadiosMemoryBeforeTheWrite) {
    StartRadio();
    const std::string file = DocumentWithAChannel();
    const fs::path backups = dir.path() / "data" / "parlo" / "backups";
    std::vector<std::string> names;
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        const auto w = Cli({"write", "--port", link, "--backup", file});
        ASSERT_EQ(w.status, 0) << w.err;
        names.clear();
        for (const auto& e : fs::directory_iterator(backups)) names.push_back(e.path().string());
        std::sort(names.begin(), names.end());
        ASSERT_EQ(names.size(), static_cast<size_t>(round));  // none replaced
        EXPECT_NE(w.err.find(names.back()), std::string::npos) << w.err;
        EXPECT_EQ(fs::path(names.front()).filename().string().rfind("00181043981_", 0), 0u);
    }
    // The first backup is the memory the radio had: the factory image up to
    // its end, 1FFF.
    const EepromImage backup = Load(names.front());
    const EepromImage factory = Load(test::DataFile("MV7105C_LMR.icf"));
    for (int32_t a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(backup.GetByte(a), factory.GetByte(a)) << a;
    EXPECT_NE(test::ReadFile(names.front())
                  .find("#Comment=Backup of radio 00181043981 before "
                        "writing, "),
              std::string::npos);
}

// Three radios on three ports at once; the second and third fail, so the
// exit status is the second's.
TEST_F(CliClone, FleetWriteReportsEveryRadioAndExitsWithTheFirstFailure) {
    const std::string file = DocumentWithAChannel();
    const std::string a = StartAnotherRadio("a");
    const std::string b = StartAnotherRadio("b", {"--fault", "write-failed"});
    const std::string c = StartAnotherRadio("c", {"--fault", "refusal"});
    const auto r = Cli({"write", "--port", a, "--port", b, "--port", c, file});
    EXPECT_EQ(r.status, 10) << r.err;
    for (const auto& [port, status] : std::vector<std::pair<std::string, std::string>>{
             {a, ": serial 00181043981, status 0, "},
             {b, ": serial 00181043981, status 10 ("},
             {c, ": serial 00181043981, status 6 ("}}) {
        EXPECT_NE(r.out.find(port + status), std::string::npos) << r.out;
    }
    EXPECT_NE(r.out.find("3 radios: 1 written, 2 failed\n"), std::string::npos) << r.out;
    // The seconds with "." as decimal mark, whatever the locale.
    EXPECT_TRUE(
        std::regex_search(r.out, std::regex(": serial 00181043981, status 0, [0-9]+\\.[0-9] s\n")))
        << r.out;
    // Each failure's message names its port.
    EXPECT_NE(r.err.find(b + ": " + OvlText("GI_Mess_CloneErr_Head", 10)), std::string::npos)
        << r.err;
}

// What a pulled cable ends with depends on what was under way: echoes
// outstanding (4), an answer awaited (5), or bytes being written (17).
bool LineLost(int status) { return status == 4 || status == 5 || status == 17; }

// The simulator pulls the cable at a data frame of the transfer, so the
// line is lost at the same point of the protocol on every run.
const std::vector<std::string> kPulledCable = {"--fault", "unplug", "--fault-at", "20"};

TEST_F(CliClone, APulledCableEndsOnlyItsOwnRadio) {
    const std::string file = DocumentWithAChannel();
    const std::string a = StartAnotherRadio("a");
    const std::string b = StartAnotherRadio("b", kPulledCable);
    const auto r = Cli({"write", "--port", a, "--port", b, "--high-speed", file});
    EXPECT_TRUE(LineLost(r.status)) << r.status << r.err;
    EXPECT_NE(r.out.find(a + ": serial 00181043981, status 0, "), std::string::npos) << r.out;
    const std::string failed =
        b + ": serial 00181043981, status " + std::to_string(r.status) + " (";
    EXPECT_NE(r.out.find(failed), std::string::npos) << r.out;
}

TEST_F(CliClone, IdentifyOnSeveralPorts) {
    const std::string a = StartAnotherRadio("a");
    const std::string b = StartAnotherRadio("b", {"--fault", "silence"});
    const std::string c = dir.file("nonexistent");
    const auto r = Cli({"identify", "--port", a, "--port", b, "--port", c});
    EXPECT_EQ(r.status, 5) << r.err;
    EXPECT_NE(r.out.find(a + ": serial 00181043981, status 0, "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Serial number: 00181043981\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(b + ": serial -, status 5 (The radio did not answer in time.), "),
              std::string::npos)
        << r.out;
    // The head line with its blank filled.
    EXPECT_NE(
        r.out.find(c + ": serial -, status 2 (The serial port " + c + " could not be opened.), "),
        std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find('%'), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3 radios: 1 identified, 2 failed\n"), std::string::npos) << r.out;
}

TEST_F(CliClone, AnInterruptedReadLeavesNoFile) {
    StartRadio({"--pace"});
    const std::string out = dir.file("never.icf");
    const std::string bar = dir.file("bar.txt");
    test::BackgroundProcess cli("/bin/sh",
                                {"-c",
                                 std::string("exec \"$0\" read --progress --port \"$1\" -o "
                                             "\"$2\" 2>\"$3\""),
                                 PARLO_CLI_PATH, link, out, bar},
                                Env());
    // Interrupted once the data flow.
    for (int i = 0;
         i < 1000 && test::ReadFile(bar).find("% Reading the radio: ") == std::string::npos; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_NE(test::ReadFile(bar).find("% Reading the radio: "), std::string::npos);
    EXPECT_EQ(cli.Kill(SIGINT), 1);  // cancelled, not killed by the signal
    EXPECT_FALSE(fs::exists(out));
    // Nor the file the save had prepared before the radio was read.
    for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_NE(e.path().filename().string().rfind("never.icf", 0), 0u) << e.path();
    EXPECT_NE(test::ReadFile(bar).find(OvlText("GI_Mess_Clone_Progress", 5)), std::string::npos);
}

TEST_F(CliClone, AnUnpluggedLineEndsTheReadAndKeepsTheFile) {
    StartRadio(kPulledCable);
    const std::string out = dir.file("kept.icf");
    test::WriteFile(out, "before\n");
    const auto r = Cli({"read", "--port", link, "-o", out});
    EXPECT_TRUE(LineLost(r.status)) << r.status << r.err;
    EXPECT_EQ(test::ReadFile(out), "before\n");
}

TEST_F(CliClone, SaysWhyThePortWouldNotOpen) {
    const auto missing = Cli({"identify", "--port", dir.file("ttyUSB9")});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find(dir.file("ttyUSB9") + " does not exist."), std::string::npos)
        << missing.err;

    StartRadio();
    const int fd = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    const auto busy = Cli({"identify", "--port", link});
    ::close(fd);
    EXPECT_EQ(busy.status, 2);
    EXPECT_NE(busy.err.find(link + " is busy"), std::string::npos) << busy.err;

    const auto notSerial = Cli({"identify", "--port", "/dev/null"});
    EXPECT_EQ(notSerial.status, 2);
    EXPECT_NE(notSerial.err.find("/dev/null is not a serial port."), std::string::npos);
}

TEST_F(CliClone, TheSettingsPortMapAppliesWithoutPort) {
    StartRadio();
    fs::create_directories(dir.path() / "config" / "Keld");
    test::WriteFile(dir.file("config/Keld/Parlo.ini"),
                    "[Global]\nBBT=753951\nComPort=7\nComSpeedHigh=1\nCurrent Directory=\n"
                    "[Recent%20File%20List]\nRecent0=\nRecent1=\nRecent2=\nRecent3=\nRecent4=\n"
                    "Recent5=\nRecent6=\nRecent7=\nRecent8=\nRecent9=\n"
                    "[View%20Option]\nFontSize%20Percentage=100\nToolbar%20Visible=1\n"
                    "[Window%20Position]\nLeft=0\nTop=0\nWidth=800\nHeight=600\nSplitterV=200\n"
                    "[Setup]\nModelType=0\n[Ports]\nPort7=" +
                        link + "\n");
    const auto r = Cli({"identify"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto ports = Cli({"ports"});
    ASSERT_EQ(ports.status, 0) << ports.err;
    EXPECT_NE(ports.out.find(link + "  port 7 (chosen)  (mapped)"), std::string::npos) << ports.out;
}

TEST_F(CliClone, RefusedInputAndUsage) {
    test::WriteFile(dir.file("bad.icf"), "not a clone file\n");
    const auto bad = Cli({"write", "--port", "/dev/null", dir.file("bad.icf")});
    EXPECT_EQ(bad.status, 65);
    EXPECT_FALSE(bad.err.empty());
    EXPECT_EQ(Cli({"read", "--port", "/dev/null"}).status, 64);
    // Numbers outside 1-256, however written, are refused, never taken for
    // another port (4294967298 is 2 modulo 2^32) or for a device path.
    for (const char* word : {"0", "257", "4294967298", "-1", "+3", " 5", "5 ", ""}) {
        SCOPED_TRACE(std::string("'") + word + "'");
        const auto r = Cli({"identify", "--port", word});
        EXPECT_EQ(r.status, 64) << r.err;
        EXPECT_NE(r.err.find("--port takes a port number from 1 to 256 or a device path, not '" +
                             std::string(word) + "'"),
                  std::string::npos)
            << r.err;
    }
}

// Where the output goes is checked before the radio is: with a port that
// does not exist, the output's message comes and the port's does not.
TEST_F(CliClone, AnOutputThatCannotBeCreatedIsRefusedBeforeTheRadio) {
    const std::string port = dir.file("ttyUSB9");
    for (const std::string& out : {dir.file("no/such/folder/x.icf"), dir.path().string()}) {
        SCOPED_TRACE(out);
        const auto r = Cli({"read", "--port", port, "-o", out});
        EXPECT_EQ(r.status, 73) << r.err;
        EXPECT_NE(r.err.find(out), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find(port), std::string::npos) << r.err;
    }
    const auto closed = test::RunProcess("/bin/sh",
                                         {"-c", "exec \"$0\" diff \"$1\" --radio --port \"$2\" >&-",
                                          PARLO_CLI_PATH, test::DataFile("MV7105C_LMR.icf"), port},
                                         Env());
    EXPECT_EQ(closed.status, 2);
    EXPECT_EQ(closed.err, "parlo-cli diff: standard output cannot be written\n");
}

TEST_F(CliClone, CheckAndInfoReadStandardInput) {
    const std::string lmr = test::ReadFile(test::DataFile("MV7105C_LMR.icf"));
    const auto info = test::RunProcess(PARLO_CLI_PATH, {"info", "-"}, Env(), lmr);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out,
              "model code: 2927\nextra code: 0000\ncomment: MV7105C LMR\nmap revision: 6\n");
    EXPECT_EQ(test::RunProcess(PARLO_CLI_PATH, {"check", "-"}, Env(), lmr).status, 0);
    EXPECT_EQ(test::RunProcess(PARLO_CLI_PATH, {"check", "-"}, Env(), "nonsense\r\n").status, 6);
}

// --raw keeps the radio's bytes as they came: its memory up to its end,
// 0x00 beyond, which no save of the document would write.
TEST_F(CliClone, ARawReadSavesTheBytesAsTheRadioSentThem) {
    StartRadio();
    const std::string raw = dir.file("raw.icf");
    const auto r = Cli({"read", "--raw", "--port", link, "-o", raw});
    ASSERT_EQ(r.status, 0) << r.err;
    const EepromImage got = Load(raw);
    const EepromImage radioImage = Load(test::DataFile("MV7105C_LMR.icf"));
    for (int32_t a = 0; a <= 0x1FFF; ++a) ASSERT_EQ(got.GetByte(a), radioImage.GetByte(a)) << a;
    for (int32_t a = 0x2000; a <= 0x7D7F; ++a) ASSERT_EQ(got.GetByte(a), 0x00) << a;
    EXPECT_NE(test::ReadFile(raw).find("#Comment=Radio 00181043981 as it sent its memory, "),
              std::string::npos);
    const std::string saved = dir.file("saved.icf");
    ASSERT_EQ(Cli({"read", "--port", link, "-o", saved}).status, 0);
    EXPECT_NE(test::ReadFile(saved), test::ReadFile(raw));
}

// A write whose data flow goes on after one Ctrl+C; a second within 3 s
// stops it after the block being sent: status 1, no end frame (the radio
// keeps its memory), and a message that the radio is half written.
TEST_F(CliClone, InterruptsDuringAWrite) {
    const std::string file = DocumentWithAChannel();
    for (const bool twice : {false, true}) {
        SCOPED_TRACE(twice ? "twice" : "once");
        StartRadio({"--pace"});
        const std::string err = dir.file(twice ? "twice.txt" : "once.txt");
        test::BackgroundProcess cli(
            "/bin/sh",
            {"-c", std::string("exec \"$0\" write --progress --port \"$1\" \"$2\" 2>\"$3\""),
             PARLO_CLI_PATH, link, file, err},
            Env());
        const auto waitFor = [&](const std::string& text) {
            for (int i = 0; i < 2000 && test::ReadFile(err).find(text) == std::string::npos; ++i)
                std::this_thread::sleep_for(10ms);
            return test::ReadFile(err).find(text) != std::string::npos;
        };
        // Once the data flow and the time left is known.
        ASSERT_TRUE(waitFor(" s left"));
        cli.Signal(SIGINT);
        ASSERT_TRUE(waitFor(OvlText("GI_Mess_Clone_Progress", 6)));
        EXPECT_NE(test::ReadFile(err).find(link + ": " + OvlText("GI_Mess_Clone_Progress", 3)),
                  std::string::npos);
        if (twice) cli.Signal(SIGINT);
        const std::optional<int> status = cli.WaitFor(30s);
        ASSERT_TRUE(status.has_value());
        const std::string said = test::ReadFile(err);
        if (twice) {
            EXPECT_EQ(*status, 1) << said;
            EXPECT_NE(said.find("The write was stopped at address "), std::string::npos) << said;
            EXPECT_NE(said.find(": the radio is half written and must be written again before "
                                "it is used.\n"),
                      std::string::npos)
                << said;
        } else {
            EXPECT_EQ(*status, 0) << said;
            EXPECT_NE(said.find(OvlMessage("GI_Mess_CloneWrite_Succeeded")), std::string::npos);
        }
        radio.reset();
    }
}

// The bar on a terminal: however often the manager reports (every 30 ms),
// it is drawn at most ten times a second and only when its text changes,
// and where the operation ended is drawn before its line ends.
TEST(TerminalProgress, RedrawsTenTimesASecondAndEndsWhereTheOperationEnded) {
    test::VirtualScheduler clock;
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    {
        cli::TerminalProgress bar(true, out);
        bar.BeginOperation(true);
        CloneProgress p;
        p.stage = CloneStage::Read;
        p.total = 32128;
        for (int32_t t = 0; t < 3000; t += 30) {
            p.done = t * 10;
            bar.UpdateProgress(p);
            bar.UpdateProgress(p);  // the same again
            clock.Advance(30);
        }
        p.done = p.total;  // the end, at once after the last report
        bar.UpdateProgress(p);
        bar.EndOperation();
    }
    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;) text.push_back(static_cast<char>(c));
    std::fclose(out);
    EXPECT_LE(std::count(text.begin(), text.end(), '\r'), 3000 / 100 + 1);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const std::string last = text.substr(text.rfind('\r') + 1);
    EXPECT_EQ(
        last.rfind("[################################] 100% Reading the radio: 32128 of 32128 "
                   "bytes",
                   0),
        0u)
        << last;
}

}  // namespace
}  // namespace parlo
