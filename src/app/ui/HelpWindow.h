#pragma once
// The help window: the pages of the park's help file with their pictures and links, its contents
// list, Back and Forward, and the page's title in the window title.
#include "app/HelpFile.h"

#include <QTextBrowser>
#include <QWidget>
#include <memory>

class QListWidget;

namespace tarnwick {

// A browser whose pages, style sheets and pictures come from a help file ("chm:/page.html").
class HelpBrowser : public QTextBrowser {
public:
    void setHelp(std::shared_ptr<HelpFile> help) { help_ = std::move(help); }
    QVariant loadResource(int type, const QUrl &name) override;

private:
    std::shared_ptr<HelpFile> help_;
};

class HelpWindow : public QWidget {
public:
    HelpWindow();
    // Shows `page` of `help`, its contents listed beside it.
    void showPage(std::shared_ptr<HelpFile> help, const std::string &page);

private:
    HelpBrowser *browser_;
    QListWidget *contents_;
    std::shared_ptr<HelpFile> help_;
};

} // namespace tarnwick
