#include "app/ui/QtPrompter.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

QMessageBox::Icon qtIcon(Icon icon) {
    switch (icon) {
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Exclamation:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QString lines(const std::string &text) {
    return QString::fromStdString(text).replace("\r\n", "\n");
}

} // namespace

void QtPrompter::notify(const std::string &text, Icon icon) {
    QMessageBox box(qtIcon(icon), "Tarnwick", lines(text), QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

Answer QtPrompter::ask(const std::string &text, Buttons buttons, Icon icon) {
    bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(qtIcon(icon), "Tarnwick", lines(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok | QMessageBox::Cancel,
                    QApplication::activeWindow());
    int result = box.exec();
    if (yesNo)
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    return result == QMessageBox::Ok ? Answer::OK : Answer::Cancel;
}

std::optional<std::string> QtPrompter::input(const std::string &title, const std::string &prompt) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), QString::fromStdString(title), lines(prompt),
                                         QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

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
    QWidget::show();
    repaint();
}

void Progress::setRange(long minimum, long maximum) {
    bar_->setRange(static_cast<int>(minimum), static_cast<int>(maximum));
    bar_->setValue(static_cast<int>(minimum));
    shownStep_ = -1;
}

void Progress::advance() {
    if (bar_->value() >= bar_->maximum())
        return;
    bar_->setValue(bar_->value() + 1);
    // Repaint only when the bar moves visibly, so long runs are not slowed by drawing.
    long span = std::max(1, bar_->maximum() - bar_->minimum());
    int step = static_cast<int>(200L * (bar_->value() - bar_->minimum()) / span);
    if (step != shownStep_) {
        shownStep_ = step;
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void Progress::close() {
    hide();
}

} // namespace tarnwick
