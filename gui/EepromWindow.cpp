#include "gui/EepromWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "gui/SheetWidget.h"
#include "overlay/OverlayText.h"
#include "runtime/EventCodes.h"
#include "runtime/EventManager.h"
#include "sheet/SheetFactory.h"

namespace parlo::qt {

namespace {

constexpr const char* kByteSheet = "GI_Sheet_EeDebugWin";
constexpr int kPanelBorder = 8;
constexpr int kBevel = 2;
constexpr int kButtonGap = 5;
constexpr int kBytesPerRow = 16;
constexpr int kHeadColumns = 3;
constexpr int kHeadRows = 3;
constexpr int kCharEscape = 27;

}  // namespace

std::pair<int, int> EepromWindow::CellOfByte(int32_t address) {
    return {(address % kBytesPerRow) * 2 + kHeadColumns, address / kBytesPerRow + kHeadRows};
}

EepromWindow::EepromWindow(QWidget* owner, CellDispatcher& cells, Canvas& measure, int fontPercent)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QString::fromStdString(OvlText("GI_Sys_AppTitle")));
    Sheet::Params params;
    params.overlay = &MainOverlay();
    params.fontPercent = fontPercent;
    // Escape on the byte sheet closes the window, as its OK button does.
    sheet_ =
        CreateSheet(kByteSheet, params, cells.Scope(), [this, &cells](CellContext& c, int mode) {
            if (mode == kModeOperate && c.operation == kCharEscape) {
                QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
                return 0;
            }
            return cells.Handle(c, mode);
        });
    sheet_->Build(measure);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    // A panel with a raised outer and a lowered inner bevel.
    auto* outer = new QFrame(this);
    outer->setFrameStyle(QFrame::Panel | QFrame::Raised);
    outer->setLineWidth(kBevel);
    auto* outerLayout = new QVBoxLayout(outer);
    outerLayout->setContentsMargins(kPanelBorder, kPanelBorder, kPanelBorder, kPanelBorder);
    auto* inner = new QFrame(outer);
    inner->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    inner->setLineWidth(kBevel);
    auto* innerLayout = new QVBoxLayout(inner);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    view_ = new SheetWidget(cells, inner);
    view_->SetSheet(sheet_.get());
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    innerLayout->addWidget(view_);
    outerLayout->addWidget(inner);
    layout->addWidget(outer, 1);

    // Right to left: OK, Set Comp, Redraw, all as large as the first.
    auto* ok = new QPushButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 0)));
    auto* setCompare = new QPushButton("Set Comp");
    auto* redraw = new QPushButton("Redraw");
    const QSize button =
        ok->sizeHint().expandedTo(setCompare->sizeHint()).expandedTo(redraw->sizeHint());
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(kButtonGap, kButtonGap, kButtonGap, kButtonGap);
    buttons->setSpacing(kButtonGap);
    buttons->addStretch();
    for (QPushButton* b : {redraw, setCompare, ok}) {
        b->setParent(this);
        b->setAutoDefault(false);
        b->setFixedSize(button);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    EventManager* events = &cells.Scope().events;
    connect(redraw, &QPushButton::clicked, this, [events] { events->Send(ev::kDocumentChanged); });
    connect(setCompare, &QPushButton::clicked, this, [events] {
        events->Send(ev::kSetCompareBase);
        events->Send(ev::kWarningsChecked);
    });

    // As wide as the whole sheet, at most half the screen high.
    const QSize full = view_->FullSize();
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const int screenHeight = screen != nullptr ? screen->geometry().height() : 1024;
    const int frame = 2 * (kPanelBorder + 2 * kBevel);
    view_->setFixedWidth(full.width() + view_->verticalScrollBar()->sizeHint().width());
    view_->setMinimumHeight(std::min(full.height(), screenHeight / 2));
    resize(view_->width() + frame,
           std::min(full.height(), screenHeight / 2) + frame + button.height() + 2 * kButtonGap);
    events_ = events->Subscribe([this](const EventRecord& event) { OnEvent(event); });
}

EepromWindow::~EepromWindow() {
    events_.Cancel();
    view_->SetSheet(nullptr);
}

void EepromWindow::OnEvent(const EventRecord& event) {
    if (event.Is(ev::kWarningsChecked)) {
        // Every cell in view is asked for its byte again.
        view_->viewport()->update();
    } else if (const ImageByte* byte = event.Get(ev::kGoToByte); byte && byte->address >= 0) {
        const auto [col, row] = CellOfByte(byte->address);
        if (row < sheet_->RowCount()) view_->GoToCell(col, row);
    }
}

}  // namespace parlo::qt
