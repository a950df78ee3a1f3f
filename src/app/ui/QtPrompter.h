#pragma once
// Message boxes, input boxes and the progress window of the desktop program.
#include "app/Prompter.h"

#include <QPointer>
#include <QWidget>

class QProgressBar;

namespace tarnwick {

class QtPrompter : public Prompter {
public:
    void notify(const std::string &text, Icon icon) override;
    Answer ask(const std::string &text, Buttons buttons, Icon icon) override;
    std::optional<std::string> input(const std::string &title, const std::string &prompt) override;
};

// The window captioned "Progress" holding the bar ProgressBar1.
class Progress : public QWidget, public ProgressSink {
public:
    Progress();
    void show(const std::string &caption) override;
    void setRange(long minimum, long maximum) override;
    void advance() override;
    void close() override;

private:
    QProgressBar *bar_;
    int shownStep_ = -1;
};

} // namespace tarnwick
