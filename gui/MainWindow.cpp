#include "gui/MainWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
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
#include <QUrl>
#include <QVBoxLayout>

#include "gui/CloneProgressWindow.h"
#include "gui/DebugLogWindow.h"
#include "gui/EepromWindow.h"
#include "gui/Icons.h"
#include "gui/MenuBuilder.h"
#include "gui/NavigationTree.h"
#include "gui/PrintingDialog.h"
#include "gui/QtPrinterPage.h"
#include "gui/SheetWidget.h"
#include "overlay/OverlayText.h"
#include "platform/ProgramInfo.h"
#include "sheet/PrintJob.h"
#include "sheet/SheetFactory.h"

namespace parlo::qt {

namespace {

constexpr int kMainTaskMs = 50;
constexpr uint8_t kEvMenuState = 9;
constexpr uint8_t kEvToolBarState = 20;
constexpr uint8_t kEvFinishEdits = 21;
constexpr uint8_t kEvPortChanged = 2;
constexpr uint8_t kEvDocumentChanged = 25;

QString Text(const std::string& key, int index = 0) {
    return QString::fromStdString(OvlText(key, index));
}

// A dialog filter from the overlay ("Clone files (*.icf)"), with a fallback
// that lists every file.
QString Filter(const std::string& filter) {
    return QString::fromStdString(filter) + ";;All files (*)";
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
    sheetTitle_ = new QLabel(sheetPanel);
    sheetTitle_->setContentsMargins(6, 4, 6, 4);
    sheetTitle_->setAutoFillBackground(true);
    sheetTitle_->hide();
    sheetLayout->addWidget(sheetTitle_);
    setCentralWidget(splitter_);

    status_ = new QLabel(this);
    status_->setAutoFillBackground(true);
    statusBar()->addWidget(status_, 1);
    makerPanel_ = new QLabel(this);
    makerPanel_->setStyleSheet("background: rgb(128,0,0); color: white; padding: 0 8px;");
    makerPanel_->hide();
    statusBar()->addPermanentWidget(makerPanel_);

    cloneProgress_ = new CloneProgressWindow(this);
    controller_ = std::make_unique<MainController>(env_, *this);
    sheetWidget_ = new SheetWidget(controller_->Cells(), sheetPanel);
    sheetLayout->addWidget(sheetWidget_, 1);
    connect(sheetWidget_, &SheetWidget::TitleTextChanged, this,
            [this](const QString& text, const QColor& c, const QFont& font) {
                sheetTitle_->setVisible(!text.isEmpty());
                sheetTitle_->setText(text);
                sheetTitle_->setFont(font);
                QPalette p = sheetTitle_->palette();
                p.setColor(QPalette::Window, QColor(64, 64, 64));
                p.setColor(QPalette::WindowText, c.isValid() ? c : Qt::white);
                sheetTitle_->setPalette(p);
            });
    treeView_->SetChangeDelay(std::max(0, std::atoi(OvlText("GI_Sys_TreeChangeDelay").c_str())));
    treeView_->onSelected = [this](TreeNode* node) { controller_->SelectNode(node); };
    treeView_->onExpandedChanged = [this] { controller_->CheckWarnings(); };

    BuildMenus();
    BuildToolBar();
    Events().Subscribe(OnEvent, this);
    PlaceWindow();
    controller_->Start(argc, argv);
    Events().Send(kEvPortChanged);
    RefreshMenus();

    connect(&mainTask_, &QTimer::timeout, this, [this] { controller_->Tick(); });
    mainTask_.start(kMainTaskMs);
}

MainWindow::~MainWindow() {
    mainTask_.stop();
    Events().Unsubscribe(OnEvent, this);
    sheetWidget_->SetSheet(nullptr);
    controller_.reset();
}

void MainWindow::PlaceWindow() {
    // Keep a stored position reachable on the current desktop.
    QRect area = QApplication::primaryScreen() != nullptr
                     ? QApplication::primaryScreen()->availableGeometry()
                     : QRect(0, 0, 1280, 1024);
    int left = env_.Left(), top = env_.Top();
    const int width = std::max(400, env_.Width()), height = std::max(200, env_.Height());
    if (left > area.right() - 16) left = area.right() - 16;
    if (top > area.bottom() - 16) top = area.bottom() - 16;
    if (left + width < area.left() + 16) left = area.left() - width + 16;
    if (top < area.top()) top = area.top();
    setGeometry(left, top, width, height);
    splitter_->setSizes({std::max(8, env_.SplitterV()), std::max(100, width - env_.SplitterV())});
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
            connect(menu, &QMenu::aboutToShow, this, [this, menu] { FillEditMenu(menu); });
        } else {
            connect(menu, &QMenu::aboutToShow, this, [this, menu] {
                Events().Send(kEvFinishEdits);
                MenuBuilder::RefreshStates(menu, controller_->Cells());
            });
        }
    }
}

// The Edit menu mirrors the popup menu of the current cell.
void MainWindow::FillEditMenu(QMenu* menu) {
    menu->clear();
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
        action->setProperty("parloDesc", QVariant::fromValue<void*>(desc.get()));
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
    for (QAction* top : menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (menu == nullptr || menu == editMenuWidget_) continue;
        MenuBuilder::RefreshStates(menu, controller_->Cells());
        bool any = false;
        for (QAction* a : menu->actions()) any |= a->isVisible() && !a->isSeparator();
        top->setVisible(any);
    }
}

