#pragma once
// The main window: menu bar, tool bar, navigation tree, sheet area and
// status bar around the application's controller.
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrinter>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <memory>
#include <vector>

#include "app/MainController.h"
#include "app/MainView.h"
#include "gui/DifferencesWindow.h"
#include "gui/HelpWindow.h"
#include "gui/QtClipboard.h"
#include "platform/qtgui/QtCanvas.h"

namespace parlo::qt {

class CloneProgressWindow;
class StepProgressWindow;
class DebugLogWindow;
class MenuBuilder;
class PortMenu;
class PrintingDialog;
class NavigationTree;
class SheetHeading;
class SheetWidget;

class MainWindow : public QMainWindow, public MainView {
    Q_OBJECT
public:
    MainWindow(AppSettings& env, int argc, char** argv, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainController& Controller() { return *controller_; }
    SheetWidget* Sheets() const { return sheetWidget_; }
    NavigationTree* TreeView() const { return treeView_; }

    // MainView.
    std::optional<std::string> ChooseOpenPath(const std::string& folder,
                                              const std::string& extension,
                                              const std::string& filter,
                                              const std::string& title) override;
    std::optional<std::string> ChooseSavePath(const std::string& folder, const std::string& name,
                                              const std::string& extension,
                                              const std::string& filter,
                                              const std::string& title,
                                              int* chosenFilter = nullptr) override;
    void SetTitle(const std::string& title) override;
    void SetStatus(const std::string& text, uint32_t textColour, uint32_t background) override;
    void ShowCommandResult(const std::string& text) override;
    void ShowPortStatus(const std::string& text) override;
    void ShowSheet(Sheet* sheet) override;
    void TreeChanged(TreeModel& tree) override;
    Canvas& MeasureCanvas() override { return measure_; }
    void CloseWindow() override { close(); }
    void ShowAbout() override;
    std::optional<int> ChoosePort(int current) override;
    void OpenHelp(const std::string& file, int context) override;
    void SetToolBarVisible(bool visible) override;
    void SetMakerPanel(const std::string& text) override;
    void ShowCompareList(const std::string& lines) override;
    bool RunInSteps(const std::string& title, const std::string& text,
                    const std::function<bool()>& step,
                    const std::function<double()>& done) override;
    void ShowDifferences(const std::string& file, const ImageDifferences& differences) override;
    CloneProgressView* CloneProgress() override;
    void OpenEepromWindow() override;
    void OpenDebugWindow() override;
    void Print(bool allSheets) override;
    // Prints the current sheet, or every sheet of the tree, on `printer` at
    // once; returns the pages printed. `cancelled` is asked before every page.
    int PrintTo(QPrinter& printer, bool allSheets, const std::function<bool()>& cancelled);
    // Starts printing on `printer` in steps of the main task, with the
    // printing dialog (what Print does after the printer set-up dialog).
    PrintingDialog* StartPrinting(std::unique_ptr<QPrinter> printer, bool allSheets);
    void ShowCloneInformation() override;

    // Opens `path` as File > Open does, once no dialog is open (a file from
    // the command line, or handed over by a second start).
    void OpenWhenIdle(const QString& path);
    HelpWindow* Help() const { return help_; }
    DifferencesWindow* Differences() const { return differences_; }
    // The progress window of the work running in steps, while it runs.
    StepProgressWindow* StepProgress() const { return stepProgress_; }
    QSplitter* Splitter() const { return splitter_; }
    // The devices the Port menu lists.
    PortMenu* PortDevices() const { return portMenu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EventManager& Events() { return controller_->Events(); }
    void OnEvent(const EventRecord& event);
    void BuildMenus();
    void BuildToolBar();
    void RunItem(const CellDesc& item);
    void RefreshToolBar();
    void RefreshMenus();
    void FillEditMenu(QMenu* menu);
    void PlaceWindow();
    void PlaceSplitter();
    void WidenTreeToFit();
    void OpenPending();
    std::vector<std::pair<std::string, std::string>> NodesToPrint(bool allSheets);

    AppSettings& env_;
    MeasuringCanvas measure_;
    QtClipboard clipboard_;
    QSplitter* splitter_ = nullptr;
    bool splitterMoved_ = false;
    const TreeModel* fittedTree_ = nullptr;  // the tree the panel was last fitted to
    NavigationTree* treeView_ = nullptr;
    SheetHeading* heading_ = nullptr;
    SheetWidget* sheetWidget_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* makerPanel_ = nullptr;
    QLabel* portPanel_ = nullptr;
    QPointer<HelpWindow> help_;
    QStringList pendingOpens_;
    QToolBar* toolBar_ = nullptr;
    std::unique_ptr<MenuBuilder> menu_;
    std::unique_ptr<MenuBuilder> editMenu_;  // owns the Edit menu's descriptors
    QMenu* editMenuWidget_ = nullptr;
    int editOwnItems_ = 0;  // the Edit menu's items before the popup commands
    bool editMenuQueued_ = false;  // a filling of the Edit menu is on its way
    CellDesc toolBarBasic_;
    std::vector<std::unique_ptr<CellDesc>> toolBarItems_;
    QTimer mainTask_;
    EventSubscription events_;
    // The "Cloning" window, made when the first operation starts: what the
    // clone manager talks to until then stands in for it.
    class CloneProgressForwarder : public CloneProgressView {
    public:
        explicit CloneProgressForwarder(MainWindow& owner) : owner_(owner) {}
        void BeginOperation(bool showProgress) override;
        void UpdateProgress(const parlo::CloneProgress& progress) override;
        void EndOperation() override;

    private:
        MainWindow& owner_;
    };
    CloneProgressWindow* CloneWindow();
    CloneProgressWindow* cloneProgress_ = nullptr;
    CloneProgressForwarder cloneForwarder_{*this};
    StepProgressWindow* stepProgress_ = nullptr;
    QPointer<DebugLogWindow> debugLog_;        // the free debug window, while open
    QPointer<PrintingDialog> printing_;        // the print job, while it runs
    PortMenu* portMenu_ = nullptr;             // owned by its menu
    QPointer<DifferencesWindow> differences_;  // the last comparison, while open
    std::unique_ptr<MainController> controller_;
};

}  // namespace parlo::qt
