// Numbers are read and written through platform/NumberText.h only: the C
// library's readers, printf's "%f" and the streams follow LC_NUMERIC, which
// the toolkit sets from the user's locale, so "446.00625" would read as 446
// on a German desktop. printf's integer conversions ignore the locale (short
// of the "'" flag) and may stay in messages.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

namespace parlo {
namespace {

namespace fs = std::filesystem;

// What follows the locale, and what it looks like in a line of code.
struct Rule {
    const char* what;
    std::regex pattern;
};

const std::vector<Rule>& Rules() {
    static const std::vector<Rule> rules = {
        {"a C library number reader",
         std::regex(
             R"(\b(strto(d|f|ld|l|ll|ul|ull|imax|umax)|ato(i|l|ll|f)|sto(i|l|ll|ul|ull|f|d|ld)|s?scanf|fscanf)\s*\()")},
        {"a printf conversion of a real number",
         std::regex(R"re("[^"]*%[-+ #0]*[0-9*]*(\.[0-9*]*)?(L|l)?[fFeEgGaA][^"]*")re")},
        {"a printf conversion with the locale's grouping", std::regex(R"re("[^"]*%'[^"]*")re")},
        {"a stream formatting a number",
         std::regex(R"(std::(fixed|scientific|setprecision|hexfloat)\b)")},
    };
    return rules;
}

// Folders of the product and its tools; the tests may do as they like.
bool Scanned(const fs::path& relative) {
    const std::string top = relative.begin()->string();
    if (top == "tests" || top.rfind("build", 0) == 0 || top[0] == '.') return false;
    const std::string ext = relative.extension().string();
    return ext == ".cpp" || ext == ".h";
}

// A line without its // comment (a "//" inside a string is rare enough here).
std::string Code(const std::string& line) {
    const size_t comment = line.find("//");
    return comment == std::string::npos ? line : line.substr(0, comment);
}

TEST(LocaleFreeNumbers, NoNumberGoesThroughTheLocale) {
    const fs::path root = PARLO_SOURCE_DIR;
    int files = 0;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path relative = fs::relative(it->path(), root);
        if (it->is_directory()) {
            if (!Scanned(relative / "x.cpp")) it.disable_recursion_pending();
            continue;
        }
        if (!Scanned(relative)) continue;
        ++files;
        std::ifstream in(it->path());
        std::string line;
        for (int n = 1; std::getline(in, line); ++n) {
            const std::string code = Code(line);
            for (const Rule& r : Rules()) {
                if (std::regex_search(code, r.pattern))
                    ADD_FAILURE() << relative.string() << ":" << n << ": " << r.what << ": "
                                  << line;
            }
        }
    }
    EXPECT_GT(files, 100);
}

// The rules themselves: what they catch and what they leave.
TEST(LocaleFreeNumbers, TheRulesCatchWhatFollowsTheLocale) {
    auto caught = [](const std::string& code) {
        for (const Rule& r : Rules()) {
            if (std::regex_search(code, r.pattern)) return true;
        }
        return false;
    };
    for (const char* code :
         {"x = std::strtod(s, nullptr);", "n = atoi(p);", "std::stoi(t)",
          "std::sscanf(s, \"%d\", &n);", "printf(\"%.1f s\", t);", "Format(\"%5.2lf\", v)",
          "printf(\"%'d\", n)", "out << std::fixed;", "v = std::stoul(h, nullptr, 16);"})
        EXPECT_TRUE(caught(code)) << code;
    for (const char* code :
         {"printf(\"%d %04X %s %zu\", a, b, c, d);", "ReadInteger(text)", "LeadingInteger(s)",
          "\"%%3d.%%%02dd\"", "auto fs = x;", "Format(\"line %d: %s\", n, s)",
          "QString(\"more than %1 files at once\").arg(n)"})
        EXPECT_FALSE(caught(code)) << code;
}

}  // namespace
}  // namespace parlo
