#include "app/ui/Progress.h"

#include "app/ui/WindowPlacement.h"

#include <QApplication>
#include <QProgressBar>
#include <QVBoxLayout>
#include <climits>

namespace tarnwick {
namespace {

// The bar is drawn at most this often: often enough to be seen moving, rarely enough that a long
// run does not wait for the screen.
constexpr qint64 kPaintInterval = 50;

int clamped(long value) {
    return static_cast<int>(std::max<long>(INT_MIN, std::min<long>(INT_MAX, value)));
}

} // namespace

Progress::Progress() : bar_(new QProgressBar(this)) {
    setObjectName("Progress");
    setWindowTitle("Progress");
    bar_->setObjectName("ProgressBar1");
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar_);
    resize(360, 60);
}

void Progress::show(const std::string &caption) {
    setWindowTitle(QString::fromStdString(caption.empty() ? "Progress" : caption));
    // Over the window whose work it shows, and above it.
    if (!isVisible())
        PlaceOver(this, VisibleMainWindow());
    QWidget::show();
    raise();
    paintNow();
}

void Progress::setRange(long minimum, long maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    position_ = minimum;
    bar_->setRange(clamped(minimum_), clamped(maximum_));
    paintNow();
}

void Progress::advance() {
    if (position_ >= maximum_)
        return;
    ++position_;
    if (sincePaint_.elapsed() >= kPaintInterval)
        paintNow();
}

void Progress::close() {
    bar_->setValue(clamped(position_));
    hide();
}

void Progress::paintNow() {
    bar_->setValue(clamped(position_));
    // Paint and expose events only: the operator's clicks wait until the run is over, as the run
    // must not be entered again from a window while it works.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    sincePaint_.restart();
}

} // namespace tarnwick
