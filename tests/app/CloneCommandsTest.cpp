// The clone commands end to end on virtual time against the simulated
// radio: the identify and read handlers, the read and write ranges, what
// reaches the document and the radio, and the messages shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "app/CloneCommands.h"
#include "clone/CloneFileOps.h"
#include "clone/CloneMessages.h"
#include "clone/ContentValidation.h"
#include "model/ChannelRecord.h"
#include "model/ModelVariant.h"
#include "platform/Fatal.h"
#include "runtime/EventManager.h"
#include "tests/support/ScriptedSerial.h"
#include "tests/support/TestSupport.h"
#include "tests/support/VirtualScheduler.h"
#include "tools/radio-sim/RadioSim.h"

namespace parlo {
namespace {

using sim::Fault;

class CloneCommandsTest : public ::testing::Test {
protected:
    CloneCommandsTest() {
        EXPECT_TRUE(doc.SelectModel(kVariantLmr));
        doc.NewFromDefaults();
        man.SetPort(1, "/dev/ttyUSB0");
        radioImage.Assign(doc.Working());
        UseRadio();
    }

    void UseRadio(Fault fault = Fault::None, std::vector<uint8_t> identity = {}) {
        sim::RadioConfig config;
        config.image.Assign(radioImage);
        config.identity = std::move(identity);
        config.fault = fault;
        radio = std::make_unique<sim::Radio>(std::move(config));
        script->radio = radio.get();
    }

    // Runs a command to its end on virtual time.
    int Run(const std::function<void(CloneCommands::Done)>& start) {
        std::optional<int> outcome;
        start([&](int o) { outcome = o; });
        for (int t = 0; t < 400000 && !outcome; t += 10) clock.Advance(10);
        EXPECT_TRUE(outcome.has_value());
        return outcome.value_or(-100);
    }

    void AddChannel(int slot, int32_t hz) {
        ChannelRecord record(doc.Working());
        record.Decode(ChannelKindOf(kVariantLmr), slot);
        record.present = true;
        record.SetValue(Field::RxFreq, hz);
        record.SetValue(Field::TxFreq, hz);
        record.Store();
        doc.RebuildModelData();
    }

    test::VirtualScheduler clock;
    test::RecordingPrompts prompts;
    EventManager events{clock};
    Document doc{events};
    EepromImage radioImage;
    std::shared_ptr<test::SerialScript> script = std::make_shared<test::SerialScript>();
    std::unique_ptr<sim::Radio> radio;
    CloneManager man{std::make_unique<test::ScriptedSerial>(script)};
    CloneCommands cmds{doc, man};
};

TEST_F(CloneCommandsTest, ReadMakesTheRadiosImageTheModifiedUntitledDocument) {
    radioImage.SetByte(0x0200, 0x5A);  // something the factory image does not hold
    UseRadio();
    doc.SetFileName("old.icf");
    doc.MarkUnmodified();
    EXPECT_EQ(Run([&](auto done) { cmds.Read(done); }), kCloneOk);
    EXPECT_EQ(doc.Working().GetByte(0x0200), 0x5A);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.FileName(), "");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(cmds.Identity().size(), 80u);
    EXPECT_EQ(doc.Identity(), cmds.Identity());  // for the clone information cells
}

TEST_F(CloneCommandsTest, TheReadRangeComesFromTheIdentityBlock) {
    std::vector<uint8_t> identity = sim::DefaultIdentity(radioImage);
    const char* end = "0005";
    std::copy(end, end + 4, identity.begin() + 58);
    UseRadio(Fault::None, identity);
    // The radio sends up to its own memory end, 000F; the read asks for the same.
    EXPECT_EQ(Run([&](auto done) { cmds.Read(done); }), kCloneContent);
    EXPECT_EQ(man.Total(), 16);
}

TEST_F(CloneCommandsTest, RefusedAnswersAndImagesLeaveTheDocumentAlone) {
    const auto withByte = [&](int at, uint8_t v) {
        std::vector<uint8_t> id = sim::DefaultIdentity(radioImage);
        id[static_cast<size_t>(at)] = v;
        return id;
    };
    std::vector<uint8_t> shortBlock = sim::DefaultIdentity(radioImage);
    shortBlock.resize(79);
    shortBlock[0] = 79;
    struct Case {
        const char* what;
        Fault fault;
        std::vector<uint8_t> identity;
        std::function<void(EepromImage&)> spoil;  // of the radio's image
        int status;
    } cases[] = {
        {"model code 2928", Fault::WrongModel, {}, nullptr, kCloneModel},
        {"a block of 79 bytes", Fault::None, shortBlock, nullptr, kCloneModel},
        {"first byte not 80", Fault::None, withByte(0, 81), nullptr, kCloneModel},
        {"map revision 7", Fault::MapRevision7, {}, nullptr, kCloneMapRevision},
        {"no maker text",
         Fault::None,
         {},
         [](EepromImage& i) { i.SetByte(0x0100, 'X'); },
         kCloneContent},
        {"no maker text before the used end",
         Fault::None,
         {},
         [](EepromImage& i) { i.SetByte(i.GetWord(kAddrUsedEnd) - 1, 'X'); },
         kCloneContent},
        {"newer data",
         Fault::None,
         {},
         [](EepromImage& i) {
             i.SetByte(kAddrDataVersion, 2);
             Pack(i, PackMode::Rebuild, kVariantLmr);
         },
         kCloneNewerData},
    };
    const EepromImage before = [&] {
        EepromImage c;
        c.Assign(doc.Working());
        return c;
    }();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        prompts.shown.clear();
        EepromImage image;
        image.Assign(radioImage);
        if (c.spoil) c.spoil(image);
        sim::RadioConfig config;
        config.image.Assign(image);
        config.identity = c.identity;
        config.fault = c.fault;
        radio = std::make_unique<sim::Radio>(std::move(config));
        script->radio = radio.get();
        EXPECT_EQ(Run([&](auto done) { cmds.Read(done); }), c.status);
        EXPECT_TRUE(doc.Working().Equals(before));
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].icon, MsgIcon::Error);
        EXPECT_EQ(prompts.shown[0].text, CloneErrorText(static_cast<uint8_t>(c.status), ""));
    }
}

