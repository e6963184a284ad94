#pragma once
// The text entry window of a segment text cell: a text box holding the text
// form, a preview that shows it as the radio's display characters, and the
// character table (GI_Sheet_Sel_Text) from which Space or a double click
// inserts a character at the caret, the user characters included. Below the
// preview a note says how many of the field's positions the text takes and
// what past its end a save would not keep. OK, Enter,
// a click outside or event 21 hand the text back to the cell; Cancel and
// Escape close the window unanswered. Characters the display cannot show
// are refused as they are typed.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "gui/EditorPopup.h"
#include "platform/Font.h"

namespace parlo::qt {

class DisplayTextPreview;

class TextEntryWindow : public EditorPopup {
    Q_OBJECT
public:
    // Opens the window for the cell (col, row) of `opener`, whose rectangle
    // on the screen is `cell`: the text box holds `text` with the caret at
    // `caret`, in the cell's `font`, for a field of `fieldLength` positions
    // (0: not known).
    static TextEntryWindow* Open(SheetWidget* opener, int col, int row, const std::string& text,
                                 int caret, const FontSpec& font, int fieldLength,
                                 const QRect& cell);
    ~TextEntryWindow() override;

    QLineEdit* TextBox() const { return text_; }
    SheetWidget* CharacterTable() const { return table_; }
    QLabel* Refusal() const { return refusal_; }
    // "3 of 8 characters", and what is not kept.
    QLabel* LengthNote() const { return lengthNote_; }
    int KeptPositions() const { return fieldLength_; }
    // The display bytes the preview shows.
    const std::vector<uint8_t>& PreviewBytes() const;

    // The text form of one display character, as the table inserts it.
    static std::string CharacterText(int code);

protected:
    bool HandBack() override;

private:
    TextEntryWindow(SheetWidget* opener, int col, int row, const FontSpec& font, int fieldLength);
    void TextChanged();
    int Dispatch(CellContext& context, int mode);
    void Insert(const std::string& text);
    void Refuse(const std::string& character);
    void DropUnshownCharacters();
    QSize WantedSize() const;

    CellDispatcher& cells_;
    QLineEdit* text_ = nullptr;
    DisplayTextPreview* preview_ = nullptr;
    std::unique_ptr<Sheet> sheet_;
    SheetWidget* table_ = nullptr;
    QLabel* refusal_ = nullptr;
    QLabel* lengthNote_ = nullptr;
    int fieldLength_ = 0;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace parlo::qt
