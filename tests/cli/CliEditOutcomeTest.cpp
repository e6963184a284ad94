// What parlo-cli set / key / pick store, byte for byte, and what they say:
// every edit either lands in its own bytes of the saved file or is refused
// with exit 65 and the file left alone; a value stored other than typed is
// told on stderr.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>

#include "platform/NumberText.h"
#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

// The radio area a clone file carries: after the header, comment and map
// revision lines, lines of "AAAA" (address), "LL" (count) and the data
// bytes, all hexadecimal.
std::vector<uint8_t> FileBytes(const std::string& path) {
    std::vector<uint8_t> bytes(0x7D80, 0);
    const std::string text = test::ReadFile(path);
    size_t at = text.find("#MapRev=6\r\n");
    EXPECT_NE(at, std::string::npos) << path;
    at += 11;
    auto hex = [&](size_t pos, size_t n) {
        return static_cast<int>(ReadInteger(text.substr(pos, n), 16).value_or(-1));
    };
    for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const int address = hex(at, 4);
        const int count = hex(at + 4, 2);
        for (int i = 0; i < count; ++i)
            bytes.at(size_t(address + i)) = uint8_t(hex(at + 6 + 2 * i, 2));
    }
    return bytes;
}

int Word(const std::vector<uint8_t>& b, int a) {
    return b.at(size_t(a)) << 8 | b.at(size_t(a + 1));
}

// Where a packed table lies in the file: the directory's own entry at 0x0120
// (id, record size, count, address) leads to entries of 10 bytes, the first
// two bytes the block id and the last two of the first eight its address.
int PackedBlock(const std::vector<uint8_t>& b, int id) {
    const int count = Word(b, 0x0124);
    const int directory = Word(b, 0x0126);
    for (int i = 0; i < count; ++i) {
        if (Word(b, directory + 10 * i) == id) return Word(b, directory + 10 * i + 6);
    }
    ADD_FAILURE() << "no block " << id;
    return 0;
}

// Work-area tables in the file, by block id and source address.
struct Table {
    int id;
    int source;
};
constexpr Table kSetModeTable{21, 0x0130};  // also kept in place, in the radio area
constexpr Table kCommonTable{6, 0x957D};
constexpr Table kDtmfTable{14, 0x9757};
constexpr Table kTarnDisplayTable{24, 0x9C05};

// A byte of the file: in the radio area, or at an offset into a packed table.
struct FileByte {
    std::optional<Table> table;
    int address;
    uint8_t value;
};

FileByte At(int address, uint8_t value) { return {std::nullopt, address, value}; }
FileByte In(Table t, int address, uint8_t value) { return {t, address, value}; }

// Expects `after` to differ from `before` in exactly the given bytes.
void ExpectOnly(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                const std::vector<FileByte>& changes, const std::string& what) {
    std::map<int, uint8_t> expected;
    for (const FileByte& c : changes) {
        const int a =
            c.table ? PackedBlock(after, c.table->id) + c.address - c.table->source : c.address;
        expected[a] = c.value;
    }
    for (int a = 0; a < 0x7D80; ++a) {
        const auto it = expected.find(a);
        const uint8_t want = it != expected.end() ? it->second : before[size_t(a)];
        ASSERT_EQ(after[size_t(a)], want) << what << " at " << std::hex << a;
    }
}

class CliEditOutcomeTest : public ::testing::Test {
protected:
    test::TempDir dir;
    // The factory document of a variant, made once per test.
    std::string Factory(const std::string& variant) {
        const std::string file = dir.file(variant + ".icf");
        if (made_.insert(variant).second) test::CliNew(variant, file);
        return file;
    }

private:
    std::set<std::string> made_;
};

struct Edit {
    std::string variant;
    std::vector<std::string> command;  // "set REF=TEXT", "key REF KEY", "pick REF ITEM"
    std::vector<FileByte> bytes;       // the file's bytes that change
    std::string ref;                   // what get then prints for it
    std::string shown;
    int status;
    std::string err;  // on stderr (a part of it, when refused)
};

// Runs each edit on a copy of the factory document and checks its outcome.
void RunEdits(const std::vector<Edit>& edits,
              const std::function<std::string(const std::string&)>& factory,
              const std::string& folder) {
    int n = 0;
    for (const Edit& e : edits) {
        const std::string what = e.variant + ": " + e.command[0] + " " + e.command[1];
        const std::string file = folder + "/edit" + std::to_string(n++) + ".icf";
        test::WriteFile(file, test::ReadFile(factory(e.variant)));
        const std::vector<uint8_t> before = FileBytes(file);
        std::vector<std::string> args = {e.command[0], file};
        args.insert(args.end(), e.command.begin() + 1, e.command.end());
        const auto r = RunCli(args);
        EXPECT_EQ(r.status, e.status) << what << "\n" << r.err;
        if (e.status == 0) {
            EXPECT_EQ(r.err, e.err) << what;
        } else {
            EXPECT_NE(r.err.find(e.err), std::string::npos) << what << "\n" << r.err;
            EXPECT_EQ(r.err.find("stored as"), std::string::npos) << what << "\n" << r.err;
        }
        ExpectOnly(before, FileBytes(file), e.bytes, what);
        if (!e.ref.empty()) {
            EXPECT_EQ(test::CliGet(file, {e.ref}), e.shown + "\n") << what;
        }
    }
}