TEST_F(CloneCommandsTest, WriteRangesFollowTheUsedEnd) {
    struct Case {
        uint16_t usedEnd;
        bool maker;
        AddrRange range;
    } cases[] = {
        {0x7D00, false, {0x0100, 0x7D7F}},
        {0x7D00, true, {0x0000, 0x7D7F}},
        {0x7D80, false, {0x0100, 0x7DFF}},
        {0x1234, false, {0x0100, 0x127F}},
    };
    for (const Case& c : cases) {
        EepromImage image;
        image.SetSize(kImageSize);
        image.SetWord(kAddrUsedEnd, c.usedEnd);
        const RangeList r = CloneCommands::WriteRanges(image, c.maker);
        ASSERT_EQ(r.size(), 2u);
        EXPECT_EQ(r[0].first, c.range.first) << c.usedEnd;
        EXPECT_EQ(r[0].last, c.range.last) << c.usedEnd;
    }
}

TEST_F(CloneCommandsTest, WriteSendsThePreparedDocumentWithTheRadiosMapRevision) {
    AddChannel(0, 150500000);
    std::vector<uint8_t> identity = sim::DefaultIdentity(radioImage);
    identity[35] = 5;
    UseRadio(Fault::None, identity);
    EXPECT_EQ(Run([&](auto done) { cmds.Write(false, done); }), kCloneOk);
    EepromImage sent;
    sent.Assign(doc.Working());
    ASSERT_TRUE(doc.PrepareImage(sent, PackMode::Write));
    const int32_t last = CloneCommands::WriteRanges(sent, false)[0].last;
    for (int32_t a = 0x0100; a <= last; ++a) {
        if (a == kAddrMapRevision) continue;
        ASSERT_EQ(radio->Image().GetByte(a), sent.GetByte(a)) << a;
    }
    EXPECT_EQ(radio->Image().GetByte(kAddrMapRevision), 5);
    EXPECT_EQ(radio->Image().GetByte(0x0000), radioImage.GetByte(0x0000));  // below the range
    // The confirmation, then exactly one information box.
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].text, OvlMessage("GI_Mess_Confirm_CloneWrite"));
    EXPECT_EQ(prompts.shown[1].icon, MsgIcon::Information);
    EXPECT_EQ(prompts.shown[1].text, OvlMessage("GI_Mess_CloneWrite_Succeeded"));
}

TEST_F(CloneCommandsTest, MakerModeAsksTheCautionFirstAndWritesFromZero) {
    AddChannel(3, 151000000);
    EXPECT_EQ(Run([&](auto done) { cmds.Write(true, done); }), kCloneOk);
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[0].text, OvlMessage("GI_Mess_Maker_Caution"));
    EXPECT_EQ(prompts.shown[1].text, OvlMessage("GI_Mess_Confirm_CloneWrite"));
}

