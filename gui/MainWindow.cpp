#include "gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/PortChoices.h"
#include "gui/CloneProgressWindow.h"
#include "gui/DebugLogWindow.h"
#include "gui/DifferencesWindow.h"
#include "gui/StepProgressWindow.h"
#include "gui/EepromWindow.h"
#include "gui/FileFilters.h"
#include "gui/HandOver.h"
#include "gui/FocusCycle.h"
#include "gui/HelpWindow.h"
#include "gui/Icons.h"
#include "gui/MenuBuilder.h"
#include "gui/NavigationTree.h"
#include "gui/PortMenu.h"
#include "gui/PrintTarget.h"
#include "gui/PrintReport.h"
#include "gui/PrintingDialog.h"
#include "gui/QtPrinterPage.h"
#include "gui/SheetHeading.h"
#include "gui/SheetWidget.h"
#include "gui/WindowFit.h"
#include "overlay/ColourTable.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/NumberText.h"
#include "platform/ProgramInfo.h"
#include "platform/Prompts.h"
#include "runtime/EventCodes.h"
#include "sheet/PrintJob.h"
#include "sheet/SheetFactory.h"

namespace parlo::qt {

namespace {

constexpr int kMainTaskMs = 50;

QString Text(const std::string& key, int index = 0) {
    return QString::fromStdString(OvlText(key, index));
}

// The About box: also the place where the hidden-mode words are typed.
class AboutBox : public QDialog {
public:
    AboutBox(QWidget* parent, MainController& main) : QDialog(parent), main_(main) {
        setWindowTitle(Text("GI_App_About_Caption"));
        auto* layout = new QHBoxLayout(this);
        auto* icon = new QLabel(this);
        icon->setPixmap(AppIcon().pixmap(32, 32));
        layout->addWidget(icon, 0, Qt::AlignTop);
        auto* text =
            new QLabel(QString("%1\nVersion %2\n\nProgramming software for the MV7105C family of "
                               "two-way radios.")
                           .arg(Text("GI_Sys_AppTitle"), QApplication::applicationVersion()),
                       this);
        layout->addWidget(text);
        auto* ok = new QPushButton(Text("GI_App_About_Button"), this);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        layout->addWidget(ok, 0, Qt::AlignTop);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        for (const QChar c : event->text()) {
            if (c.isLetter()) main_.TypedCharacter(static_cast<char>(c.toLatin1()));
        }
        QDialog::keyPressEvent(event);
    }

private:
    MainController& main_;
};

}  // namespace

MainWindow::MainWindow(AppSettings& env, int argc, char** argv, QWidget* parent)
    : QMainWindow(parent), env_(env) {
    setWindowIcon(AppIcon());
    setMinimumSize(400, 200);

    splitter_ = new QSplitter(Qt::Horizontal, this);
    treeView_ = new NavigationTree(splitter_);
    auto* sheetPanel = new QWidget(splitter_);
    auto* sheetLayout = new QVBoxLayout(sheetPanel);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    sheetLayout->setSpacing(0);
    heading_ = new SheetHeading(sheetPanel);
    sheetLayout->addWidget(heading_);
    setCentralWidget(splitter_);
    // A larger window widens the sheet; the tree keeps its width.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setChildrenCollapsible(false);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { splitterMoved_ = true; });

    status_ = new QLabel(this);
    status_->setAutoFillBackground(true);
    statusBar()->addWidget(status_, 1);
    makerPanel_ = new QLabel(this);
    makerPanel_->hide();
    statusBar()->addPermanentWidget(makerPanel_);
    portPanel_ = new QLabel(this);
    portPanel_->setContentsMargins(8, 0, 8, 0);
    statusBar()->addPermanentWidget(portPanel_);

    controller_ = std::make_unique<MainController>(env_, *this);
    controller_->SetSystemClipboard(&clipboard_);
    sheetWidget_ = new SheetWidget(controller_->Cells(), sheetPanel);
    sheetLayout->addWidget(sheetWidget_, 1);
    // The Edit menu's items carry the current cell's shortcuts (Ctrl+C,
    // Del, ...), which work only while the items are in the menu. Queued:
    // the move may come from one of those items while it runs.
    // A page switch moves it twice (away and onto the new page): filled once.
    connect(sheetWidget_, &SheetWidget::CurrentCellMoved, this, [this] {
        if (editMenuQueued_) return;
        editMenuQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                editMenuQueued_ = false;
                if (editMenuWidget_ != nullptr && !editMenuWidget_->isVisible())
                    FillEditMenu(editMenuWidget_);
            },
            Qt::QueuedConnection);
    });
    connect(sheetWidget_, &SheetWidget::TitleTextChanged, this,
            [this](const QString& text, const QColor&, const QFont& font) {
                const Sheet* sheet = sheetWidget_->CurrentSheet();
                heading_->setFont(font);
                heading_->Show(text, sheet != nullptr ? sheet->TitleColour() : kClGrayText);
            });
    treeView_->SetChangeDelay(std::max(0, LeadingInteger(OvlText("GI_Sys_TreeChangeDelay"))));
    treeView_->onSelected = [this](TreeNode* node) { controller_->SelectNode(node); };
    treeView_->onExpandedChanged = [this] { controller_->CheckWarnings(); };
    new FocusCycle(this, [this] {
        return std::vector<QWidget*>{treeView_, sheetWidget_,
                                     differences_ ? differences_->List() : nullptr,
                                     debugLog_ ? debugLog_->Log() : nullptr};
    });
    // F1 on the sheet or the tree: the manual at the sheet's topic.
    sheetWidget_->installEventFilter(this);
    treeView_->installEventFilter(this);
    // A new window starts in the tree, where the first page is chosen,
    // however late the window manager activates it.
    treeView_->setFocus();

    BuildMenus();
    BuildToolBar();
    events_ = Events().Subscribe([this](const EventRecord& event) { OnEvent(event); });
    PlaceWindow();
    controller_->Start(argc, argv);
    PlaceSplitter();
    Events().Send(ev::kPortChanged);
    RefreshMenus();
    // A file named on the command line opens once the window is up.
    const std::vector<std::string> files = MainController::FileArguments(argc, argv);
    if (!files.empty()) OpenWhenIdle(QString::fromStdString(files.front()));

    connect(&mainTask_, &QTimer::timeout, this, [this] { controller_->Tick(); });
    mainTask_.start(kMainTaskMs);
    // The first page is there when the window first paints.
    QTimer::singleShot(0, this, [this] { controller_->Tick(); });
}

