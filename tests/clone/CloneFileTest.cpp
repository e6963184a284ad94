#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>

#include "clone/CloneFile.h"
#include "clone/CloneFileOps.h"
#include "clone/ContentValidation.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
}

EepromImage PatternImage() {
    EepromImage e;
    e.SetSize(kImageSize);
    for (int32_t a = 0; a < kImageSize; ++a) e.SetByte(a, static_cast<uint8_t>(a * 7 + 3));
    return e;
}

// Reads a file into `image` with any header and map revision accepted: the
// code of the read.
uint8_t ReadAccepting(const std::string& path, EepromImage& image,
                      const RangeList* range = nullptr) {
    CloneFile f;
    f.Attach(image);
    f.SetHeaderCheck(AcceptFileHeader);
    f.SetMapRevisionCheck(AcceptMapRevision);
    return f.Read(path, range).code;
}

class CloneFileTest : public ::testing::Test {
protected:
    test::RecordingPrompts prompts;
    TempDir dir;
};

TEST_F(CloneFileTest, SaveWritesTheWholeRadioAreaInSixteenByteLines) {
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    f.SetModelCode(0x2927);
    f.SetMapRevision(6);
    f.SetComment("Depot A");
    ASSERT_EQ(f.Write(dir.file("a.icf"), SingleRange(0, 0x7D7F)).code, kFileOk);
    const std::string text = ReadFile(dir.file("a.icf"));
    const auto lines = Lines(text);
    ASSERT_EQ(lines.size(), 3u + 2008u);
    EXPECT_EQ(lines[0], "29270000\r");
    EXPECT_EQ(lines[1], "#Comment=Depot A\r");
    EXPECT_EQ(lines[2], "#MapRev=6\r");
    EXPECT_EQ(lines[3].substr(0, 8), "00001003");
    EXPECT_EQ(lines.back().substr(0, 6), "7D7010");
    for (const std::string& l : lines) EXPECT_EQ(l.back(), '\r');
    EXPECT_EQ(text.back(), '\n');
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(CloneFileTest, LinesAreAlignedToSixteenAddresses) {
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    ASSERT_EQ(f.Write(dir.file("r.icf"), SingleRange(0x0105, 0x0125)).code, kFileOk);
    const auto lines = Lines(ReadFile(dir.file("r.icf")));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[3].substr(0, 6), "01050B");
    EXPECT_EQ(lines[4].substr(0, 6), "011010");
    EXPECT_EQ(lines[5].substr(0, 6), "012006");
    EXPECT_EQ(lines[5].size(), 6u + 12u + 1u);
}

TEST_F(CloneFileTest, RangesEndAtTheClosingPairOrAnInvalidAddress) {
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    const RangeList list = {{0x10, 0x1F}, {0, 0xFFFFF}, {0x20, 0x2F}};
    ASSERT_EQ(f.Write(dir.file("s.icf"), list).code, kFileOk);
    EXPECT_EQ(Lines(ReadFile(dir.file("s.icf"))).size(), 4u);
}

TEST_F(CloneFileTest, SavedFileReadsBackIdentically) {
    EepromImage image = PatternImage();
    CloneFile w;
    w.Attach(image);
    w.SetModelCode(0x2927);
    w.SetMapRevision(6);
    ASSERT_EQ(w.Write(dir.file("rt.icf"), SingleRange(0, 0x7D7F)).code, kFileOk);

    EepromImage back;
    back.SetSize(kImageSize);
    CloneFile r;
    r.Attach(back);
    r.SetModelCode(0x2927);
    r.SetMapRevisionCheck(AcceptMapRevision);
    const RangeList range = SingleRange(0, 0x7D7F);
    ASSERT_EQ(r.Read(dir.file("rt.icf"), &range).code, kFileOk);
    EXPECT_EQ(r.MapRevision(), 6);
    for (int32_t a = 0; a <= 0x7D7F; ++a) ASSERT_EQ(back.GetByte(a), image.GetByte(a)) << a;
    EXPECT_EQ(back.GetByte(0x7D80), 0);
}

// One case per way a file can be read: its text and the code Read gives with
// the application's header and revision checks and a range list of 0x00..0x0F.
struct ReadCase {
    const char* name;
    std::string text;
    uint8_t code;
};

const std::string kData16 = "00001000112233445566778899AABBCCDDEEFF";

