#include "gui/TextEntryWindow.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QScrollBar>
#include <QVBoxLayout>

#include "cells/CellDispatcher.h"
#include "codecs/SegmentText.h"
#include "platform/qtgui/QtCanvas.h"
#include "overlay/OverlayText.h"
#include "sheet/DisplayCharacters.h"
#include "sheet/SheetFactory.h"
#include "sheet/SheetReading.h"

namespace parlo::qt {

namespace {

constexpr int kMaxText = 1024;
constexpr int kButtonGap = 8;
constexpr int kMargin = 4;
constexpr const char* kCharacterSheet = "GI_Sheet_Sel_Text";
// The preview's look: dark segments on a pale display, the unlit ones faint.
constexpr uint32_t kDisplayBackground = 0x00C8DCC8;
constexpr uint32_t kSegmentLit = 0x00202020;
constexpr uint32_t kSegmentUnlit = 0x00B4C8B4;
constexpr int kPreviewName = 9;  // of GI_AppInd_Reading

enum : int {
    kCharBackspace = 8,
    kCharTab = 9,
    kCharEnter = 13,
    kCharEscape = 27,
    kCharSpace = 32,
};

}  // namespace

// The text box's text as the radio's display shows it.
class DisplayTextPreview : public QWidget {
public:
    explicit DisplayTextPreview(QWidget* parent) : QWidget(parent) {
        setMinimumHeight(48);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setAccessibleName(QString::fromStdString(OvlText("GI_AppInd_Reading", kPreviewName)));
    }
    void SetText(const QString& text) {
        bytes_ = SegmentTextBytes(text.toStdString());
        // What the painted characters say, for a reader.
        setAccessibleDescription(QString::fromStdString(DisplayPlainText(bytes_)));
        update();
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), ToQColor(kDisplayBackground));
        QtCanvas canvas(painter);
        PaintDisplayText(canvas, {4, 2, width() - 4, height() - 2}, bytes_, MainDisplayGeometry(),
                         WorkingUserCharacters(), kSegmentLit, kSegmentUnlit);
    }

private:
    std::vector<uint8_t> bytes_;
};

TextEntryWindow::TextEntryWindow(SheetWidget* opener, int col, int row, const FontSpec& font)
    : EditorPopup(opener, col, row), cells_(opener->Cells()) {
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

    preview_ = new DisplayTextPreview(this);
    layout->addWidget(preview_);

    Sheet::Params params;
    if (Sheet* owner = opener->CurrentSheet()) params.fontPercent = owner->GetParams().fontPercent;
    sheet_ = CreateSheet(kCharacterSheet, params,
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
    connect(text_, &QLineEdit::textChanged, this, [this] { preview_->SetText(text_->text()); });
}

const std::vector<uint8_t>& TextEntryWindow::PreviewBytes() const { return preview_->Bytes(); }

TextEntryWindow::~TextEntryWindow() {
    if (table_ != nullptr) table_->SetSheet(nullptr);
}

TextEntryWindow* TextEntryWindow::Open(SheetWidget* opener, int col, int row,
                                       const std::string& text, int caret, const FontSpec& font,
                                       const QRect& cell) {
    auto* window = new TextEntryWindow(opener, col, row, font);
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
    const int height = frame + text_->height() + preview_->minimumHeight() + tableHeight +
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