MainWindow::~MainWindow() {
    mainTask_.stop();
    events_.Cancel();
    sheetWidget_->SetSheet(nullptr);
    // The windows opened from this one (editors, service and log windows,
    // dialogs) work on the controller's document and bus: they go first.
    std::vector<QPointer<QWidget>> windows;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w->isWindow()) windows.emplace_back(w);
    }
    for (const QPointer<QWidget>& w : windows) delete w.data();  // null if gone with its parent
    controller_.reset();
    delete cloneProgress_;  // a window of its own, not a child
}

void MainWindow::PlaceWindow() {
    // The stored place and size, fitted to the screen as it is now; once
    // the window manager has framed the window, the frame fits too.
    FitToScreen(this, QRect(env_.Left(), env_.Top(), env_.Width(), env_.Height()));
    FitAgainWhenFramed(this);
}

// The tree panel as stored. The default width also fits the longest
// caption of the tree, as far as a third of the window allows; a width the
// user chose is kept as it is.
void MainWindow::PlaceSplitter() {
    // The sheet keeps a part of the window, whatever was stored.
    const int tree = std::clamp(env_.SplitterV(), 8, std::max(8, width() - 100));
    splitter_->setSizes({tree, std::max(100, width() - tree)});
    WidenTreeToFit();
}

// A tree of another variant may need more room: the default panel grows to
// it, unless the user has moved the splitter.
void MainWindow::WidenTreeToFit() {
    if (splitterMoved_ || env_.SplitterV() != AppSettings::kDefaultSplitterV) return;
    const QList<int> sizes = splitter_->sizes();
    const int wanted = std::min(treeView_->FittingWidth(), width() / 3);
    if (sizes.size() == 2 && wanted > sizes[0])
        splitter_->setSizes({wanted, std::max(100, sizes[0] + sizes[1] - wanted)});
}

