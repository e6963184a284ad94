// File > Compare with...: what differs between the document and a file.
#include <filesystem>

#include "app/FileMessages.h"
#include "app/MainController.h"
#include "clone/CloneFileOps.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

// Lines of GI_Compare_Window.
constexpr int kTitleLine = 0;
constexpr int kComparingLine = 6;

}  // namespace

void MainController::CompareDialog() {
    Events().Send(ev::kFinishEdits);
    const auto path = view_.ChooseOpenPath(currentDirectory_, OvlText("GI_Sys_Dialog_FOpen", 0),
                                           OvlText("GI_Sys_Dialog_FOpen", 1),
                                           OvlText("GI_Sys_Dialog_Titles", kTitleCompare));
    if (path) CompareWith(*path);
}

std::optional<ImageDifferences> MainController::CompareWith(const std::string& path) {
    EepromImage loaded;
    if (ShowFileOutcome(OpenCloneFile(path, doc_.Working(), &loaded)) != kFileOk)
        return std::nullopt;
    // The document as a save would write it, against the file as it is.
    EepromImage document;
    document.Assign(doc_.Working());
    doc_.PrepareImage(document, PackMode::Save);
    // The comparison works on copies, so that a cancel leaves everything as
    // it was.
    ImageComparison comparison(document, loaded, doc_.Modes().maker);
    const std::string name = std::filesystem::path(path).filename().string();
    auto line = [&](int n) {
        std::string text = OvlText("GI_Compare_Window", n);
        if (const size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, name);
        return text;
    };
    if (!view_.RunInSteps(
            line(kTitleLine), line(kComparingLine), [&] { return comparison.Step(); },
            [&] { return comparison.Progress(); }))
        return std::nullopt;
    ImageDifferences differences = comparison.Result();
    view_.ShowDifferences(path, differences);
    return differences;
}

void MainController::GoToDifference(const CellDifference& difference) {
    GoToSheet(difference.action);
    if (Sheet* sheet = CurrentSheet(); sheet != nullptr && SheetAction() == difference.action)
        sheet->SelectSlot(difference.col, difference.row);
}

}  // namespace parlo
