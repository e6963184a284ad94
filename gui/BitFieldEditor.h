#pragma once
// The bit-field editor: a small window below a cell holding a set of flags,
// with one tick cell per flag under a head row (numbers, letters, or the GPS
// sentence names), and OK and Cancel. Space or a double click toggles a
// flag. OK or a click outside hands the value back; Cancel or Escape close
// the window unanswered. With the GPS sentence heads at most three flags may
// be set: a fourth marks every tick cell and disables OK until one is
// cleared.
#include <QPushButton>
#include <memory>
#include <vector>

#include "codecs/CellRequest.h"
#include "gui/EditorPopup.h"
#include "overlay/OverlayText.h"
#include "sheet/BitField.h"

namespace parlo::qt {

class BitFieldEditor : public EditorPopup {
    Q_OBJECT
public:
    // Opens the editor for `popup` (its value, items, header and tick style;
    // popup.list names a sheet of the main overlay to lay it out, or is
    // empty for the built-in layout) below the cell (col, row) of `opener`.
    static BitFieldEditor* Open(SheetWidget* opener, int col, int row, const PopupRequest& popup,
                                const QRect& cell);
    ~BitFieldEditor() override;

    uint32_t Value() const { return value_.Value(); }
    SheetWidget* View() const { return view_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

protected:
    bool HandBack() override;

private:
    BitFieldEditor(SheetWidget* opener, int col, int row, const PopupRequest& popup);
    int Dispatch(CellContext& context, int mode);
    void DrawBox(const CellContext& context) const;
    void DrawTick(const CellContext& context) const;
    void Toggle(int item);

    CellDispatcher& cells_;
    BitFieldValue value_;
    int tickStyle_;
    std::vector<std::string> lines_;
    OverlayText overlay_;  // the built-in layout
    std::unique_ptr<Sheet> sheet_;
    SheetWidget* view_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace parlo::qt