TEST_F(CloneCommandsTest, WriteIsRefusedOrCancelledBeforeTheRadioIsTouched) {
    EXPECT_EQ(Run([&](auto done) { cmds.Write(false, done); }), CloneCommands::kRefused);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, OvlMessage("GI_AppMess_CloneErr_NoActualCh"));
    EXPECT_TRUE(script->sent.empty());

    AddChannel(0, 150500000);
    prompts.shown.clear();
    prompts.answer = MsgAnswer::Cancel;
    EXPECT_EQ(Run([&](auto done) { cmds.Write(false, done); }), CloneCommands::kCancelled);
    EXPECT_TRUE(radio->Image().Equals(radioImage));
}

// A write range past the end of the radio's memory is refused after the
// identify, in maker mode too: no write request, no data frame, no backup.
TEST_F(CloneCommandsTest, AWriteThatDoesNotFitTheRadioSendsNothing) {
    ASSERT_TRUE(doc.SelectModel(kVariantDPmr446));
    doc.NewFromDefaults();
    ChannelRecord record(doc.Working());
    record.Decode(ChannelKindOf(kVariantDPmr446), 0);
    record.present = true;
    record.SetValue(Field::RxFreq, 446003125);
    record.SetValue(Field::TxFreq, 446003125);
    record.Store();
    doc.RebuildModelData();
    EepromImage prepared;
    prepared.Assign(doc.Working());
    ASSERT_TRUE(doc.PrepareImage(prepared, PackMode::Write));
    const int32_t needed = CloneCommands::WriteRanges(prepared, false)[0].last;
    ASSERT_GT(needed, 0x1FFF);
    std::vector<uint8_t> identity = sim::DefaultIdentity(radioImage);
    const std::string end = "1FFF";
    std::copy(end.begin(), end.end(), identity.begin() + 58);
    UseRadio(Fault::None, identity);
    test::TempDir backups;
    const std::vector<uint8_t> writeRequest = {0xFE, 0xFE, 0xEE, 0xEF, 0xE3,
                                               0x29, 0x27, 0x00, 0x00};
    const std::vector<uint8_t> dataFrame = {0xFE, 0xFE, 0xEE, 0xEF, 0xE4};
    const auto sent = [&](const std::vector<uint8_t>& head) {
        return std::search(script->sent.begin(), script->sent.end(), head.begin(), head.end()) !=
               script->sent.end();
    };
    for (const bool maker : {false, true}) {
        SCOPED_TRACE(maker ? "maker mode" : "user mode");
        prompts.shown.clear();
        script->sent.clear();
        WriteOptions options;
        options.makerMode = maker;
        options.backup = true;
        options.backupFolder = backups.path().string();
        EXPECT_EQ(Run([&](auto done) { cmds.Write(options, done); }), kCloneMemoryEnd);
        ASSERT_EQ(prompts.shown.size(), 1u);  // asked nothing
        EXPECT_EQ(prompts.shown[0].icon, MsgIcon::Error);
        EXPECT_EQ(prompts.shown[0].text,
                  "The file needs the radio's memory up to " +
                      Format("%04X", static_cast<unsigned>(needed)) +
                      "; this radio's memory ends at 1FFF.\n\nPlease check:\n"
                      "- The file was made for a radio of this variant and memory size.");
        EXPECT_EQ(cmds.HeadLine(kCloneMemoryEnd),
                  "The file needs the radio's memory up to " +
                      Format("%04X", static_cast<unsigned>(needed)) +
                      "; this radio's memory ends at 1FFF.");
        EXPECT_FALSE(script->sent.empty());  // the identify
        EXPECT_FALSE(sent(writeRequest));
        EXPECT_FALSE(sent(dataFrame));
        EXPECT_TRUE(radio->Image().Equals(radioImage));
        EXPECT_TRUE(std::filesystem::is_empty(backups.path()));
    }
}

