#pragma once
// Small pieces the two editor windows build their panels from.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tarnwick {

// An entry box named `name` with the editors' focus colours and select-all.
QLineEdit *EditorBox(const QString &name, const QString &tip = {});
// A caption label for a box.
QLabel *BoxCaption(const QString &text, QWidget *box);
QPushButton *NamedButton(const QString &caption, const QString &name, const QString &tip = {});
QCheckBox *NamedCheck(const QString &caption, const QString &name, const QString &tip = {});

} // namespace tarnwick