std::vector<ReadCase> ReadCases() {
    const std::string head = "29270000\n#Comment=x\n#MapRev=6\n";
    return {
        {"valid", head + kData16 + "\n", kFileOk},
        {"crlf", "29270000\r\n#MapRev=6\r\n" + kData16 + "\r\n", kFileOk},
        {"no final line end", head + kData16, kFileOk},
        {"lower case data", head + "0000100011223344556677889aabbccddeeff0\n", kFileOk},
        {"extra code 0100", "29270100\n#MapRev=6\n" + kData16 + "\n", kFileOk},
        {"keyword lines anywhere",
         head + "0000080011223344556677\n#Other\n0008088899AABBCCDDEEFF\n", kFileOk},
        {"extra code 0001", "29270001\n#MapRev=6\n" + kData16 + "\n", kFileErrExtra},
        {"model 2928", "29280000\n#MapRev=6\n" + kData16 + "\n", kFileErrModel},
        {"letters in header", "2A270000\n#MapRev=6\n" + kData16 + "\n", kFileErrFormat},
        {"header with trailing blank", "29270000 \n#MapRev=6\n" + kData16 + "\n", kFileErrFormat},
        {"empty file", "", kFileErrFormat},
        {"no map revision", "29270000\n" + kData16 + "\n", kFileErrMapRev},
        {"map revision after data", "29270000\n" + kData16 + "\n#MapRev=6\n", kFileErrMapRev},
        {"map revision 7", "29270000\n#MapRev=7\n" + kData16 + "\n", kFileErrMapRev},
        {"no data lines", head, kFileErrCoverage},
        {"line 000000", head + "000000\n", kFileErrFormat},
        {"count does not match", head + "0000100011\n", kFileErrFormat},
        {"non-hex character", head + "00001000112233445566778899AABBCCDDEEFG\n", kFileErrFormat},
        {"empty line", head + kData16 + "\n\n", kFileErrFormat},
        {"missing address", head + "00000F00112233445566778899AABBCCDDEE\n", kFileErrCoverage},
        {"extra address", head + kData16 + "\n00100100\n", kFileErrData},
        {"missing and extra", head + "00000F00112233445566778899AABBCCDDEE\n00100100\n",
         kFileErrData},
        {"past the image", head + "A650020000\n", kFileErrData},
    };
}

TEST_F(CloneFileTest, ReadGivesTheCodeOfEachKindOfFile) {
    for (const ReadCase& c : ReadCases()) {
        SCOPED_TRACE(c.name);
        WriteFile(dir.file("f.icf"), c.text);
        EepromImage image = PatternImage();
        const EepromImage before = image;
        const RangeList range = SingleRange(0, 0x0F);
        EXPECT_EQ(ReadAccepting(dir.file("f.icf"), image, &range), c.code);
        if (c.code != kFileOk) {
            EXPECT_TRUE(image.Equals(before)) << "a failed read changed the image";
        } else {
            EXPECT_EQ(image.GetByte(1), 0x11);
        }
    }
}

TEST_F(CloneFileTest, LineLengthLimits) {
    std::string full = "0000FF";
    for (int i = 0; i < 255; ++i) full += "AB";
    ASSERT_EQ(full.size(), 516u);
    const std::string head = "29270000\n#MapRev=6\n";
    for (const auto& [line, code] : std::vector<std::pair<std::string, uint8_t>>{
             {full, kFileOk}, {full + "A", kFileErrFormat}}) {
        WriteFile(dir.file("l.icf"), head + line + "\n");
        EepromImage image = PatternImage();
        EXPECT_EQ(ReadAccepting(dir.file("l.icf"), image), code) << line.size();
    }
}

// Files are read in blocks: a line, its CR or its LF that falls across the
// end of one (wherever in the line, at each offset around 64 KiB) reads as
// any other, and so does a comment line longer than the line limit, whose
// rest is read as a line of its own (a data line that is none).
TEST_F(CloneFileTest, LinesAcrossTheReadBlocksReadAsAnyOther) {
    const std::string head = "29270000\r\n#MapRev=6\r\n";
    for (size_t before = 65536 - kData16.size() - 4; before <= 65536 + 2; ++before) {
        SCOPED_TRACE(before);
        std::string text = head;
        // Comment lines of at most 100 characters up to `before` bytes.
        while (text.size() < before) {
            const size_t left = before - text.size();
            const size_t line = std::min<size_t>(left >= 4 ? left : 4 + left, 100);
            text += "#" + std::string(line - 3, 'x') + "\r\n";
        }
        if (text.size() != before) continue;        // no comment line fits the gap
        text += kData16 + "\r\n" + "0010024455\r";  // the last line ends with the file
        WriteFile(dir.file("b.icf"), text);
        EepromImage image = PatternImage();
        const RangeList range = SingleRange(0, 0x11);
        ASSERT_EQ(ReadAccepting(dir.file("b.icf"), image, &range), kFileOk);
        EXPECT_EQ(image.GetByte(0x01), 0x11);
        EXPECT_EQ(image.GetByte(0x0F), 0xFF);
        EXPECT_EQ(image.GetByte(0x11), 0x55);
    }
    // The longest line the limit takes, with its CR, and one longer.
    const std::string longest = "#" + std::string(CloneFile::kLineBuffer - 4, 'x');
    const std::string longer = "#" + std::string(CloneFile::kLineBuffer + 10, 'x');
    for (const auto& [text, code] : std::vector<std::pair<std::string, uint8_t>>{
             {head + longest + "\r\n" + kData16 + "\r\n", kFileOk},
             {head + longer + "\r\n" + kData16 + "\r\n", kFileErrFormat}}) {
        WriteFile(dir.file("c.icf"), text);
        EepromImage image = PatternImage();
        EXPECT_EQ(ReadAccepting(dir.file("c.icf"), image), code) << text.size();
    }
}

