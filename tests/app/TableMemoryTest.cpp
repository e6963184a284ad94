// A table of any length is read in little memory: parlo-cli imports a
// million rows as a process of its own, whose peak resident set is
// measured; the refusals are listed up to 100 and counted past them. (Apart
// from the parlo-cli suites, which run again in other locales: the memory
// does not depend on them.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::ReadFile;
using test::RunCli;

// Under AddressSanitizer freed memory is held back on purpose (to catch its
// use after free): that is the checker's memory, not the program's.
std::map<std::string, std::string> WithoutQuarantine() {
    const char* options = std::getenv("ASAN_OPTIONS");
    std::string value = options != nullptr ? options : "";
    return {{"ASAN_OPTIONS", value + (value.empty() ? "" : ":") + "quarantine_size_mb=0"}};
}

TEST(TableMemory, AMillionRowImportIsReadInLittleMemoryAndItsRefusalsCounted) {
    test::TempDir dir;
    const std::string file = dir.file("pmr.icf");
    test::CliNew("pmr", file);
    const std::string before = ReadFile(file);
    // Every row names bank 1, position 1: all but the first are refused.
    {
        std::ofstream table(dir.file("big.csv"), std::ios::binary);
        table << "Bank,Position,Name,Receive,Transmit,Receive tone,Transmit tone\r\n";
        for (int i = 0; i < 1'000'000; ++i) table << "1,1,PMR 1,446.006250,<-,67.0,67.0\r\n";
    }
    const auto r = RunCli({"import", file, dir.file("big.csv")}, WithoutQuarantine());
    EXPECT_EQ(r.status, 65);
    EXPECT_LT(r.peakRssKb, 100 * 1024) << "peak resident set in KB";
    const std::vector<std::string> lines = test::FirstLines(r.err, 1000);
    ASSERT_EQ(lines.size(), 102u) << r.err.substr(0, 2000);
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(lines[i], "line " + std::to_string(i + 3) +
                                ", column \"Position\": '1' was not accepted: bank 1, position 1 "
                                "is given by line 2 already");
    }
    EXPECT_EQ(lines[100], "... and 999899 more refused");
    EXPECT_EQ(lines[101], "parlo-cli import: nothing was saved");
    EXPECT_EQ(ReadFile(file), before);
}

}  // namespace
}  // namespace parlo
