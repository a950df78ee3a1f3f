#pragma once
// A temporary park with the desktop program's windows on it: a session answered by a scripted
// prompter, the real Progress window, and the navigator that makes the windows. Helpers click
// controls as the operator would.
#include "app/SiteTypes.h"
#include "app/Startup.h"
#include "app/ui/DesktopWindows.h"
#include "app/ui/Progress.h"
#include "db/ParkSchema.h"
#include "db/Recordset.h"
#include "support/ParkFormatUnderTest.h"
#include "support/ScriptedPrompter.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace tarnwick {

// A session of the desktop program answered by a scripted prompter, at a fixed time.
struct ScriptedSession {
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

// The park's folder, made before the session and removed after it has closed the park.
struct ParkFolder {
    TempDir dir;
};

struct DesktopPark : ParkFolder, ScriptedSession {
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
        return static_cast<W *>(w);
    }

    long count(const std::string &table) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        return rs.RecordCount();
    }

    // Values as QStrings, so that a failed comparison prints them.
    QStringList column(const std::string &table, const std::string &name) {
        Recordset rs;
        rs.Open("SELECT * FROM " + table, *session.ParkConnection, adOpenStatic, adLockReadOnly);
        QStringList out;
        for (; !rs.Eof(); rs.MoveNext())
            out << QString::fromStdString(rs.Fields(name).GetValue().toString());
        return out;
    }

};

// Clicks the list's entry named `text`; with Ctrl held, adds it to the selection.
inline void clickEntry(QListWidget *list, const QString &text, Qt::KeyboardModifiers modifiers = {}) {
    const QList<QListWidgetItem *> found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable("no entry " + text));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(found.first()).center());
}

// Runs `action` on the top-level window named `name` as soon as it is visible, from inside whatever
// event loop is running then (a picker waiting for its choice).
inline void whenVisible(const QString &name, std::function<void(QWidget *)> action) {
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, name, action] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == name && w->isVisible()) {
                timer->stop();
                timer->deleteLater();
                action(w);
                return;
            }
    });
    timer->start(10);
}

} // namespace tarnwick