TEST_F(CliEditOutcomeTest, TheCellsOnceShownAsDashesTakeValues) {
    const std::vector<Edit> edits = {
        // Beep level: list Low, Medium, High in bits 1-0 of 0x0130, beside the key beep.
        {"pmr",
         {"set", "CL_SetM_BeepLev=High"},
         {At(0x0130, 0x82)},
         "CL_SetM_BeepLev",
         "High",
         0,
         ""},
        // The dPMR446 variant packs the set-mode bytes as well.
        {"dpmr446",
         {"set", "CL_SetM_BeepLev=Medium"},
         {At(0x0130, 0x81), In(kSetModeTable, 0x0130, 0x81)},
         "CL_SetM_BeepLev",
         "Medium",
         0,
         ""},
        {"lmr",
         {"pick", "CL_SetM_AFMinLev", "1"},
         {At(0x0132, 0x80)},
         "CL_SetM_AFMinLev",
         "On",
         0,
         ""},
        {"pmrt",
         {"set", "CL_Exp_BeepFreq_Low=1200"},
         {In(kCommonTable, 0x9587, 0x04), In(kCommonTable, 0x9588, 0xB0)},
         "CL_Exp_BeepFreq_Low",
         "1200",
         0,
         ""},
        {"lmr",
         {"set", "CL_Maker_Dtcs_Decode=17"},
         {At(0x0023, 0x11)},
         "CL_Maker_Dtcs_Decode",
         "17",
         0,
         ""},
        {"pmr",
         {"set", "CL_Maker_IfFreq=-21.7"},
         {At(0x0010, 0xFE), At(0x0011, 0xB4), At(0x0012, 0xE2), At(0x0013, 0x60)},
         "CL_Maker_IfFreq",
         "-21.7000",
         0,
         ""},
        {"dpmr446",
         {"set", "CL_Maker_Pll_Reference=12.8"},
         {At(0x0015, 0xC3), At(0x0016, 0x50)},
         "CL_Maker_Pll_Reference",
         " 12.8000",
         0,
         ""},
    };
    RunEdits(
        edits, [this](const std::string& v) { return Factory(v); }, dir.path().string());
}

TEST_F(CliEditOutcomeTest, ACellTheVariantDoesNotKeepRefusesEveryEdit) {
    const std::string refused = "not used in this variant";
    const std::vector<Edit> edits = {
        // 0x9C0D lies in a table only the Tarn variant packs.
        {"pmr", {"set", "CL_KDisp_ScrollTimer=1.5"}, {}, "CL_KDisp_ScrollTimer", "", 65, refused},
        {"pmrt",
         {"set", "CL_KDisp_ScrollTimer=1.5"},
         {In(kTarnDisplayTable, 0x9C0D, 15)},
         "CL_KDisp_ScrollTimer",
         "  1.5",
         0,
         ""},
        {"lmr",
         {"key", "CL_Msk_TimingErr_NA", "space"},
         {},
         "CL_Msk_TimingErr_NA",
         "",
         65,
         refused},
        {"pmr", {"pick", "CL_Comm_Tot", "1"}, {}, "CL_Comm_Tot", "", 65, refused},
        {"pmrt", {"set", "CL_Dig_Tim_Breakin=2"}, {}, "CL_Dig_Tim_Breakin", "", 65, refused},
        {"dpmr446",
         {"set", "CL_Msk_IdGroup_Text[2]=CREW"},
         {},
         "CL_Msk_IdGroup_Text[2]",
         "",
         65,
         refused},
        // Nothing of several edits is saved when one is refused.
        {"pmr", {"set", "CL_SetM_SqlLev=9", "CL_KDisp_ScrollTimer=1.5"}, {}, "", "", 65, refused},
    };
    RunEdits(
        edits, [this](const std::string& v) { return Factory(v); }, dir.path().string());
}

