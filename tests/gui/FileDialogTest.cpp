// The File menu as a user meets it: the Open and Save dialogs list the clone
// files by the shipped overlay's type line, and a save that fails says that
// the file could not be saved, and why.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <csignal>
#include <filesystem>
#include <set>

#include "cells/CellNames.h"
#include "gui/FileFilters.h"
#include "model/ModelVariant.h"
#include "overlay/OverlayText.h"
#include "tests/gui/MainWindowFixture.h"

namespace parlo {
namespace {

namespace fs = std::filesystem;

using FileDialogTest = test::MainWindowFixture;

TEST(FileFilters, OverlayPairsBecomeQtEntries) {
    const struct {
        const char* line;
        QStringList filters;
    } cases[] = {
        {"Clone files (*.icf)|*.icf|All files (*)|*", {"Clone files (*.icf)", "All files (*)"}},
        // The pair's own pattern filters, whatever the description shows.
        {"Clone files|*.icf", {"Clone files (*.icf)"}},
        {"Clone files (icf)|*.icf", {"Clone files (*.icf)"}},
        {"Clone files|*.icf;*.ICF", {"Clone files (*.icf *.ICF)"}},
        {"|*.icf", {"*.icf (*.icf)"}},
        // Already in Qt's form, or nothing at all.
        {"Clone files (*.icf);;All files (*)", {"Clone files (*.icf)", "All files (*)"}},
        {"", {"All files (*)"}},
        // A description without its pattern is dropped.
        {"Clone files (*.icf)|*.icf|Dangling", {"Clone files (*.icf)"}},
    };
    for (const auto& c : cases) EXPECT_EQ(qt::NameFiltersFromOverlay(c.line), c.filters) << c.line;
}

// The names a file dialog lists in its folder, once it has read it.
std::set<QString> ListedNames(QFileDialog* dialog, size_t expected) {
    std::set<QString> names;
    auto* view = dialog->findChild<QAbstractItemView*>("listView");
    if (view == nullptr) return names;
    test::WaitUntil([&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int r = 0; r < view->model()->rowCount(root); ++r)
            names.insert(view->model()->index(r, 0, root).data().toString());
        return names.size() >= expected;
    });
    return names;
}

TEST_F(FileDialogTest, OpenAndSaveListTheCloneFilesOfAFolder) {
    test::TempDir dir;
    const std::set<QString> clones = {"MV7105C_DPMR446.icf", "MV7105C_LMR.icf", "MV7105C_PMR.icf",
                                      "MV7105C_PMRT.icf",    "base.icf",        "spare.icf"};
    for (const QString& name : clones) {
        const std::string shipped =
            name.startsWith("MV7105C") ? name.toStdString() : "MV7105C_PMR.icf";
        fs::copy_file(test::DataFile(shipped), dir.file(name.toStdString()));
    }
    test::WriteFile(dir.file("notes.txt"), "not a clone file\n");
    env.Defaults();
    env.SetCurrentDirectory(dir.path().string());
    env.SetModelType(kVariantPmr);
    Start();

    for (const int command : {CL_Menu_File_Open, CL_Menu_File_SaveAs}) {
        WithModal([&] { window->Controller().RunCommand(command, 0, CellContext{}); },
                  [&](QWidget* modal) {
                      auto* dialog = qobject_cast<QFileDialog*>(modal);
                      ASSERT_NE(dialog, nullptr);
                      EXPECT_EQ(dialog->nameFilters(),
                                QStringList({"Clone files (*.icf)", "All files (*)"}));
                      EXPECT_EQ(dialog->selectedNameFilter(), "Clone files (*.icf)");
                      EXPECT_EQ(dialog->defaultSuffix(), "icf");
                      EXPECT_EQ(ListedNames(dialog, clones.size()), clones) << command;
                      dialog->reject();
                  });
    }
}

TEST_F(FileDialogTest, ASaveAsThatFailsSaysTheFileCouldNotBeSavedAndWhy) {
    test::TempDir dir;
    Open(kVariantPmr);
    const std::string target = dir.file("missing/radio.icf");
    WithModal([&] { window->Controller().RunCommand(CL_Menu_File_SaveAs, 0, CellContext{}); },
              [&](QWidget* modal) {
                  auto* dialog = qobject_cast<QFileDialog*>(modal);
                  ASSERT_NE(dialog, nullptr);
                  auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
                  ASSERT_NE(name, nullptr);
                  name->setText(QString::fromStdString(target));
                  static_cast<QDialog*>(dialog)->accept();  // as the Save button does
              });
    ASSERT_EQ(prompts.shown.size(), 1u);
    const std::string& text = prompts.shown[0].text;
    EXPECT_EQ(text, "The clone file '" + target +
                        "' could not be saved.\n\nThe file cannot be created or opened for writing. "
                        "Check that its folder exists and that you are allowed to write there.\n"
                        "Its folder does not exist.");
    EXPECT_TRUE(window->Controller().Doc().FileName().empty());
    EXPECT_FALSE(fs::exists(target));
}

// Each failure the system reports names its own reason; the file error's
// text serves where the system gave none.
TEST_F(FileDialogTest, SaveFailuresNameTheirReason) {
    test::TempDir dir;
    Open(kVariantLmr);
    fs::create_directory(dir.file("folder.icf"));
    test::WriteFile(dir.file("plain.icf"), "x\n");
    const struct {
        const char* name;
        std::string path;
        const char* reason;
    } cases[] = {
        {"missing folder", dir.file("none/x.icf"), "Its folder does not exist."},
        {"a folder's name", dir.file("folder.icf"), "It is a folder."},
        {"a file for a folder", dir.file("plain.icf/x.icf"), "Its folder does not exist."},
    };
    for (const auto& c : cases) {
        prompts.shown.clear();
        EXPECT_FALSE(window->Controller().Save(c.path)) << c.name;
        ASSERT_EQ(prompts.shown.size(), 1u) << c.name;
        EXPECT_EQ(
            prompts.shown[0].text.rfind("The clone file '" + c.path + "' could not be saved.", 0),
            0u)
            << prompts.shown[0].text;
        EXPECT_NE(prompts.shown[0].text.find(c.reason), std::string::npos)
            << c.name << ": " << prompts.shown[0].text;
    }

    // A file-size limit stops the write part-way, as a full disk would.
    prompts.shown.clear();
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved = window->Controller().Save(dir.file("big.icf"));
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(saved);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(prompts.shown[0].text.find("The file is larger than this process may write."),
              std::string::npos)
        << prompts.shown[0].text;
}

}  // namespace
}  // namespace parlo
