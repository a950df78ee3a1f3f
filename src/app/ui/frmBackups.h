#pragma once
// The window "Restore a Backup": the park's backups with what each holds, and the restore of the
// one selected.
#include "app/Session.h"

#include <QWidget>

class QTableWidget;

namespace tarnwick {

class frmBackups : public QWidget {
public:
    explicit frmBackups(Session &session);
    // Reads the backups of the database folder again.
    void refresh();

private:
    Session &session_;
    QTableWidget *list_;
};

} // namespace tarnwick
