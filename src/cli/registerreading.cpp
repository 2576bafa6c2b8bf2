#include "cli/registerreading.h"

#include "storage/database.h"
#include "storage/databasefiles.h"
#include "storage/registersetting.h"
#include "storage/serverconnection.h"
#include "storage/startupdatabases.h"

namespace orlu {

bool openRegisterForReading(Database &db, const ProgramFolder &folder, const QString &command,
                            QTextStream &err) {
    // A folder set to a server reads the register there, never its own file.
    const QString where = registerLocation(folder);
    if (isServerConnection(where)) {
        const MainDatabaseOpening opening = openServerRegister(db, where);
        if (!opening.opened)
            err << command << ": " << opening.failure << '\n';
        return opening.opened;
    }
    QString error;
    if (!db.open(where, Database::Access::ReadOnly, &error)) {
        err << command << ": " << error << '\n';
        return false;
    }
    return true;
}

} // namespace orlu
