#pragma once
// The import window on a temporary desktop park, and its controls worked as the operator works them:
// found by object name, buttons clicked on their captions, drop-downs set by their text.
#include "import/ui/frmReadEcel.h"
#include "support/DesktopPark.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QListWidget>
#include <QtTest>
#include <memory>

namespace tarnwick {

// The texts a drop-down offers, in order.
inline QStringList ItemsOf(const QComboBox *box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

class ImportWindowDriver {
protected:
    std::unique_ptr<DesktopPark> park;
    frmReadEcel *window = nullptr;

    // The control `name` of the window; a missing one ends the run, naming it.
    template <typename W> W *control(const QString &name) {
        W *w = window->findChild<W *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QListWidget *files() { return control<QListWidget>("File1"); }
    // Clicks a button on its caption's left end (an option button takes clicks on its text only).
    void click(const QString &name) {
        auto *button = control<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(12, button->height() / 2));
    }
    void choose(const QString &dropDown, const QString &title) {
        control<QComboBox>(dropDown)->setCurrentText(title);
        QCOMPARE(control<QComboBox>(dropDown)->currentText(), title);
    }
    void openWindow() {
        window = park->show<frmReadEcel>(WindowId::Import);
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    void closePark() {
        park.reset();
        window = nullptr;
    }
};

} // namespace tarnwick
