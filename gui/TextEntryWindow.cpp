#include "gui/TextEntryWindow.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "codecs/SegmentText.h"
#include "gui/DisplayTextPreview.h"
#include "overlay/OverlayFormat.h"
#include "overlay/OverlayText.h"
#include "platform/qtgui/QtCanvas.h"
#include "sheet/SheetFactory.h"
#include "sheet/SheetReading.h"

namespace parlo::qt {

namespace {

constexpr int kMaxText = 1024;
constexpr int kButtonGap = 8;
constexpr int kMargin = 4;
constexpr const char* kCharacterSheet = "GI_Sheet_Sel_Text";

enum : int {
    kCharBackspace = 8,
    kCharTab = 9,
    kCharEnter = 13,
    kCharEscape = 27,
    kCharSpace = 32,
};

}  // namespace

TextEntryWindow::TextEntryWindow(SheetWidget* opener, int col, int row, const FontSpec& font,
                                 int fieldLength)
    : EditorPopup(opener, col, row), cells_(opener->Cells()), fieldLength_(fieldLength) {
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    layout->setSpacing(kMargin);

    text_ = new QLineEdit(this);
    text_->setMaxLength(kMaxText);
    text_->setAccessibleName(accessibleName());
    text_->setFont(ToQFont(font));
    // One and a half text lines high.
    text_->setFixedHeight(text_->fontMetrics().height() * 3 / 2);
    layout->addWidget(text_);

    preview_ = new DisplayTextPreview(this, cells_.Document().Working());
    layout->addWidget(preview_);
    lengthNote_ = new QLabel(this);
    lengthNote_->setTextFormat(Qt::PlainText);
    lengthNote_->setWordWrap(true);
    lengthNote_->setVisible(fieldLength_ > 0);
    layout->addWidget(lengthNote_);

    Sheet::Params params;
    if (Sheet* owner = opener->CurrentSheet()) params.fontPercent = owner->GetParams().fontPercent;
    sheet_ = CreateSheet(kCharacterSheet, params, cells_.Scope(),
                         [this](CellContext& c, int mode) { return Dispatch(c, mode); });
    MeasuringCanvas measure;
    sheet_->Build(measure);
    table_ = new SheetWidget(cells_, this);
    table_->SetSheet(sheet_.get());
    table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(table_, 1);

    refusal_ = new QLabel(this);
    refusal_->setWordWrap(true);
    refusal_->setStyleSheet("color: rgb(192, 0, 0);");
    refusal_->hide();
    layout->addWidget(refusal_);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kButtonGap);
    buttons->addStretch();
    ok_ = new QPushButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 0)), this);
    cancel_ =
        new QPushButton(QString::fromStdString(OvlText("GI_AppInd_Button_OkCancel", 1)), this);
    ok_->setDefault(true);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);

    connect(ok_, &QPushButton::clicked, this, [this] { Commit(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { Cancel(); });
    connect(text_, &QLineEdit::returnPressed, this, [this] { Commit(); });
    connect(text_, &QLineEdit::textEdited, this, [this] { DropUnshownCharacters(); });
    // The box's text as it is now: a typed character that is dropped again
    // still reports its own change afterwards.
    connect(text_, &QLineEdit::textChanged, this, [this] { TextChanged(); });
}

// The preview and the note on the length follow the text box.
void TextEntryWindow::TextChanged() {
    preview_->SetText(text_->text(), fieldLength_);
    if (fieldLength_ <= 0) return;
    const SegmentTextFit fit =
        FitSegmentText(text_->text().toStdString(), static_cast<size_t>(fieldLength_));
    std::vector<FormatArg> args = {static_cast<long long>(fit.positions),
                                   static_cast<long long>(fieldLength_)};
    if (!fit.cut.empty()) args.emplace_back(fit.cut);
    const std::string note =
        FormatText(OvlText("GI_AppInd_TextEntry_Length", fit.cut.empty() ? 0 : 1), args);
    lengthNote_->setText(QString::fromStdString(note));
    lengthNote_->setStyleSheet(fit.cut.empty() ? QString() : "color: rgb(160, 0, 0);");
}

const std::vector<uint8_t>& TextEntryWindow::PreviewBytes() const { return preview_->Bytes(); }

TextEntryWindow::~TextEntryWindow() {
    if (table_ != nullptr) table_->SetSheet(nullptr);
}

TextEntryWindow* TextEntryWindow::Open(SheetWidget* opener, int col, int row,
                                       const std::string& text, int caret, const FontSpec& font,
                                       int fieldLength, const QRect& cell) {
    auto* window = new TextEntryWindow(opener, col, row, font, fieldLength);
    // Opened with a typed character the box holds just that character, with
    // Enter the cell's text; the caret stands at the end, nothing selected.
    window->text_->setText(QString::fromStdString(text));
    window->text_->deselect();
    window->text_->setCursorPosition(caret < 0
                                         ? static_cast<int>(window->text_->text().size())
                                         : std::min<int>(caret, window->text_->text().size()));
    window->DropUnshownCharacters();
    window->text_->setFocus();
    window->ShowBelow(cell, window->WantedSize());
    return window;
}

// The character table at its full width and 5/8 of its height.
QSize TextEntryWindow::WantedSize() const {
    const QSize full = table_->FullSize();
    const int tableWidth = full.width() + table_->verticalScrollBar()->sizeHint().width();
    const int tableHeight = full.height() * 5 / 8;
    const int frame = 2 * (kMargin + lineWidth());
    const int width = std::max(tableWidth, ok_->sizeHint().width() * 3) + frame;
    const int note =
        lengthNote_->isVisibleTo(this) ? lengthNote_->sizeHint().height() + kMargin : 0;
    const int height = frame + text_->height() + preview_->minimumHeight() + note + tableHeight +
                       ok_->sizeHint().height() + 3 * kMargin;
    return {width, height};
}

std::string TextEntryWindow::CharacterText(int code) {
    const uint8_t byte = static_cast<uint8_t>(code);
    // A zero-terminated field keeps a blank; a "." is written as its code so
    // that it stays a character and not the dot of the one before.
    return SegmentTextForm({&byte, 1}, true);
}

void TextEntryWindow::Insert(const std::string& text) {
    text_->insert(QString::fromStdString(text));
    refusal_->hide();
}

void TextEntryWindow::Refuse(const std::string& character) {
    refusal_->setText(QString::fromStdString(UnshownCharacterMessage(character)));
    refusal_->show();
}

// Typed or pasted characters the display cannot show do not stay.
void TextEntryWindow::DropUnshownCharacters() {
    const std::string typed = text_->text().toStdString();
    const auto unshown = FirstUnshownCharacter(typed);
    if (!unshown) return;
    QString kept;
    int caret = text_->cursorPosition();
    const QString text = text_->text();
    for (int i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 0x80) {
            kept += text[i];
        } else if (i < text_->cursorPosition()) {
            --caret;
        }
    }
    text_->setText(kept);
    text_->setCursorPosition(std::max(0, caret));
    Refuse(*unshown);
}

