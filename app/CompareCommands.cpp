// File > Compare with...: what differs between the document and a file.
#include "app/FileMessages.h"
#include "app/MainController.h"
#include "clone/CloneFileOps.h"
#include "overlay/OverlayText.h"

namespace parlo {

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
    ImageDifferences differences = CompareImages(document, loaded, doc_.Modes().maker);
    view_.ShowDifferences(path, differences);
    return differences;
}

void MainController::GoToDifference(const CellDifference& difference) {
    GoToSheet(difference.action);
    if (Sheet* sheet = CurrentSheet(); sheet != nullptr && SheetAction() == difference.action)
        sheet->SelectSlot(difference.col, difference.row);
}

}  // namespace parlo
