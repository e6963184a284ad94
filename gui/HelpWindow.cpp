#include "gui/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

namespace parlo::qt {

namespace {

constexpr QSize kSize(640, 720);
constexpr int kGap = 8;

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(4, 4, 4, 4);
    auto* back = new QPushButton(tr("Back"), this);
    auto* contents = new QPushButton(tr("Contents"), this);
    buttons->addWidget(back);
    buttons->addWidget(contents);
    buttons->addStretch();
    layout->addLayout(buttons);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);
    layout->addWidget(browser_, 1);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, browser_, [this] {
        QUrl top = browser_->source();
        top.setFragment(QString());
        browser_->setSource(top);
    });
    connect(browser_, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(browser_->documentTitle()); });
    // Escape and Ctrl+W close the manual, as they close a viewer's window,
    // wherever the focus is in it (the browser would take Escape itself).
    for (QWidget* w : {static_cast<QWidget*>(browser_), static_cast<QWidget*>(back),
                       static_cast<QWidget*>(contents)})
        w->installEventFilter(this);
    resize(kSize);
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool closes = (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) ||
                            (key->key() == Qt::Key_W && key->modifiers() == Qt::ControlModifier);
        if (closes) {
            event->accept();
            if (event->type() == QEvent::ShortcutOverride) return false;
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QRect HelpWindow::PlaceBeside(const QRect& owner, const QRect& area, const QSize& wanted) {
    const QSize size = wanted.boundedTo(area.size());
    const int top = std::clamp(owner.top(), area.top(), area.bottom() + 1 - size.height());
    int left = 0;
    if (owner.right() + kGap + size.width() <= area.right() + 1) {
        left = owner.right() + 1 + kGap;
    } else if (owner.left() - kGap - size.width() >= area.left()) {
        left = owner.left() - kGap - size.width();
    } else {
        left = owner.right() + 1 - size.width();
    }
    left = std::clamp(left, area.left(), area.right() + 1 - size.width());
    return {QPoint(left, top), size};
}

QString HelpWindow::AnchorOf(int context) { return QStringLiteral("context-%1").arg(context); }

bool HelpWindow::ShowContext(const std::string& file, int context) {
    const QString path = QString::fromStdString(file);
    if (!QFileInfo(path).isReadable()) return false;
    QUrl url = QUrl::fromLocalFile(path);
    if (context != 0) url.setFragment(AnchorOf(context));
    browser_->setSource(url);
    // A fragment alone does not scroll when the page is already shown.
    if (context != 0) browser_->scrollToAnchor(AnchorOf(context));
    // The first time beside the main window; later where the user left it.
    if (!placed_ && parentWidget() != nullptr) {
        QWidget* owner = parentWidget()->window();
        const QScreen* screen = owner->screen();
        const QRect area = screen != nullptr ? screen->availableGeometry() : owner->frameGeometry();
        const QRect place = PlaceBeside(owner->frameGeometry(), area, size());
        resize(place.size());
        move(place.topLeft());  // the frame's corner, as the owner's
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace parlo::qt
