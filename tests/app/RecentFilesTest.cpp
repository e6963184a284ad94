// The recent-file list: move-to-front without regard to case, capacity,
// and the short names of entries in the current folder.
#include <gtest/gtest.h>

#include "app/RecentFiles.h"

namespace parlo {
namespace {

std::vector<std::string> All(RecentFiles& r) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < r.Count(); ++i) out.push_back(r.Entry(i, ""));
    return out;
}

using List = std::vector<std::string>;

TEST(RecentFilesTest, AddingAPresentPathInAnyCaseMovesItToTheFront) {
    RecentFiles r;
    r.AddFront("/radios/a.icf");
    r.AddFront("/radios/b.icf");
    r.AddFront("/radios/c.icf");
    r.AddFront("/RADIOS/A.ICF");
    EXPECT_EQ(All(r), (List{"/RADIOS/A.ICF", "/radios/c.icf", "/radios/b.icf"}));
    r.AddBack("/Radios/C.icf");
    EXPECT_EQ(All(r), (List{"/RADIOS/A.ICF", "/radios/b.icf", "/Radios/C.icf"}));
}

TEST(RecentFilesTest, KeepsTheCapacity) {
    RecentFiles r;
    for (int i = 0; i < 12; ++i) r.AddFront("/f" + std::to_string(i));
    EXPECT_EQ(r.Count(), 10);
    EXPECT_EQ(r.Entry(0, ""), "/f11");
    EXPECT_EQ(r.Entry(9, ""), "/f2");
    EXPECT_EQ(r.Entry(10, ""), "");
    EXPECT_EQ(r.Entry(-1, ""), "");
    r.AddBack("/late");  // appended past the capacity, so dropped again
    EXPECT_EQ(r.Count(), 10);
    EXPECT_EQ(r.Entry(9, ""), "/f2");
    r.Clear();
    EXPECT_EQ(r.Count(), 0);
}

TEST(RecentFilesTest, EntriesInTheGivenFolderAreShortened) {
    RecentFiles r;
    r.AddBack("/home/dealer/Radios/site.icf");
    r.AddBack("/home/dealer/other.icf");
    r.AddBack("loose.icf");
    r.AddBack("/root.icf");
    struct Case {
        const char* folder;
        List expected;
    };
    const Case cases[] = {
        {"/home/dealer/radios/", {"site.icf", "/home/dealer/other.icf", "loose.icf", "/root.icf"}},
        {"/home/dealer/radios", {"site.icf", "/home/dealer/other.icf", "loose.icf", "/root.icf"}},
        {"/home/dealer", {"/home/dealer/Radios/site.icf", "other.icf", "loose.icf", "/root.icf"}},
        // Saving passes no folder: full paths, and a file in the root keeps
        // its folder.
        {"", {"/home/dealer/Radios/site.icf", "/home/dealer/other.icf", "loose.icf", "/root.icf"}},
        {"/", {"/home/dealer/Radios/site.icf", "/home/dealer/other.icf", "loose.icf", "root.icf"}},
    };
    for (const Case& c : cases) {
        List got;
        for (int32_t i = 0; i < r.Count(); ++i) got.push_back(r.Entry(i, c.folder));
        EXPECT_EQ(got, c.expected) << c.folder;
    }
}

}  // namespace
}  // namespace parlo
