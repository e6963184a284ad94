// parlo-cli on the desktops its users live on: whatever LC_ALL says, a typed
// "446.00625" or "446,00625" is 446.006250 MHz, a value that would turn into
// another number is refused with the reason, and every number printed is
// written with "." as the file formats write it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/TestSupport.h"

namespace parlo {
namespace {

using test::RunCli;

// The locale every command runs under; the first writes as the formats do.
const char* const kLocales[] = {"C.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"};

std::map<std::string, std::string> In(const char* locale) { return {{"LC_ALL", locale}}; }

class CliNumbersTest : public ::testing::Test {
protected:
    test::TempDir dir;
    // A fresh copy of a factory document of `variant`; the LMR one, which
    // has no channels, gets one at 145 MHz.
    std::string Fresh(const std::string& variant, const std::string& name) {
        const std::string factory = dir.file(variant + "-factory.icf");
        if (!std::filesystem::exists(factory)) {
            test::CliNew(variant, factory);
            if (variant == "lmr") {
                EXPECT_EQ(RunCli({"set", factory, "CT_Mch.CL_Mch_FreqR[0]=145"}).status, 0);
            }
        }
        test::WriteFile(dir.file(name), test::ReadFile(factory));
        return dir.file(name);
    }
};

TEST_F(CliNumbersTest, TypedNumbersMeanTheSameInEveryLocale) {
    struct Case {
        const char* variant;
        const char* ref;
        const char* typed;
        const char* shown;  // what get prints afterwards
        const char* note;   // on stderr, after the save
    } cases[] = {
        {"pmr", "CT_Mch.CL_Mch_FreqR[2]", "446.00625", "446.006250", ""},
        {"pmr", "CT_Mch.CL_Mch_FreqR[2]", "446,00625", "446.006250", ""},
        {"pmr", "CT_Mch.CL_Mch_FreqR[2]", " 446,00625 MHz", "446.006250", ""},
        {"pmr", "CT_Mch.CL_Mch_FreqR[2]", "446,0062", "446.006250",
         "CT_Mch.CL_Mch_FreqR[2]: 446,0062 stored as 446.006250\n"},
        {"lmr", "CT_Mch.CL_Mch_FreqR[0]", "145.5", "145.500000", ""},
        {"lmr", "CL_2T_1st_Period[1]", "1,5", "  1.5", ""},
        {"lmr", "CL_2T_1st_Period[1]", "1.5", "  1.5", ""},
        {"lmr", "CL_2T_1st_Period[1]", "1,25 s", "  1.2",
         "CL_2T_1st_Period[1]: 1,25 s stored as 1.2\n"},
        {"lmr", "CL_Maker_IfFreq", "-21,7", "-21.7000", ""},
        {"lmr", "CL_Exp_UserCtcss", "88,5", " 88.5", ""},
        {"lmr", "CL_2TTx_Freq_1st[1]", "1750,5 Hz", "1750.5", ""},
        {"lmr", "CL_Mch_CTone_R[0]", "88,5", "88.5", ""},
    };
    for (const char* locale : kLocales) {
        for (const Case& c : cases) {
            const std::string what = std::string(locale) + " " + c.ref + "=" + c.typed;
            const std::string file = Fresh(c.variant, "set.icf");
            const auto set = RunCli({"set", file, std::string(c.ref) + "=" + c.typed}, In(locale));
            EXPECT_EQ(set.status, 0) << what << "\n" << set.err;
            EXPECT_EQ(set.err, c.note) << what;
            const auto get = RunCli({"get", file, c.ref}, In(locale));
            EXPECT_EQ(get.out, std::string(c.shown) + "\n") << what;
        }
    }
}

TEST_F(CliNumbersTest, NumbersThatWouldBecomeOthersAreRefusedWithTheReason) {
    struct Case {
        const char* ref;
        const char* typed;
        const char* reason;
    } cases[] = {
        {"CT_Mch.CL_Mch_FreqR[0]", "-5", "This value cannot be negative."},
        {"CT_Mch.CL_Mch_FreqR[0]", "1e3", "without an exponent"},
        {"CT_Mch.CL_Mch_FreqR[0]", "446,006,25", "one decimal mark"},
        {"CT_Mch.CL_Mch_FreqR[0]", "1.446,1", "one decimal mark"},
        {"CT_Mch.CL_Mch_FreqR[0]", "446 1", "was not accepted"},
        {"CL_2T_1st_Period[1]", "-1.5", "This value cannot be negative."},
        {"CL_Exp_UserCtcss", "8.85e1", "without an exponent"},
    };
    for (const char* locale : kLocales) {
        for (const Case& c : cases) {
            const std::string what = std::string(locale) + " " + c.ref + "=" + c.typed;
            const std::string file = Fresh("pmr", "refused.icf");
            const std::string before = test::ReadFile(file);
            const auto r = RunCli({"set", file, std::string(c.ref) + "=" + c.typed}, In(locale));
            EXPECT_EQ(r.status, 65) << what;
            EXPECT_NE(r.err.find(c.reason), std::string::npos) << what << "\n" << r.err;
            EXPECT_EQ(test::ReadFile(file), before) << what;
        }
    }
}

// What the commands print, as a German or French desktop would run them,
// is what they print in the C locale.
TEST_F(CliNumbersTest, OutputIsTheSameInEveryLocale) {
    const std::string file = Fresh("lmr", "out.icf");
    ASSERT_EQ(RunCli({"set", file, "CT_Mch.CL_Mch_FreqR[0]=145.5", "CL_Maker_IfFreq=-21.7",
                      "CL_2T_1st_Period[1]=1.5"})
                  .status,
              0);
    const std::string bank = "[St_ChBank]GI_Sheet_Mch_LMR,Bank 0";
    const std::vector<std::vector<std::string>> commands = {
        {"channels", file},
        {"channels", file, "--csv"},
        {"export", file},
        {"get", file, "CL_Mch_FreqR[0]", "CL_Maker_IfFreq", "CL_2T_1st_Period[1]"},
        {"sheet", file, bank},
        {"info", file},
    };
    for (const auto& command : commands) {
        const auto c = RunCli(command, In("C.UTF-8"));
        ASSERT_EQ(c.status, 0) << command[0] << "\n" << c.err;
        for (const char* locale : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
            const auto r = RunCli(command, In(locale));
            EXPECT_EQ(r.status, 0) << locale << " " << command[0];
            EXPECT_EQ(r.out, c.out) << locale << " " << command[0];
        }
    }
    EXPECT_NE(RunCli({"channels", file}).out.find("145.500000"), std::string::npos);
    EXPECT_NE(RunCli({"export", file}).out.find(",145.500000,"), std::string::npos);
    EXPECT_EQ(RunCli({"get", file, "CL_Maker_IfFreq"}).out, "-21.7000\n");

    // The text of a printed PDF.
    std::string printed;
    for (const char* locale : kLocales) {
        const std::string pdf = dir.file(std::string(locale) + ".pdf");
        const auto r = RunCli({"print", file, "-o", pdf, bank}, In(locale));
        ASSERT_EQ(r.status, 0) << locale << "\n" << r.err;
        const auto text = test::RunProcess("/usr/bin/pdftotext", {"-layout", pdf, "-"});
        ASSERT_EQ(text.status, 0) << text.err;
        EXPECT_NE(text.out.find("145.500000"), std::string::npos) << locale;
        if (printed.empty()) printed = text.out;
        EXPECT_EQ(text.out, printed) << locale;
    }
}

// import types every value as set does: told when stored other than typed,
// refused with the reason when it would become another number.
TEST_F(CliNumbersTest, ImportTellsWhatItStoredOtherThanTyped) {
    const std::string csv = dir.file("channels.csv");
    test::WriteFile(csv,
                    "Bank,Position,Receive,Transmit\n"
                    "1,1,\"446,1 MHz\",\"446,0187\"\n"
                    "1,2,900,<-\n");
    const std::string refused = dir.file("refused.csv");
    test::WriteFile(refused, "Bank,Position,Receive\n1,1,-5\n1,2,1e3\n");
    for (const char* locale : kLocales) {
        SCOPED_TRACE(locale);
        const std::string file = Fresh("pmr", "import.icf");
        const auto r = RunCli({"import", file, csv}, In(locale));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err,
                  "line 2, column \"Transmit\": '446,0187' stored as 446.018750\n"
                  "line 3, column \"Receive\": '900' stored as 799.999950\n"
                  "2 channel rows read, 0 channels added\n");
        EXPECT_EQ(test::CliGet(file, {"CL_Mch_FreqR[0]", "CL_Mch_FreqT[0]", "CL_Mch_FreqR[1]"}),
                  "446.100000\n446.018750\n799.999950\n");

        const std::string before = test::ReadFile(file);
        const auto no = RunCli({"import", file, refused}, In(locale));
        EXPECT_EQ(no.status, 65);
        EXPECT_EQ(no.err,
                  "line 2, column \"Receive\": '-5' was not accepted: This value cannot be "
                  "negative.\n"
                  "line 3, column \"Receive\": '1e3' was not accepted: Type the number in plain "
                  "digits, without an exponent.\n"
                  "parlo-cli import: nothing was saved\n");
        EXPECT_EQ(test::ReadFile(file), before);
    }
}

}  // namespace
}  // namespace parlo
