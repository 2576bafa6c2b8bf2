#pragma once

#include "core/programfolder.h"

#include <QString>
#include <QTextStream>

namespace orlu {

class Database;

// Opens the register of `folder` (its file, or the server it is set to) for reading, for the commands that
// only look at the register. False after "command: why" on `err`.
bool openRegisterForReading(Database &db, const ProgramFolder &folder, const QString &command,
                            QTextStream &err);

} // namespace orlu