TEST_F(CloneCommandsTest, AFailedWriteShowsExactlyOneErrorBox) {
    AddChannel(0, 150500000);
    UseRadio(Fault::WriteFailed);
    EXPECT_EQ(Run([&](auto done) { cmds.Write(false, done); }), kCloneWriteUnconfirmed);
    ASSERT_EQ(prompts.shown.size(), 2u);  // the confirmation and the error
    EXPECT_EQ(prompts.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(prompts.shown[1].text, CloneErrorText(kCloneWriteUnconfirmed, ""));
}

// Backup, write and verification against one radio: the backup holds the
// radio's memory from before, the write reaches the radio, and a byte the
// radio stores wrong ends with 18, its message naming the address.
TEST_F(CloneCommandsTest, BackupThenWriteThenVerify) {
    AddChannel(0, 150500000);
    const EepromImage before = [&] {
        EepromImage c;
        c.Assign(doc.Working());
        return c;
    }();
    test::TempDir folder;
    WriteOptions options;
    options.backup = true;
    options.verify = true;
    options.backupFolder = folder.path().string();
    EXPECT_EQ(Run([&](auto done) { cmds.Write(options, done); }), kCloneOk);
    ASSERT_FALSE(cmds.LastBackup().empty());
    EepromImage backup;
    backup.SetSize(kImageSize);
    ASSERT_EQ(ReadInitialFile(cmds.LastBackup(), backup).code, kFileOk);
    for (int32_t a = 0; a <= kRadioAreaEnd; ++a)
        ASSERT_EQ(backup.GetByte(a), radioImage.GetByte(a)) << a;
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].text,
              OvlMessage("GI_Mess_CloneWrite_Succeeded") + "\n" +
                  FillIn(OvlText("GI_Mess_CloneWrite_Backup"), {cmds.LastBackup()}));

    // The fifth frame written starts at 0140.
    prompts.shown.clear();
    sim::RadioConfig config;
    config.image.Assign(radioImage);
    config.fault = Fault::CorruptWrite;
    config.faultAt = 5;
    radio = std::make_unique<sim::Radio>(std::move(config));
    script->radio = radio.get();
    options.backup = false;
    EXPECT_EQ(Run([&](auto done) { cmds.Write(options, done); }), kCloneVerify);
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].icon, MsgIcon::Error);
    EXPECT_EQ(prompts.shown[1].text,
              CloneErrorText(kCloneVerify, "", "",
                             FillIn(OvlText("GI_Mess_CloneVerify_Differs"), {"0140"})));
    EXPECT_TRUE(doc.Working().Equals(before));
}

TEST_F(CloneCommandsTest, DifferencesNameTheFirstEightAddresses) {
    EepromImage sent;
    sent.SetSize(kImageSize);
    EepromImage read;
    read.Assign(sent);
    for (int32_t a : {0x0101, 0x0200, 0x0201, 0x0202, 0x0203, 0x0204, 0x0205, 0x0206, 0x0207})
        read.SetByte(a, 0x55);
    read.SetByte(0x00FF, 0x55);  // outside the range written
    const RangeList ranges = SingleRange(0x0100, 0x02FF);
    EXPECT_EQ(CloneCommands::Differences(sent, ranges, read, 0x7D7F),
              "0101, 0200, 0201, 0202, 0203, 0204, 0205, 0206");
    EXPECT_EQ(CloneCommands::Differences(sent, ranges, sent, 0x7D7F), "");
    // What the radio does not hold cannot have been stored.
    EXPECT_EQ(CloneCommands::Differences(sent, ranges, sent, 0x02FD), "02FE, 02FF");
}

TEST_F(CloneCommandsTest, ABackupThatCannotBeTakenStopsTheWrite) {
    AddChannel(0, 150500000);
    test::TempDir dir;
    test::WriteFile(dir.file("file"), "not a folder\n");
    WriteOptions options;
    options.backup = true;
    options.backupFolder = dir.file("file") + "/backups";
    EXPECT_EQ(Run([&](auto done) { cmds.Write(options, done); }), CloneCommands::kBackupFailed);
    EXPECT_TRUE(radio->Image().Equals(radioImage));
    // Said before the radio's memory was read: no read request went out.
    const std::vector<uint8_t> readRequest = {0xFE, 0xFE, 0xEE, 0xEF, 0xE2, 0x29, 0x27, 0x00, 0x00};
    EXPECT_EQ(std::search(script->sent.begin(), script->sent.end(), readRequest.begin(),
                          readRequest.end()),
              script->sent.end());
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().text,
              FillIn(OvlText("GI_Mess_CloneBackup_Failed"), {options.backupFolder}));

    // A backup read that fails leaves no file, finished or not, behind.
    UseRadio(Fault::Stall);
    options.backupFolder = dir.file("backups");
    EXPECT_EQ(Run([&](auto done) { cmds.Write(options, done); }), kCloneTimeout);
    EXPECT_TRUE(std::filesystem::is_empty(options.backupFolder));
    EXPECT_TRUE(radio->Image().Equals(radioImage));
}

