// File > Compare with...: what differs between the document and a file.
#include <filesystem>

#include "app/FileMessages.h"
#include "app/MainController.h"
#include "clone/CloneFileOps.h"
#include "overlay/OverlayText.h"

namespace parlo {

namespace {

constexpr int kComparingLine = 6;  // of GI_Compare_Window

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
    std::string title = OvlText("GI_Compare_Window", kComparingLine);
    if (const size_t at = title.find("%1"); at != std::string::npos) title.replace(at, 2, name);
    if (!view_.RunInSteps(
            title, [&] { return comparison.Step(); }, [&] { return comparison.Progress(); }))
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
