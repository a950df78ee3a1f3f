#pragma once
// The desktop program's progress window: captioned "Progress", holding the bar ProgressBar1.
#include "app/Prompter.h"

#include <QElapsedTimer>
#include <QWidget>

class QProgressBar;

namespace tarnwick {

class Progress : public QWidget, public ProgressSink {
public:
    Progress();
    void show(const std::string &caption) override;
    void setRange(long minimum, long maximum) override;
    void advance() override;
    void close() override;
    // Repaints the windows while a reader process is awaited; the operator's clicks wait.
    void waiting() override { paintNow(); }

    // The bar's position as the run set it (the bar on screen may lag by up to one repaint).
    long position() const { return position_; }

private:
    void paintNow();

    QProgressBar *bar_;
    long minimum_ = 0, maximum_ = 0, position_ = 0;
    QElapsedTimer sincePaint_;
};

} // namespace tarnwick