// A whole number is read as every typed number is (a unit after it dropped,
// "." or "," for decimals); a fraction is cut off, and said so.
TEST_F(CliEditOutcomeTest, NumbersAreReadAsSignedIntegersTheFractionCut) {
    const std::vector<Edit> edits = {
        {"pmr", {"set", "CL_SetM_SqlLev=3x"}, {At(0x0131, 3)}, "CL_SetM_SqlLev", "3", 0, ""},
        {"pmr",
         {"set", "CL_SetM_SqlLev=4.6"},
         {At(0x0131, 4)},
         "CL_SetM_SqlLev",
         "4",
         0,
         "CL_SetM_SqlLev: 4.6 stored as 4\n"},
        {"pmr",
         {"set", "CL_SetM_SqlLev=4,6"},
         {At(0x0131, 4)},
         "CL_SetM_SqlLev",
         "4",
         0,
         "CL_SetM_SqlLev: 4,6 stored as 4\n"},
        {"lmr",
         {"set", "CL_SetM_SqlLev= +200 steps"},
         {At(0x0131, 200)},
         "CL_SetM_SqlLev",
         "200",
         0,
         ""},
        {"lmr",
         {"set", "CL_Maker_Dtcs_Decode=20.9"},
         {At(0x0023, 20)},
         "CL_Maker_Dtcs_Decode",
         "20",
         0,
         "CL_Maker_Dtcs_Decode: 20.9 stored as 20\n"},
        {"pmr", {"set", "CL_SetM_SqlLev=x3"}, {}, "", "", 65, "not accepted"},
        {"pmr", {"set", "CL_SetM_SqlLev=1e1"}, {}, "", "", 65, "without an exponent"},
        {"pmr", {"set", "CL_SetM_SqlLev=-3"}, {}, "", "", 65, "cannot be negative"},
        {"pmr", {"set", "CL_SetM_SqlLev=1.000,5"}, {}, "", "", 65, "one decimal mark"},
    };
    RunEdits(
        edits, [this](const std::string& v) { return Factory(v); }, dir.path().string());
}

TEST_F(CliEditOutcomeTest, AnEmptyTextClearsADtmfMemory) {
    // Memory 1 (from 0) holds 0123#: nibbles 01 23 F0 at +8, count 5 at +20.
    const std::string withCode = dir.file("code.icf");
    ASSERT_EQ(RunCli({"set", Factory("pmr"), "CL_Dtmf_Code[1]=0123#", "-o", withCode}).status, 0);
    const int memory = 0x9757 + 21;
    ASSERT_EQ(test::CliGet(withCode, {"CL_Dtmf_Code[1]"}), "0123#\n");
    const std::vector<Edit> edits = {
        {"pmr",
         {"set", "CL_Dtmf_Code[1]="},
         {In(kDtmfTable, memory + 8, 0), In(kDtmfTable, memory + 9, 0),
          In(kDtmfTable, memory + 10, 0), In(kDtmfTable, memory + 20, 0)},
         "CL_Dtmf_Code[1]",
         "",
         0,
         ""},
        {"pmr",
         {"set", "CL_Dtmf_Code[1]=  "},
         {In(kDtmfTable, memory + 8, 0), In(kDtmfTable, memory + 9, 0),
          In(kDtmfTable, memory + 10, 0), In(kDtmfTable, memory + 20, 0)},
         "CL_Dtmf_Code[1]",
         "",
         0,
         ""},
        {"pmr",
         {"set", "CL_Dtmf_Code[1]=9"},
         {In(kDtmfTable, memory + 8, 0x90), In(kDtmfTable, memory + 9, 0),
          In(kDtmfTable, memory + 10, 0), In(kDtmfTable, memory + 20, 1)},
         "CL_Dtmf_Code[1]",
         "9",
         0,
         ""},
        // Text without a single DTMF digit is a slip: the digits stay.
        {"pmr", {"set", "CL_Dtmf_Code[1]=xyz"}, {}, "CL_Dtmf_Code[1]", "0123#", 65, "not accepted"},
    };
    RunEdits(
        edits, [&](const std::string&) { return withCode; }, dir.path().string());
}

TEST_F(CliEditOutcomeTest, AValueStoredOtherThanTypedIsTold) {
    const int totTimer = 0x95B9;
    const std::vector<Edit> edits = {
        {"dpmr446",
         {"set", "CL_Comm_Tot_Timer=300"},
         {In(kCommonTable, totTimer, 180)},
         "CL_Comm_Tot_Timer",
         "180.000",
         0,
         "CL_Comm_Tot_Timer: 300 stored as 180.000\n"},
        {"lmr",
         {"set", "CL_Comm_Tot_Timer=300"},
         {In(kCommonTable, totTimer, 255)},
         "CL_Comm_Tot_Timer",
         "255.000",
         0,
         "CL_Comm_Tot_Timer: 300 stored as 255.000\n"},
        {"lmr",
         {"set", "CL_Comm_Tot_Timer=200"},
         {In(kCommonTable, totTimer, 200)},
         "CL_Comm_Tot_Timer",
         "200.000",
         0,
         ""},
        {"pmr",
         {"set", "CL_Maker_Dtcs_Decode=30", "CL_Comm_Tot_Timer=5"},
         {At(0x0023, 23), In(kCommonTable, totTimer, 5)},
         "CL_Maker_Dtcs_Decode",
         "23",
         0,
         "CL_Maker_Dtcs_Decode: 30 stored as 23\n"},
        // Nothing is told about an edit that is not saved.
        {"dpmr446",
         {"set", "CL_Comm_Tot_Timer=300", "CL_SetM_SqlLev=x"},
         {},
         "",
         "",
         65,
         "not accepted"},
    };
    RunEdits(
        edits, [this](const std::string& v) { return Factory(v); }, dir.path().string());
}

}  // namespace
}  // namespace parlo
