#include "export/ui/frmFields.h"

#include "app/ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {
namespace {

// Courier New where it is installed, else the system's fixed-pitch font, else any installed
// fixed-pitch family, so that the columns line up.
QFont fixedPitch() {
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    if (QFontInfo(font).fixedPitch())
        return font;
    font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(font).fixedPitch())
        return font;
    for (const QString &family : QFontDatabase::families())
        if (QFontDatabase::isFixedPitch(family))
            return QFont(family);
    return font;
}

} // namespace

frmFields::frmFields(std::function<void()> onClosed)
    : list1_(new QListWidget), label1_(new QLabel), onClosed_(std::move(onClosed)) {
    setObjectName("frmFields");
    setWindowTitle("Table Fields");
    auto *layout = new QVBoxLayout(this);
    auto *frame = new QGroupBox("Field Name                                           Field Type  ");
    frame->setObjectName("Frame1");
    auto *inFrame = new QVBoxLayout(frame);
    list1_->setObjectName("List1");
    list1_->setFont(fixedPitch());
    inFrame->addWidget(list1_);
    layout->addWidget(frame, 1);
    label1_->setObjectName("Label1");
    layout->addWidget(label1_);
    auto *close = new QPushButton("Close");
    close->setObjectName("Command1");
    connect(close, &QPushButton::clicked, this, [this] { QWidget::close(); });
    layout->addWidget(close, 0, Qt::AlignRight);
    CloseOnEscape(this);
    resize(560, 420);
}

void frmFields::showList(const Browser::FieldList &list) {
    list1_->clear();
    for (const std::string &line : list.lines)
        list1_->addItem(QString::fromStdString(line));
    label1_->setText(QString::fromStdString(list.countLine));
}

void frmFields::closeEvent(QCloseEvent *event) {
    event->accept();
    onClosed_();
}

} // namespace tarnwick
