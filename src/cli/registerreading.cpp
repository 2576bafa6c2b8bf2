#include "cli/registerreading.h"

#include "records/database.h"
#include "records/databasefiles.h"
#include "records/registersetting.h"
#include "records/serverconnection.h"
#include "records/startupdatabases.h"

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
