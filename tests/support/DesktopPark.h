#pragma once
// A temporary park with the desktop program's windows on it (a session answered by a scripted
// prompter, the real Progress window, the navigator that makes the windows), and the operator's
// hand on them: controls found by name, clicked, typed into and chosen from.
#include "app/SiteTypes.h"
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QTableView>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>

namespace tarnwick {

// A session of the desktop program answered by a scripted prompter, at a fixed time, and a
// temporary folder made before the session and removed after it has closed its park.
struct ScriptedSession {
    TempDir dir;
    ScriptedPrompter prompter;
    Progress progress;
    FixedClock clock{2026, 12, 4, 9, 5};
    Session session{prompter, progress, clock};

    // Every message, question and input box shown so far.
    QStringList said() const {
        QStringList out;
        for (const std::string &text : prompter.texts())
            out << QString::fromStdString(text);
        return out;
    }
};

struct DesktopPark : ScriptedSession {
    Navigator navigator{session};

    DesktopPark() {
        CreateParkDatabase(dir.path(), ParkFormatUnderTest());
        session.AppFolder = session.DbFolder = dir.path();
        CreateRVCon(session);
        DefineWindows(navigator);
    }

    template <typename W = QWidget> W *show(WindowId id) {
        QWidget *w = navigator.window(id);
        w->show();
        if (!QTest::qWaitForWindowExposed(w))
            qFatal("window %d was not shown", static_cast<int>(id));
        return static_cast<W *>(w);
    }
    // The window, which must exist and be shown: else the run ends, naming it.
    QWidget *shown(WindowId id) const {
        QWidget *w = navigator.existing(id);
        if (!w || !w->isVisible())
            qFatal("window %d is not shown", static_cast<int>(id));
        return w;
    }

    // The values of `field` in the rows `sql` selects, or of every field row after row when `field`
    // is empty; as QStrings, so that a failed comparison prints them.
    QStringList values(const std::string &sql, const std::string &field = "") {
        Recordset rs;
        rs.Open(sql, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            for (int i = 0; i < rs.Fields().Count(); ++i)
                if (field.empty() || rs.Fields()[i].Name() == field)
                    out << QString::fromStdString(rs.Fields()[i].GetValue().toString());
        return out;
    }
    QStringList column(const std::string &table, const std::string &field) {
        return values("SELECT * FROM " + table, field);
    }
};

// The control `name` of `window`; a missing one ends the run, naming it.
template <typename W = QWidget> W *control(const QWidget *window, const QString &name) {
    W *w = window->findChild<W *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

// What each control named shows: its text, a frame's title, a drop-down's choice.
inline QStringList shows(const QWidget *window, const QStringList &names) {
    QStringList out;
    for (const QString &name : names) {
        QWidget *w = control(window, name);
        const auto *frame = qobject_cast<QGroupBox *>(w);
        out << (frame ? frame->title() : w->property(qobject_cast<QComboBox *>(w) ? "currentText" : "text").toString());
    }
    return out;
}

// Clicks a button on its caption's left end (an option button takes clicks on its text only).
inline void click(const QWidget *window, const QString &name) {
    auto *button = control<QAbstractButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(12, button->height() / 2));
}

// Types `text` over the whole of a box, which keeps the focus.
inline void type(const QWidget *window, const QString &box, const QString &text) {
    auto *edit = control<QLineEdit>(window, box);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

// Clicks `button` with `answers` queued for the questions it asks; every box shown meanwhile.
inline QStringList clickSays(ScriptedSession &session, const QWidget *window, const QString &button,
                             std::initializer_list<Answer> answers = {}) {
    session.prompter.expect(answers);
    click(window, button);
    return session.said();
}

// Chooses a title in each drop-down named.
inline void choose(const QWidget *window, std::initializer_list<std::pair<QString, QString>> choices) {
    for (const auto &[dropDown, title] : choices) {
        auto *box = control<QComboBox>(window, dropDown);
        box->setCurrentIndex(box->findText(title));
        QCOMPARE(box->currentText(), title);
    }
}

// The texts a drop-down or a list offers, in order.
template <typename W> QStringList entries(const W *box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->model()->index(i, 0).data().toString();
    return out;
}

// Clicks the entry named `text` of the window's list `list` (twice for a double-click); with Ctrl
// held, adds it to the selection.
inline void clickEntry(const QWidget *window, const QString &list, const QString &text,
                       Qt::KeyboardModifiers modifiers = {}, bool twice = false) {
    auto *box = control<QListWidget>(window, list);
    const QList<QListWidgetItem *> found = box->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable("no entry " + text));
    const QPoint at = box->visualItemRect(found.first()).center();
    QTest::mouseClick(box->viewport(), Qt::LeftButton, modifiers, at);
    if (twice)
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, modifiers, at);
}

// Clicks the ID cell of grid row `row` (from 1) of an editor window.
inline void clickId(const QWidget *editor, int row) {
    QHeaderView *ids = control<QTableView>(editor, "MSFlexGrid1")->verticalHeader();
    QTest::mouseClick(ids->viewport(), Qt::LeftButton, {}, QPoint(3, ids->sectionViewportPosition(row - 1) + 3));
}

// The visible top-level window named `name`, or null.
inline QWidget *topLevel(const QString &name) {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

// Runs `action` on the top-level window named `name` as soon as it is visible, from inside whatever
// event loop is running then (a picker waiting for its choice).
inline void whenVisible(const QString &name, std::function<void(QWidget *)> action) {
    QTimer::singleShot(10, [name, action] {
        if (QWidget *w = topLevel(name))
            action(w);
        else
            whenVisible(name, action);
    });
}

// The values the Progress window's bar showed part-way while it was shown. Timers run only when the
// windows are repainted, so every value seen was painted mid-run.
struct BarWatch {
    QProgressBar *bar;
    QSet<int> seen;
    QTimer timer;
    explicit BarWatch(Progress &progress) : bar(control<QProgressBar>(&progress, "ProgressBar1")) {
        QObject::connect(&timer, &QTimer::timeout, [this, &progress] {
            if (progress.isVisible() && bar->value() > 0 && bar->value() < bar->maximum())
                seen.insert(bar->value());
        });
        timer.start(1);
    }
};

// Empty when `small` sits in the middle of `owner` (to the pixel a frame may shift it) and is kept
// above it; else what is wrong.
inline QString placement(const QWidget *small, const QWidget *owner) {
    const QPoint offset = small->frameGeometry().center() - owner->frameGeometry().center();
    QString said;
    if (offset.manhattanLength() > 2)
        said += QString("off the middle by %1 (%2 over %3); ")
                    .arg(QDebug::toString(offset), QDebug::toString(small->frameGeometry()),
                         QDebug::toString(owner->frameGeometry()));
    if (!small->windowHandle() || small->windowHandle()->transientParent() != owner->windowHandle())
        said += "not kept above its owner";
    return said;
}

// Escape pressed in `window`, made the active window as a click on it would.
inline void pressEscape(QWidget *window) {
    QApplication::setActiveWindow(window);
    QTest::keyClick(window, Qt::Key_Escape);
}

} // namespace tarnwick
