#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "storage/copyprogress.h"
#include "storage/database.h"

#include <QString>

namespace orlu {

struct LegacyConversionOutcome {
    bool ran = false; // false: there was no "orlu.mdb"
    bool ok = false;
    QString message;    // for a type-6 message box; empty when there is nothing to say
    QString backupFile; // the main database's copy made before the conversion
};

// Takes over the database of an earlier installation, "orlu.mdb" in the program folder
// (one of our own files or an Access file): after a backup of the main database, all its
// subjects, measurements, courses and conditions are appended to the main database in one
// transaction, and the old file is then renamed "orlu_BAK.mdb" (replacing an older one).
// When anything fails the main database stays as it was and "orlu.mdb" keeps its name.
LegacyConversionOutcome convertLegacyDatabase(Database &main, const ProgramFolder &folder, const Clock &clock,
                                              TransferObserver *observer = nullptr);

} // namespace orlu
