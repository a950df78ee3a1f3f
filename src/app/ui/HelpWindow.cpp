#include "app/ui/HelpWindow.h"

#include "app/ui/WindowPlacement.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

namespace tarnwick {

QVariant HelpBrowser::loadResource(int type, const QUrl &name) {
    if (!help_ || name.scheme() != "chm")
        return {};
    const std::optional<std::string> bytes = help_->read(name.path().toStdString());
    if (!bytes)
        return {};
    if (type == QTextDocument::ImageResource)
        return QByteArray(bytes->data(), static_cast<int>(bytes->size()));
    return QString::fromUtf8(bytes->data(), static_cast<int>(bytes->size()));
}

HelpWindow::HelpWindow() : browser_(new HelpBrowser), contents_(new QListWidget) {
    setObjectName("HelpWindow");
    setWindowTitle("Tarnwick Help");
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenLinks(true);
    contents_->setObjectName("HelpContents");
    auto *back = new QPushButton("Back");
    back->setObjectName("HelpBack");
    auto *forward = new QPushButton("Forward");
    forward->setObjectName("HelpForward");
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl &source) {
        setWindowTitle(browser_->documentTitle().isEmpty() ? QString("Tarnwick Help") : browser_->documentTitle());
        // The contents list follows the page shown, however it was reached.
        for (int i = 0; i < contents_->count(); ++i)
            if (contents_->item(i)->data(Qt::UserRole).toString() == source.path())
                contents_->setCurrentRow(i);
    });
    connect(contents_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { browser_->setSource(QUrl("chm:" + item->data(Qt::UserRole).toString())); });

    auto *layout = new QVBoxLayout(this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    auto *splitter = new QSplitter;
    splitter->addWidget(contents_);
    splitter->addWidget(browser_);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({220, 600});
    layout->addWidget(splitter, 1);
    ResizeWithinScreen(this, 820, 560);
}

void HelpWindow::showPage(std::shared_ptr<HelpFile> help, const std::string &page) {
    if (help != help_) {
        help_ = help;
        browser_->setHelp(help);
        browser_->clearHistory();
        browser_->clear();
        contents_->clear();
        for (const HelpEntry &entry : help->contents()) {
            auto *item = new QListWidgetItem(QString::fromStdString(entry.name), contents_);
            item->setData(Qt::UserRole, QString::fromStdString(entry.local));
        }
    }
    browser_->setSource(QUrl("chm:" + QString::fromStdString(page)));
    show();
    raise();
    activateWindow();
}

} // namespace tarnwick
