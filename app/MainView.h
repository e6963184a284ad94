#pragma once
// What the main controller asks of the main window: file dialogs, showing
// the sheet and the tree, the title and status line, and the small windows
// of the commands. The Qt main window implements it; tests record it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/ImageComparison.h"

namespace parlo {

class Canvas;
class CloneProgressView;
class Sheet;
class TreeModel;

class MainView {
public:
    virtual ~MainView() = default;

    // File dialogs: the chosen path, or nothing when cancelled. An empty
    // title leaves the dialog's own ("Open", "Save As"). A save dialog whose
    // type list names formats tells which type was chosen (from 0).
    virtual std::optional<std::string> ChooseOpenPath(const std::string& folder,
                                                      const std::string& extension,
                                                      const std::string& filter,
                                                      const std::string& title) = 0;
    virtual std::optional<std::string> ChooseSavePath(const std::string& folder,
                                                      const std::string& name,
                                                      const std::string& extension,
                                                      const std::string& filter,
                                                      const std::string& title,
                                                      int* chosenFilter = nullptr) = 0;

    virtual void SetTitle(const std::string& title) = 0;
    virtual void SetStatus(const std::string& /*text*/, uint32_t /*textColour*/,
                           uint32_t /*background*/) {}
    // What the last command did ("Saved ..."), until the next key or move
    // on a sheet empties the status text.
    virtual void ShowCommandResult(const std::string& /*text*/) {}
    // The serial port and speed the clone commands use.
    virtual void ShowPortStatus(const std::string& /*text*/) {}
    // The sheet to show (nullptr: none); the controller owns it.
    virtual void ShowSheet(Sheet* sheet) = 0;
    // The tree was built anew, or its captions, icons or marks changed.
    virtual void TreeChanged(TreeModel& tree) = 0;
    // The canvas sheets are laid out with.
    virtual Canvas& MeasureCanvas() = 0;

    virtual void CloseWindow() = 0;
    virtual void ShowAbout() {}
    virtual std::optional<int> ChoosePort(int current) = 0;
    virtual void OpenHelp(const std::string& file, int context) = 0;
    virtual void SetToolBarVisible(bool /*visible*/) {}
    virtual void SetMakerPanel(const std::string& /*text*/) {}
    virtual void Print(bool /*allSheets*/) {}
    virtual void ShowCompareList(const std::string& /*lines*/) {}
    // Runs `step` until it answers false, a few milliseconds each time; the
    // window stays live between steps, and a small window titled `title`
    // says `text` and how much is done (`done`, 0 to 1), with a Cancel
    // button. False when the user cancelled.
    virtual bool RunInSteps(const std::string& /*title*/, const std::string& /*text*/,
                            const std::function<bool()>& step,
                            const std::function<double()>& /*done*/) {
        while (step()) {
        }
        return true;
    }
    // The differences between the document (A) and a file (B).
    virtual void ShowDifferences(const std::string& /*file*/,
                                 const ImageDifferences& /*differences*/) {}
    virtual void OpenEepromWindow() {}
    virtual void OpenDebugWindow() {}
    // The "Cloning" window; nullptr shows no progress.
    virtual CloneProgressView* CloneProgress() { return nullptr; }
    // The clone information window for the identity just read.
    virtual void ShowCloneInformation() {}
};

}  // namespace parlo
