#pragma once

#include "core/programfolder.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

namespace orlu {

// Copies the open main database whole into "orlu4-backup-YYYYMMDD-HHMMSS.mdb" in the
// program folder (VACUUM INTO: a consistent copy even while the program holds the
// file) and checks the copy. Returns the backup's file name, or an empty name with
// `error` set; a failed backup leaves no file behind.
QString backupMainDatabase(QSqlDatabase db, const ProgramFolder &folder, const QDateTime &now,
                           QString *error = nullptr);

} // namespace orlu