// ---- Menus and tool bar ---------------------------------------------------------------

void MainWindow::RunItem(const CellDesc& item) {
    controller_->Cells().HandleKey(item, 13);
    RefreshToolBar();
}

void MainWindow::BuildMenus() {
    menu_ = std::make_unique<MenuBuilder>("GI_Menu_Main");
    menu_->FillMenuBar(menuBar(), [this](const CellDesc& item) { RunItem(item); });
    const auto& tops = menu_->Items().Root().children;
    const QList<QAction*> actions = menuBar()->actions();
    for (int i = 0; i < actions.size() && i < static_cast<int>(tops.size()); ++i) {
        QMenu* menu = actions[i]->menu();
        if (menu == nullptr) continue;
        if (tops[static_cast<size_t>(i)]->desc.cell == CL_Menu_Edit_Top) {
            editMenuWidget_ = menu;
            // Its own items (undo, redo) come before the popup commands.
            for (QAction* a : menu->actions()) {
                if (DescOf(a) != nullptr && DescOf(a)->category == CT_PopupMenu) break;
                ++editOwnItems_;
            }
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillEditMenu(menu); });
        } else {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] {
                Events().Send(ev::kFinishEdits);
                MenuBuilder::RefreshStates(menu, controller_->Cells());
            });
        }
        for (QAction* a : menu->actions()) {
            if (DescOf(a) != nullptr && DescOf(a)->cell == CL_Menu_Port_Usb)
                portMenu_ = new PortMenu(menu, a, *controller_, env_);
        }
    }
}

// The Edit menu shows undo and redo, then mirrors the popup menu of the
// current cell.
void MainWindow::FillEditMenu(QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (int i = editOwnItems_; i < actions.size(); ++i) {
        menu->removeAction(actions[i]);
        delete actions[i];
    }
    Sheet* sheet = controller_->CurrentSheet();
    const CellDesc* current = sheet != nullptr ? &sheet->Cell(sheet->Col(), sheet->Row()) : nullptr;
    std::string key = "GI_PMenu_NoItem";
    if (current != nullptr) {
        if (auto own = current->EffectivePopupMenu(); own && !own->empty()) key = *own;
    }
    editMenu_ = std::make_unique<MenuBuilder>(key);
    editMenu_->FillMenu(menu, [this](const CellDesc& item) {
        if (Sheet* s = controller_->CurrentSheet()) s->ChooseMenuItem(item);
        sheetWidget_->viewport()->update();
    });
    MenuBuilder::RefreshStates(menu, controller_->Cells(), current);
}

// Each line of the tool bar body is one button: its image, its hint, and
// the command cell it runs; "-" is a gap, "/" would start a second row.
void MainWindow::BuildToolBar() {
    toolBar_ = addToolBar(QString());
    toolBar_->setMovable(false);
    CellParser parser(MainOverlay());
    Counters counters{};
    parser.ParseCell(OvlText("GI_ToolBar_Main_BasicCell"), toolBarBasic_, nullptr, counters);
    for (const std::string& line : OvlLines("GI_ToolBar_Main_Body")) {
        auto desc = std::make_unique<CellDesc>();
        parser.ParseCell(line, *desc, &toolBarBasic_, counters);
        const std::string text = desc->Text();
        if (text == "-") {
            toolBar_->addSeparator();
            continue;
        }
        if (text == "/") continue;
        QAction* action =
            toolBar_->addAction(ToolBarIcon(desc->imageIndex), QString::fromStdString(text));
        action->setToolTip(QString::fromStdString(text));
        const CellDesc* item = desc.get();
        SetDescOf(action, desc.get());
        connect(action, &QAction::triggered, this, [this, item] { RunItem(*item); });
        toolBarItems_.push_back(std::move(desc));
    }
    RefreshToolBar();
}

void MainWindow::RefreshToolBar() {
    if (toolBar_ == nullptr || controller_ == nullptr) return;
    for (QAction* action : toolBar_->actions()) {
        const CellDesc* desc = DescOf(action);
        if (desc == nullptr || !desc->Bound()) continue;
        CellContext ctx;
        ctx.desc = desc;
        controller_->Cells().Handle(ctx, kModeDraw);
        action->setCheckable(ctx.checked);
        action->setChecked(ctx.checked);
        action->setEnabled(!ctx.disabled);
    }
}

