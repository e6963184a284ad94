#pragma once
// A main window that records what the controller shows and answers its
// dialogs from fields the test sets.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MainView.h"
#include "sheet/FixedMetricsCanvas.h"

namespace parlo::test {

class RecordingMainView : public MainView {
public:
    std::optional<std::string> ChooseOpenPath(const std::string&, const std::string&,
                                              const std::string&, const std::string&) override {
        return openPath;
    }
    std::optional<std::string> ChooseSavePath(const std::string&, const std::string&,
                                              const std::string&, const std::string& filter,
                                              const std::string&, int* chosen) override {
        ++saveDialogs;
        saveFilters = filter;
        if (chosen != nullptr) *chosen = saveFilter;
        return savePath;
    }
    void SetTitle(const std::string& t) override { title = t; }
    void SetStatus(const std::string& text, uint32_t, uint32_t) override {
        statuses.push_back(text);
    }
    void ShowSheet(Sheet* s) override { sheet = s; }
    void TreeChanged(TreeModel&) override { ++treeChanges; }
    Canvas& MeasureCanvas() override { return canvas; }
    void CloseWindow() override { closed = true; }
    std::optional<int> ChoosePort(int) override { return std::nullopt; }
    void OpenHelp(const std::string& f, int c) override { help = {f, c}; }
    void SetMakerPanel(const std::string& t) override { makerPanel = t; }
    void ShowCompareList(const std::string& lines) override { compare = lines; }

    std::optional<std::string> openPath, savePath;
    int saveDialogs = 0;
    int saveFilter = 0;       // the type the save dialog answers with
    std::string saveFilters;  // the type list it was given
    std::string title, makerPanel, compare;
    std::vector<std::string> statuses;
    Sheet* sheet = nullptr;
    int treeChanges = 0;
    bool closed = false;
    std::pair<std::string, int> help;
    FixedMetricsCanvas canvas;
};

}  // namespace parlo::test
