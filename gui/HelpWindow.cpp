#include "gui/HelpWindow.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace parlo::qt {

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
    resize(640, 720);
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
    show();
    raise();
    activateWindow();
    return true;
}

}  // namespace parlo::qt
