#include "cli/registerreading.h"

#include "records/database.h"
#include "records/databasefiles.h"

namespace orlu {

bool openRegisterForReading(Database &db, const ProgramFolder &folder, const QString &command,
                            QTextStream &err) {
    QString error;
    if (!db.open(folder.file(dbfile::Main), Database::Access::ReadOnly, &error)) {
        err << command << ": " << error << '\n';
        return false;
    }
    return true;
}

} // namespace orlu