int TextEntryWindow::Dispatch(CellContext& ctx, int mode) {
    if (ctx.desc == nullptr || ctx.desc->cell != Flex0) return cells_.Handle(ctx, mode);
    const int code = ctx.desc->index;
    if (mode == kModeDraw) {
        ctx.request.text = CharacterText(code);
        ctx.request.displayBytes = std::vector<uint8_t>{static_cast<uint8_t>(code)};
        return 0;
    }
    const int op = ctx.operation;
    if (op == kCharSpace || op == kOpDoubleClick) {
        Insert(CharacterText(code));
        if (op == kOpDoubleClick) text_->setFocus();
    } else if (op == kCharEnter) {
        Commit();
    } else if (op == kCharBackspace || op == kCharEscape || op == kCharTab) {
        text_->setFocus();
    } else if (op > kCharSpace && op < 0x7F) {
        Insert(std::string(1, static_cast<char>(op)));
        text_->setFocus();
    } else if (op >= 0x80 && op <= 0xFF) {
        Refuse(QString(QChar(op)).toStdString());
        text_->setFocus();
    }
    return 0;
}

bool TextEntryWindow::HandBack() {
    const std::string text = text_->text().toStdString();
    if (const auto unshown = FirstUnshownCharacter(text)) {
        Refuse(*unshown);
        return false;
    }
    if (SheetWidget* opener = Opener()) opener->HandBackText(OpenerCol(), OpenerRow(), text);
    return true;
}

}  // namespace parlo::qt
