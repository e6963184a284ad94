#pragma once
// What the small windows a cell opens have in common (the pick list, the
// text entry window, the bit-field editor): borderless, placed below the
// cell, closed by a click outside them or by Escape. Each answers the cell
// that opened it at most once. Event 21 commits an open one (before a save,
// print or clone command); event 1 naming its opener closes it unanswered.
#include <QFrame>
#include <QPointer>

#include "gui/SheetWidget.h"
#include "runtime/EventManager.h"

namespace parlo::qt {

class EditorPopup : public QFrame {
    Q_OBJECT
public:
    // `opener` shows the sheet whose cell (col, row) opened the window.
    EditorPopup(SheetWidget* opener, int col, int row);
    ~EditorPopup() override;

    // Hands the result back (unless it is refused) and closes.
    void Commit();
    // Closes without an answer.
    void Cancel();
    bool Answered() const { return done_; }

    // Sizes the window to `size`, cut to the work area, and shows it where
    // the placement rule puts it for the cell at `cell` (on the screen).
    // Returns the size it got.
    QSize ShowBelow(const QRect& cell, QSize size);
    // The work area of the screen that shows `cell`.
    static QRect WorkArea(const QRect& cell);

protected:
    SheetWidget* Opener() const { return opener_; }
    int OpenerCol() const { return col_; }
    int OpenerRow() const { return row_; }

    // Hands the result to the opener; false refuses, and the window stays.
    virtual bool HandBack() = 0;
    // Whether a click outside commits (the editors) or just closes (a list).
    virtual bool CommitsOnClose() const { return true; }

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnEvent(const EventRecord& event);
    void Finish();

    QPointer<SheetWidget> opener_;
    WindowOwner openerId_;
    int col_, row_;
    bool done_ = false;
    EventSubscription events_;
};

}  // namespace parlo::qt