// Item states, and top-level menus shown only when they have an item to
// show (the debug menu outside maker mode has none).
void MainWindow::RefreshMenus() {
    if (editMenuWidget_ != nullptr) {
        // Undo and redo keep their shortcuts only while enabled.
        const QList<QAction*> own = editMenuWidget_->actions();
        for (int i = 0; i < editOwnItems_ && i < own.size(); ++i)
            MenuBuilder::RefreshState(own[i], controller_->Cells());
    }
    for (QAction* top : menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (menu == nullptr || menu == editMenuWidget_) continue;
        MenuBuilder::RefreshStates(menu, controller_->Cells());
        bool any = false;
        for (QAction* a : menu->actions()) any |= a->isVisible() && !a->isSeparator();
        top->setVisible(any);
    }
}

void MainWindow::OnEvent(const EventRecord& event) {
    if (event.Is(ev::kMenuState) || event.Is(ev::kToolBarState)) RefreshToolBar();
    if (event.Is(ev::kMenuState) || event.Is(ev::kPortChanged) || event.Is(ev::kDocumentChanged))
        RefreshMenus();
    if (event.Is(ev::kFinishEdits)) sheetWidget_->FinishEdit();
}

// ---- MainView ------------------------------------------------------------------------------

namespace {

std::optional<std::string> RunFileDialog(QFileDialog& dialog, const std::string& extension,
                                         const std::string& filter) {
    dialog.setNameFilters(NameFiltersFromOverlay(filter));
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::optional<std::string> MainWindow::ChooseOpenPath(const std::string& folder,
                                                      const std::string& extension,
                                                      const std::string& filter,
                                                      const std::string& title) {
    QFileDialog dialog(this, QString::fromStdString(title), QString::fromStdString(folder));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    return RunFileDialog(dialog, extension, filter);
}

std::optional<std::string> MainWindow::ChooseSavePath(const std::string& folder,
                                                      const std::string& name,
                                                      const std::string& extension,
                                                      const std::string& filter,
                                                      const std::string& title,
                                                      int* chosenFilter) {
    QFileDialog dialog(this, QString::fromStdString(title), QString::fromStdString(folder));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name));
    // A type of another extension gives the name typed so far that extension.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& type) {
        const QString suffix = SuffixOfNameFilter(type);
        if (suffix.isEmpty()) return;
        dialog.setDefaultSuffix(suffix);
        if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
            QString typed = edit->text();
            const qsizetype dot = typed.lastIndexOf(QLatin1Char('.'));
            if (!typed.isEmpty() && dot > 0)
                edit->setText(typed.left(dot + 1) + suffix);
        }
    });
    auto path = RunFileDialog(dialog, extension, filter);
    if (chosenFilter != nullptr)
        *chosenFilter = std::max(0, static_cast<int>(dialog.nameFilters().indexOf(
                                        dialog.selectedNameFilter())));
    return path;
}

void MainWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

// A sheet's message; an empty one (every key and every move on a sheet)
// clears whatever the status bar said, the last command's result too.
void MainWindow::SetStatus(const std::string& text, uint32_t textColour, uint32_t background) {
    if (text.empty()) {
        ShowCommandResult(text);
        return;
    }
    QPalette p = status_->palette();
    p.setColor(QPalette::WindowText, ToQColor(textColour));
    p.setColor(QPalette::Window, ToQColor(background));
    status_->setPalette(p);
    status_->setText(QString::fromStdString(text));
}

void MainWindow::ShowCommandResult(const std::string& text) {
    status_->setPalette(QPalette());
    status_->setText(QString::fromStdString(text));
}

void MainWindow::ShowPortStatus(const std::string& text) {
    portPanel_->setText(QString::fromStdString(text));
}