TEST_F(CloneFileTest, WithoutHeaderCheckTheMembersDecide) {
    WriteFile(dir.file("h.icf"), "29270100\n#MapRev=6\n" + kData16 + "\n");
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    f.SetModelCode(0x2927);
    f.SetMapRevisionCheck(AcceptMapRevision);
    EXPECT_EQ(f.Read(dir.file("h.icf"), nullptr).code, kFileErrExtra);
    f.SetExtraCode(0x0100);
    EXPECT_EQ(f.Read(dir.file("h.icf"), nullptr).code, kFileOk);
}

// A socket bound at `path`, closed when the test ends.
struct BoundSocket {
    explicit BoundSocket(const std::string& path) : fd(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << path;
    }
    ~BoundSocket() { ::close(fd); }
    int fd;
};

TEST_F(CloneFileTest, FailuresNameTheFileAndSayWhy) {
    EepromImage image = PatternImage();
    const EepromImage before = image;
    CloneFile f;
    f.Attach(image);
    std::filesystem::create_directory(dir.file("folder.icf"));
    // A FIFO without a writer would block a reader for good.
    ASSERT_EQ(::mkfifo(dir.file("fifo.icf").c_str(), 0600), 0);
    BoundSocket socket(dir.file("socket.icf"));
    const char* const kNotAFile = "It is a pipe, a device or a socket, not a regular file.";
    struct Case {
        std::string path;
        const char* why;
    };
    const Case cases[] = {
        {dir.file("absent.icf"), "It does not exist."},
        {dir.file("folder.icf"), "It is a folder."},
        {dir.file("folder.icf") + "/", "It is a folder."},
        {dir.file("fifo.icf"), kNotAFile},
        {dir.file("socket.icf"), kNotAFile},
        {"/dev/null", kNotAFile},
        {"/dev/zero", kNotAFile},
    };
    for (const Case& c : cases) {
        const FileOutcome read = f.Read(c.path, nullptr);
        EXPECT_EQ(read.code, kFileErrOpen) << c.path;
        EXPECT_EQ(read.message,
                  "The clone file '" + c.path +
                      "' could not be used.\n\nThe file cannot be opened. Check that it exists "
                      "and that you are allowed to read it.\n" +
                      c.why);
        EXPECT_TRUE(image.Equals(before));
    }
    EXPECT_TRUE(prompts.shown.empty()) << "the caller shows the message";
}

TEST_F(CloneFileTest, SaveIntoAMissingFolderFailsToOpen) {
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    EXPECT_EQ(f.Write(dir.file("no/such/folder.icf"), SingleRange(0, 0x7D7F)).code, kFileErrOpen);
}

TEST_F(CloneFileTest, ASaveBeyondTheFileSizeLimitKeepsThePreviousFile) {
    const std::string path = dir.file("keep.icf");
    WriteFile(path, "previous contents\n");
    IgnoreFileSizeSignal();
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EepromImage image = PatternImage();
    CloneFile f;
    f.Attach(image);
    const FileOutcome written = f.Write(path, SingleRange(0, 0x7D7F));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(written.code, kFileErrAccess);
    EXPECT_EQ(ReadFile(path), "previous contents\n");
    // The temporary file is gone by the time the caller shows the message.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(written.message, "The clone file '" + path +
                                   "' could not be saved.\n\nWriting the file failed.\n"
                                   "The file is larger than this process may write.\n"
                                   "Any earlier file of that name has been kept unchanged.");
}

TEST_F(CloneFileTest, SaveReplacesTheFileBehindALinkAndKeepsItsMode) {
    const std::string real = dir.file("real.icf");
    WriteFile(real, "old\n");
    std::filesystem::permissions(real, std::filesystem::perms(0640));
    std::filesystem::create_symlink(real, dir.file("link.icf"));
    EepromImage image = PatternImage();
    ASSERT_EQ(SaveCloneFile(dir.file("link.icf"), image).code, kFileOk);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.icf")));
    EXPECT_EQ(ReadFile(real).substr(0, 8), "29270000");
    EXPECT_EQ(std::filesystem::status(real).permissions(), std::filesystem::perms(0640));
}

TEST_F(CloneFileTest, CommentComesFromTheImageTexts) {
    EepromImage image;
    image.SetSize(kImageSize);
    const std::string first = "Fleet 7\x01  ", second = "Depot\tB        ";
    for (int i = 0; i < 16; ++i) {
        image.SetByte(0x95DD + i, i < static_cast<int>(first.size()) ? first[i] : ' ');
        image.SetByte(0x95ED + i, static_cast<uint8_t>(second[i]));
    }
    EXPECT_EQ(CommentFromImage(image), "Fleet 7Depot B");
}

}  // namespace
}  // namespace parlo
