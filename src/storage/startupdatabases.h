#pragma once

#include "core/programfolder.h"
#include "storage/database.h"

#include <QString>

// Opening the databases a start needs, with the reason in the operator's words
// when a file cannot serve.
namespace orlu {

struct MainDatabaseOpening {
    bool opened = false;
    // "file：reason" when the main database could not be opened.
    QString failure;
    // Set when the file or its folder cannot be written: the register is open
    // for looking up records only, and saving is disabled for this reason.
    QString readOnlyReason;
    // The register is on a server: `failure` is already the whole message.
    bool onServer = false;
};

// Opens the main database for the run: writable when the file and its folder
// (which must take the write-ahead log) are, otherwise read-only. The tables
// and columns are checked before anything is shown. `problem` is a reason
// already known (the template could not be copied), used when the file is missing.
MainDatabaseOpening openMainDatabase(Database &db, const QString &path, const QString &problem = {});

// Connects to the register on a server and checks that it holds this program's
// register (schema version, tables and columns).
MainDatabaseOpening openServerRegister(Database &db, const QString &connection);

// Opens the register the program folder is set to: a server (ORLU_DATABASE or the
// folder's register setting) or the folder's main database file.
MainDatabaseOpening openFolderRegister(Database &db, const ProgramFolder &folder,
                                       const QString &problem = {});

// Opens the reference texts read-only with their table checked; the failure as
// "file：reason", or empty.
QString openReferenceTexts(Database &db, const QString &path);

// Why the file, or the folder that must take its log, cannot be written; empty when both can.
QString readOnlyReason(const QString &path);

} // namespace orlu
