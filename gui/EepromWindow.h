#pragma once
// The EEPROM debug window: the working image as a byte sheet
// (GI_Sheet_EeDebugWin, sixteen bytes a row, red where a byte differs from
// the compare base), as wide as the sheet and at most half the screen high,
// scrolling vertically. It asks every cell in view again on event 23, so it
// never shows stale bytes, and moves to byte n on event 24.
#include <QDialog>
#include <memory>

#include "runtime/EventManager.h"
#include "sheet/Sheet.h"

namespace parlo {
class CellDispatcher;
}  // namespace parlo

namespace parlo::qt {

class SheetWidget;

class EepromWindow : public QDialog {
    Q_OBJECT
public:
    EepromWindow(QWidget* owner, CellDispatcher& cells, Canvas& measure, int fontPercent);
    ~EepromWindow() override;

    SheetWidget* View() const { return view_; }
    Sheet* ByteSheet() const { return sheet_.get(); }
    // The cell that shows byte n: sixteen bytes a row, two columns a byte,
    // after three head columns and rows.
    static std::pair<int, int> CellOfByte(int32_t address);

private:
    void OnEvent(const EventRecord& event);

    std::unique_ptr<Sheet> sheet_;
    SheetWidget* view_ = nullptr;
    EventSubscription events_;
};

}  // namespace parlo::qt
