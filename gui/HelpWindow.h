#pragma once
// The manual in a window of the program's own: the HTML manual in a text
// browser, opened at the anchor of a help context. It needs no help viewer
// on the desktop, and a context always lands on its own topic.
#include <QTextBrowser>
#include <QWidget>
#include <string>

namespace parlo::qt {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `file` at the topic of `context` (0: the top), and brings the
    // window to the front. False when the manual cannot be read.
    bool ShowContext(const std::string& file, int context);
    QTextBrowser* Browser() const { return browser_; }

    // The anchor the manual gives a context number.
    static QString AnchorOf(int context);

    // Where the manual first opens: beside the main window (`owner`, its
    // frame) on the right, else on the left, where the screen's `area` has
    // room; else over the main window's right-hand part, the page, rather
    // than its tree. Never larger than the area, never off it.
    static QRect PlaceBeside(const QRect& owner, const QRect& area, const QSize& size);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTextBrowser* browser_;
    bool placed_ = false;
};

}  // namespace parlo::qt
