#pragma once
// The pick window: a choice list opened from a cell, shown as a sheet in
// pick mode (its overlay description, or one row per item). The arrows wrap
// around, a click or Enter hands the item back; Escape or a click outside
// closes it and the value stays as it was.
#include <memory>

#include "codecs/CellRequest.h"
#include "gui/EditorPopup.h"

namespace parlo::qt {

class PickWindow : public EditorPopup {
    Q_OBJECT
public:
    // Opens the list of `popup` for the cell (col, row) of `opener`, whose
    // rectangle on the screen is `cell`.
    static PickWindow* Open(SheetWidget* opener, int col, int row, const PopupRequest& popup,
                            const QRect& cell);
    ~PickWindow() override;

    SheetWidget* View() const { return view_; }
    Sheet* PickSheet() const { return sheet_.get(); }

protected:
    bool HandBack() override;
    bool CommitsOnClose() const override { return false; }

private:
    PickWindow(SheetWidget* opener, int col, int row, const PopupRequest& popup);
    int Dispatch(CellContext& context, int mode);

    CellDispatcher& cells_;
    PopupRequest popup_;
    std::unique_ptr<Sheet> sheet_;
    SheetWidget* view_ = nullptr;
    int picked_ = -1;
};

}  // namespace parlo::qt
