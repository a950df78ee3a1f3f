#include "app/ui/EntryFocus.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace tarnwick {

const QColor kFocusColour(0, 255, 255);
const QColor kIdleColour(255, 255, 255);

namespace {

void paint(QWidget *box, const QColor &colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

class FocusFilter : public QObject {
public:
    FocusFilter(QLineEdit *box, std::function<void()> onLostFocus)
        : QObject(box), box_(box), onLostFocus_(std::move(onLostFocus)) {}

    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::FocusIn) {
            paint(box_, kFocusColour);
            // After the click that gave the focus has placed the cursor.
            if (!box_->text().isEmpty())
                QTimer::singleShot(0, box_, [] { SelectAllText(); });
        } else if (event->type() == QEvent::FocusOut) {
            paint(box_, kIdleColour);
            if (onLostFocus_)
                onLostFocus_();
        }
        return false;
    }

private:
    QLineEdit *box_;
    std::function<void()> onLostFocus_;
};

} // namespace

void SelectAllText() {
    if (auto *box = qobject_cast<QLineEdit *>(QApplication::focusWidget()))
        box->selectAll();
}

void InstallEntryFocus(QLineEdit *box, std::function<void()> onLostFocus) {
    paint(box, kIdleColour);
    box->installEventFilter(new FocusFilter(box, std::move(onLostFocus)));
}

} // namespace tarnwick
