#include "editors/ui/EditorWidgets.h"

#include "app/ui/EntryFocus.h"

namespace tarnwick {

QLineEdit *EditorBox(const QString &name, const QString &tip) {
    auto *box = new QLineEdit;
    box->setObjectName(name);
    box->setToolTip(tip);
    InstallEntryFocus(box);
    return box;
}

QLabel *BoxCaption(const QString &text, QWidget *box) {
    auto *label = new QLabel(text);
    label->setBuddy(box);
    return label;
}

QPushButton *NamedButton(const QString &caption, const QString &name, const QString &tip) {
    auto *button = new QPushButton(caption);
    button->setObjectName(name);
    button->setToolTip(tip);
    return button;
}

QCheckBox *NamedCheck(const QString &caption, const QString &name, const QString &tip) {
    auto *box = new QCheckBox(caption);
    box->setObjectName(name);
    box->setToolTip(tip);
    return box;
}

} // namespace tarnwick