void MainWindow::ShowSheet(Sheet* sheet) {
    // A page closed (a file opened, the model changed) is opened again as
    // soon as the events in hand are done, not at the next housekeeping.
    if (sheet == nullptr && sheetWidget_->CurrentSheet() != nullptr)
        QTimer::singleShot(0, this, [this] { controller_->Tick(); });
    sheetWidget_->SetSheet(sheet);
    // The window's focus widget, not hasFocus(): a page shown while the
    // window is inactive must not take the focus the tree will get back.
    if (sheet != nullptr && focusWidget() != treeView_) sheetWidget_->setFocus();
}

void MainWindow::TreeChanged(TreeModel& tree) {
    treeView_->Show(tree);
    if (&tree != fittedTree_) {
        fittedTree_ = &tree;
        WidenTreeToFit();
    }
}

void MainWindow::SetToolBarVisible(bool visible) {
    if (toolBar_ != nullptr) toolBar_->setVisible(visible);
}

void MainWindow::SetMakerPanel(const std::string& text) {
    // Styled when first shown: a style sheet costs the start-up its time.
    if (!text.empty() && makerPanel_->styleSheet().isEmpty())
        makerPanel_->setStyleSheet("background: rgb(128,0,0); color: white; padding: 0 8px;");
    makerPanel_->setText(QString::fromStdString(text));
    makerPanel_->setVisible(!text.empty());
}

void MainWindow::ShowAbout() {
    AboutBox box(this, *controller_);
    box.exec();
}