TEST_F(CloneCommandsTest, ACancelledReadLeavesTheDocumentAlone) {
    UseRadio(Fault::Trickle);  // a read that takes its time
    doc.SetFileName("mine.icf");
    doc.MarkUnmodified();
    const EepromImage before = [&] {
        EepromImage c;
        c.Assign(doc.Working());
        return c;
    }();
    std::optional<int> outcome;
    cmds.Read([&](int o) { outcome = o; });
    for (int t = 0; t < 60000 && man.Progress().done < 100; t += 10) clock.Advance(10);
    EXPECT_EQ(man.Progress().stage, CloneStage::Read);
    ASSERT_TRUE(man.Cancel());
    for (int t = 0; t < 1000 && !outcome; t += 10) clock.Advance(10);
    EXPECT_EQ(outcome, std::optional<int>(kCloneCancelled));
    EXPECT_TRUE(doc.Working().Equals(before));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.FileName(), "mine.icf");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(man.Driver().Port().IsOpen());
}

class CloneMessagesTest : public ::testing::Test {
protected:
    test::ScopedOverlay overlay{{
        "#GI_Mess_CloneErr_Head",
        "h0",
        "h1",
        "port %s failed",
        "h3",
        "h4",
        "h5",
        "h6",
        "h7",
        "h8",
        "h9",
        "h10",
        "h11",
        "h12",
        "h13",
        "h14",
        "h15",
        "h16",
        "h17",
        "h18",
        "need %s have %s",
        "#",
        "#GI_Mess_CloneErr_Check",
        "c0",
        "c1",
        "c2",
        "c3",
        "c4",
        "c5",
        "c6",
        "c7",
        "c8",
        "#",
        "#GI_Mess_CloneErr_Port",
        "%s missing",
        "present: %s",
        "none present",
        "%s group %s",
        "%s busy",
        "%s not serial",
        "%s: %s",
        "#",
        "#End_Of_Ovl",
    }};
};

TEST_F(CloneMessagesTest, HeadLineThenTheStatussChecks) {
    struct Case {
        uint8_t status;
        const char* text;
    } cases[] = {
        {4, "h4\n\nc0\nc1\nc2\nc3"},
        {10, "h10\n\nc0\nc2\nc3"},
        {11, "h11\n\nc0\nc1\nc2\nc3\nc4\nc5"},
        {13, "h13\n\nc6\nc7"},
        {14, "h14\n\nc0\nc4\nc5"},
        {16, "h16"},
        {17, "h17\n\nc0\nc1\nc2\nc3"},
        {18, "h18\n\nc0\nc1\nc6"},
    };
    for (const Case& c : cases) EXPECT_EQ(CloneErrorText(c.status, "x"), c.text) << int{c.status};
    EXPECT_EQ(CloneErrorText(2, PortName(3, "/dev/ttyUSB2"), "why"),
              "port 3 (/dev/ttyUSB2) failed\nwhy\n\nc0\nc1\nc2\nc3");
    EXPECT_EQ(CloneErrorText(18, "x", "", "first at 0140"), "h18\nfirst at 0140\n\nc0\nc1\nc6");
    EXPECT_EQ(MemoryEndText(0x237F, 0x1FFF), "need 237F have 1FFF\n\nc0\nc8");
    EXPECT_EQ(PortName(0, "/dev/pts/4"), "/dev/pts/4");
}

TEST_F(CloneMessagesTest, WhyAPortWouldNotOpen) {
    using R = SerialOpenFailure::Reason;
    const std::vector<SerialPortInfo> present = {{"/dev/ttyUSB0", {}, "", ""},
                                                 {"/dev/ttyACM0", {}, "", ""}};
    struct Case {
        SerialOpenFailure why;
        std::vector<SerialPortInfo> present;
        const char* text;
    } cases[] = {
        {{R::NotFound, "/dev/ttyUSB5", "", ""},
         present,
         "/dev/ttyUSB5 missing\npresent: /dev/ttyUSB0, /dev/ttyACM0"},
        {{R::NotFound, "/dev/ttyUSB5", "", ""}, {}, "/dev/ttyUSB5 missing\nnone present"},
        {{R::PermissionDenied, "/dev/ttyUSB0", "dialout", ""}, {}, "/dev/ttyUSB0 group dialout"},
        {{R::Busy, "/dev/ttyUSB0", "", ""}, {}, "/dev/ttyUSB0 busy"},
        {{R::NotSerial, "/dev/null", "", ""}, {}, "/dev/null not serial"},
        {{R::Other, "/dev/x", "", "I/O error"}, {}, "/dev/x: I/O error"},
    };
    for (const Case& c : cases) EXPECT_EQ(PortFailureText(c.why, c.present), c.text);
}

}  // namespace
}  // namespace parlo