void MainWindow::OnEvent(void* self, const EventRecord& event) {
    auto* w = static_cast<MainWindow*>(self);
    if (event.code == kEvMenuState || event.code == kEvToolBarState) w->RefreshToolBar();
    if (event.code == kEvMenuState || event.code == kEvPortChanged ||
        event.code == kEvDocumentChanged)
        w->RefreshMenus();
    if (event.code == kEvFinishEdits) w->sheetWidget_->FinishEdit();
}

// ---- MainView ------------------------------------------------------------------------------

std::optional<std::string> MainWindow::ChooseOpenPath(const std::string& folder, const std::string&,
                                                      const std::string& filter) {
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString::fromStdString(folder), Filter(filter));
    if (path.isEmpty()) return std::nullopt;
    return path.toStdString();
}

std::optional<std::string> MainWindow::ChooseSavePath(const std::string& folder,
                                                      const std::string& name,
                                                      const std::string& extension,
                                                      const std::string& filter) {
    QFileDialog dialog(this, QString(), QString::fromStdString(folder), Filter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(extension));
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

void MainWindow::SetTitle(const std::string& title) {
    setWindowTitle(QString::fromStdString(title));
}

void MainWindow::SetStatus(const std::string& text, uint32_t textColour, uint32_t background) {
    QPalette p = status_->palette();
    p.setColor(QPalette::WindowText, ToQColor(textColour));
    p.setColor(QPalette::Window, ToQColor(background));
    status_->setPalette(p);
    status_->setText(QString::fromStdString(text));
}

void MainWindow::ShowSheet(Sheet* sheet) {
    sheetWidget_->SetSheet(sheet);
    if (sheet != nullptr && !treeView_->hasFocus()) sheetWidget_->setFocus();
}

void MainWindow::TreeChanged(TreeModel& tree) { treeView_->Show(tree); }

void MainWindow::SetToolBarVisible(bool visible) {
    if (toolBar_ != nullptr) toolBar_->setVisible(visible);
}

void MainWindow::SetMakerPanel(const std::string& text) {
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
    edit->setMaxLength(4);
    layout->addWidget(edit);
    auto* device = new QLabel(&dialog);
    layout->addWidget(device);
    auto showDevice = [this, edit, device] {
        device->setText(QString::fromStdString(env_.PortDevice(edit->text().trimmed().toInt())));
    };
    connect(edit, &QLineEdit::textChanged, &dialog, showDevice);
    showDevice();
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(Text("GI_AppInd_Opt_ComSel_Buttons", 0), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text("GI_AppInd_Opt_ComSel_Buttons", 1), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    std::optional<int> chosen;
    connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        const int port = edit->text().trimmed().toInt();
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

void MainWindow::OpenHelp(const std::string& file, int context) {
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(file));
    if (context != 0) url.setFragment(QString("context-%1").arg(context));
    QDesktopServices::openUrl(url);
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
    PrintJob job(page, controller_->Cells().Entry(), std::move(actions), rect);
    job.SetCancelCheck(cancelled);
    while (job.Step()) {
    }
    return job.PagesPrinted();
}

PrintingDialog* MainWindow::StartPrinting(std::unique_ptr<QPrinter> printer, bool allSheets) {
    std::vector<PrintingDialog::Node> nodes;
    for (auto& [action, caption] : NodesToPrint(allSheets)) nodes.push_back({action, caption});
    auto* dialog = new PrintingDialog(this, std::move(printer), std::move(nodes),
                                      controller_->Cells().Entry());
    // The main window takes no input while the job runs; the dialog's
    // button does.
    dialog->setWindowModality(Qt::ApplicationModal);
    connect(&mainTask_, &QTimer::timeout, dialog, &PrintingDialog::Step);
    connect(dialog, &PrintingDialog::PrintingFinished, this, [this] {
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
    QPrintDialog chooser(printer.get(), this);
    if (chooser.exec() != QDialog::Accepted) return;
    StartPrinting(std::move(printer), allSheets);
}

// The working image as a byte sheet beside its compare base, for service.
void MainWindow::OpenEepromWindow() {
    auto* window =
        new EepromWindow(this, controller_->Cells(), measure_, env_.FontSizePercentage(), 0);
    window->show();
}

// A log of the lines any part of the program posts (event 22).
void MainWindow::OpenDebugWindow() {
    if (debugLog_) {
        debugLog_->raise();
        return;
    }
    debugLog_ = new DebugLogWindow(this);
    debugLog_->show();
}

CloneProgressView* MainWindow::CloneProgress() {
    if (cloneProgress_ == nullptr) cloneProgress_ = new CloneProgressWindow(this);
    return cloneProgress_;
}

// The radio's identity as a read-only sheet in a small window.
void MainWindow::ShowCloneInformation() {
    QDialog dialog(this);
    dialog.setWindowTitle(Text("GI_Sys_AppTitle"));
    auto* layout = new QVBoxLayout(&dialog);
    Sheet::Params params;
    params.overlay = &MainOverlay();
    params.fontPercent = env_.FontSizePercentage();
    auto sheet = CreateSheet("GI_Sheet_CloneInfo", params, controller_->Cells().Entry());
    sheet->Build(measure_);
    auto* view = new SheetWidget(controller_->Cells(), &dialog);
    view->SetSheet(sheet.get());
    int width = 0, height = 0;
    for (int c = 0; c < sheet->ColCount(); ++c) width += sheet->ColWidth(c);
    for (int r = 0; r < sheet->RowCount(); ++r) height += sheet->RowHeight(r);
    view->setMinimumSize(width + 4, height + 4);
    layout->addWidget(view);
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
    if (!splitter_->sizes().isEmpty()) env_.SetSplitterV(splitter_->sizes().front());
    mainTask_.stop();
    event->accept();
}

}  // namespace parlo::qt