std::optional<int> MainWindow::ChoosePort(int current) {
    QDialog dialog(this);
    dialog.setWindowTitle(Text("GI_AppInd_Opt_ComSel_Caption"));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(
        new QLabel(QString::fromStdString(OvlMessage("GI_AppInd_Opt_ComSel_Notice")), &dialog));
    auto* edit = new QLineEdit(QString::number(current), &dialog);
    edit->setMaxLength(1024);
    edit->selectAll();  // typing replaces the number
    layout->addWidget(edit);
    auto* device = new QLabel(&dialog);
    layout->addWidget(device);
    auto showDevice = [this, edit, device] {
        const auto typed = ReadTypedPort(edit->text().toStdString());
        device->setText(!typed ? QString()
                        : !typed->device.empty()
                            ? QString::fromStdString(typed->device)
                            : QString::fromStdString(env_.PortDevice(typed->number)));
    };
    connect(edit, &QLineEdit::textChanged, &dialog, showDevice);
    showDevice();
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(Text("GI_AppInd_Opt_ComSel_Buttons", 0), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text("GI_AppInd_Opt_ComSel_Buttons", 1), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    std::optional<int> chosen;
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        // A number, or a device path that is given one.
        const auto typed = ReadTypedPort(edit->text().toStdString());
        const int port = !typed ? 0
                         : typed->device.empty()
                             ? typed->number
                             : PortForDevice(env_, typed->device, portMenu_->Present());
        if (port < 1 || port > 256) {
            QMessageBox::critical(
                &dialog, Text("GI_Sys_AppTitle"),
                QString::fromStdString(OvlMessage("GI_AppInd_Opt_ComSel_OutofRange")));
            edit->setFocus();
            return;
        }
        chosen = port;
        dialog.accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    dialog.exec();
    return chosen;
}

// The manual in a window of our own: it needs no help viewer on the desktop,
// and a context lands on its topic.
void MainWindow::OpenHelp(const std::string& file, int context) {
    if (help_ == nullptr) {
        help_ = new HelpWindow(this);
        help_->setWindowIcon(AppIcon());
    }
    if (!help_->ShowContext(file, context)) {
        prompts().Message(OvlText("GI_Sys_AppTitle"),
                          FormatText(OvlText("GI_Mess_Help_Missing"), {file}), MsgIcon::Warning,
                          MsgButtons::Ok);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const bool f1 =
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier;
    if (!f1 || (watched != sheetWidget_ && watched != treeView_))
        return QMainWindow::eventFilter(watched, event);
    // Taking the override keeps F1 from the menu's Contents item here.
    event->accept();
    if (event->type() == QEvent::KeyPress) controller_->SheetHelp();
    return true;
}

void MainWindow::OpenWhenIdle(const QString& path) {
    pendingOpens_ << path;
    BringToFront(this);
    QTimer::singleShot(0, this, &MainWindow::OpenPending);
}

// Opens the files handed over once no dialog is open and no clone
// operation runs; Open asks about unsaved changes first.
void MainWindow::OpenPending() {
    if (pendingOpens_.isEmpty()) return;
    if (QApplication::activeModalWidget() != nullptr || !isEnabled() ||
        controller_->Cloning().IsBusy()) {
        QTimer::singleShot(200, this, &MainWindow::OpenPending);
        return;
    }
    const QString path = pendingOpens_.takeFirst();
    controller_->Open(path.toStdString());
    if (!pendingOpens_.isEmpty()) QTimer::singleShot(0, this, &MainWindow::OpenPending);
}

void MainWindow::ShowCompareList(const std::string& lines) {
    QDialog dialog(this);
    dialog.setWindowTitle("Debug compare");
    dialog.setGeometry(geometry());
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QPlainTextEdit(QString::fromStdString(lines), &dialog);
    text->setReadOnly(true);
    layout->addWidget(text);
    auto* close = new QPushButton("Close", &dialog);
    connect(close, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(close, 0, Qt::AlignLeft);
    close->setFocus();
    dialog.exec();
}

// A window of its own per comparison; the last one stays reachable.
bool MainWindow::RunInSteps(const std::string& title, const std::string& text,
                            const std::function<bool()>& step,
                            const std::function<double()>& done) {
    StepProgressWindow window(this, QString::fromStdString(title), QString::fromStdString(text));
    stepProgress_ = &window;
    const bool finished = window.Run(step, done);
    stepProgress_ = nullptr;
    return finished;
}

void MainWindow::ShowDifferences(const std::string& file, const ImageDifferences& differences) {
    differences_ = new DifferencesWindow(this, file, differences, [this](const CellDifference& d) {
        controller_->GoToDifference(d);
        activateWindow();
        sheetWidget_->setFocus();
        const Sheet* sheet = sheetWidget_->CurrentSheet();
        return sheet != nullptr ? sheetWidget_->GlobalCellRect(sheet->Col(), sheet->Row())
                                : QRect();
    });
    differences_->show();
}

// The nodes a print command prints (action and caption): every node of the
// tree in tree order, or the current sheet.
std::vector<std::pair<std::string, std::string>> MainWindow::NodesToPrint(bool allSheets) {
    std::vector<std::pair<std::string, std::string>> nodes;
    if (allSheets && controller_->Tree() != nullptr) {
        controller_->Tree()->ForEach(
            [&](TreeNode& n) { nodes.emplace_back(n.Action(), n.caption); });
    } else if (controller_->CurrentSheet() != nullptr) {
        nodes.emplace_back(controller_->SheetAction(), controller_->CurrentSheet()->TitleText());
    }
    return nodes;
}

int MainWindow::PrintTo(QPrinter& printer, bool allSheets, const std::function<bool()>& cancelled) {
    std::vector<std::string> actions;
    for (auto& node : NodesToPrint(allSheets)) actions.push_back(node.first);
    QtPrinterPage page(printer);
    if (!page.Active()) return 0;
    const Rect rect = PageRectFromMargins(OvlText("GI_Sys_Printer_Margins"), page.Resolution(),
                                          page.PageWidth(), page.PageHeight());
    PrintJob job(page, controller_->Doc().Scope(), controller_->Cells().Entry(), std::move(actions), rect);
    job.SetCancelCheck(cancelled);
    while (job.Step()) {
    }
    return job.PagesPrinted();
}

PrintingDialog* MainWindow::StartPrinting(std::unique_ptr<QPrinter> printer, bool allSheets) {
    std::vector<PrintingDialog::Node> nodes;
    for (auto& [action, caption] : NodesToPrint(allSheets)) nodes.push_back({action, caption});
    // The current sheet by the name the tree gives it.
    std::string sheet;
    if (!allSheets && !nodes.empty()) {
        const TreeNode* node = controller_->Tree() != nullptr
                                   ? controller_->Tree()->FindNode(nodes.front().action)
                                   : nullptr;
        sheet = node != nullptr ? node->caption : nodes.front().caption;
    }
    const PrintReport report{sheet, printer->outputFileName().toStdString(),
                             printer->printerName().toStdString()};
    auto* dialog = new PrintingDialog(this, std::move(printer), std::move(nodes),
                                      controller_->Doc().Scope(), controller_->Cells().Entry());
    // The main window takes no input while the job runs; the dialog's
    // button does.
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(&mainTask_, &QTimer::timeout, dialog, &PrintingDialog::Step);
    connect(dialog, &PrintingDialog::PrintingFinished, this, [this, dialog, report](int pages) {
        ShowCommandResult(report.Text(pages, dialog->Cancelled()));
        activateWindow();
        sheetWidget_->setFocus();
    });
    printing_ = dialog;
    dialog->show();
    return dialog;
}

void MainWindow::Print(bool allSheets) {
    if (controller_->CurrentSheet() == nullptr || printing_) return;
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setCopyCount(1);
    OfferLastPrintTarget(*printer, env_, controller_->Doc().FileName());
    QPrintDialog chooser(printer.get(), this);
    if (chooser.exec() != QDialog::Accepted) return;
    RememberPrintTarget(*printer, env_);
    StartPrinting(std::move(printer), allSheets);
}

// The working image as a byte sheet beside its compare base, for service.
void MainWindow::OpenEepromWindow() {
    auto* window =
        new EepromWindow(this, controller_->Cells(), measure_, env_.FontSizePercentage());
    window->show();
}

// A log of the lines any part of the program posts (event 22).
void MainWindow::OpenDebugWindow() {
    if (debugLog_) {
        debugLog_->raise();
        return;
    }
    debugLog_ = new DebugLogWindow(this, *controller_);
    debugLog_->show();
}

CloneProgressView* MainWindow::CloneProgress() { return &cloneForwarder_; }

CloneProgressWindow* MainWindow::CloneWindow() {
    if (cloneProgress_ == nullptr) {
        cloneProgress_ = new CloneProgressWindow(this);
        cloneProgress_->onCancel = [this] { controller_->Cloning().Cancel(); };
    }
    return cloneProgress_;
}

void MainWindow::CloneProgressForwarder::BeginOperation(bool showProgress) {
    owner_.CloneWindow()->BeginOperation(showProgress);
}

void MainWindow::CloneProgressForwarder::UpdateProgress(const parlo::CloneProgress& progress) {
    owner_.CloneWindow()->UpdateProgress(progress);
}

void MainWindow::CloneProgressForwarder::EndOperation() { owner_.CloneWindow()->EndOperation(); }

// The radio's identity as a read-only sheet in a small window.
void MainWindow::ShowCloneInformation() {
    QDialog dialog(this);
    dialog.setWindowTitle(Text("GI_Sys_AppTitle"));
    auto* layout = new QVBoxLayout(&dialog);
    Sheet::Params params;
    params.overlay = &MainOverlay();
    params.fontPercent = env_.FontSizePercentage();
    auto sheet = CreateSheet("GI_Sheet_CloneInfo", params, controller_->Doc().Scope(),
                             controller_->Cells().Entry());
    sheet->Build(measure_);
    // Every line the radio reports, however many option units it has.
    sheet->FitToShownText(measure_);
    auto* view = new SheetWidget(controller_->Cells(), &dialog);
    view->SetSheet(sheet.get());
    int width = 0, height = 0;
    for (int c = 0; c < sheet->ColCount(); ++c) width += sheet->ColWidth(c);
    for (int r = 0; r < sheet->RowCount(); ++r) height += sheet->RowHeight(r);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int frame = 2 * view->frameWidth();
    view->setFixedSize(width + frame, height + frame);
    layout->addWidget(view);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* ok = new QPushButton(Text("GI_AppInd_Button_OkCancel", 0), &dialog);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
    ok->setFocus();
    dialog.exec();
    view->SetSheet(nullptr);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!controller_->CloseQuery()) {
        event->ignore();
        return;
    }
    const QRect normal = normalGeometry();
    env_.SetWindowBounds(normal.left(), normal.top(), normal.width(), normal.height());
    // Unmoved, the stored width stays exactly as it was read.
    if (splitterMoved_ && !splitter_->sizes().isEmpty())
        env_.SetSplitterV(splitter_->sizes().front());
    mainTask_.stop();
    event->accept();
}

}  // namespace parlo::qt
