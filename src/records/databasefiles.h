#pragma once

#include "core/programfolder.h"

#include <QString>

// The database files of an installation and the file operations on them.
// A database file travels with its write-ahead log ("-wal") and shared-memory
// ("-shm") companions, so a rename or delete never separates a log from its file.
namespace orlu {

namespace dbfile {
inline const QString Main = QStringLiteral("orlu4.mdb");
inline const QString Update = QStringLiteral("orlu430.mdb");
inline const QString Legacy = QStringLiteral("orlu.mdb");
inline const QString LegacyBackup = QStringLiteral("orlu_BAK.mdb");
inline const QString Template = QStringLiteral("KySpa.mdb");
inline const QString ReferenceTexts = QStringLiteral("orluCn.mdb");
inline const QString SuppliedCourses = QStringLiteral("orluMCn.mdb");
inline const QString Transfer = QStringLiteral("KyTran.mdb");
inline const QString Settings = QStringLiteral("KyDefCn.ini");
} // namespace dbfile

bool fileExists(const QString &path);
// Renames a database file with its companions; never overwrites an existing target.
bool renameDatabaseFile(const QString &from, const QString &to);
// Copies a database file (overwriting the target and dropping the target's old companions).
bool copyDatabaseFile(const QString &from, const QString &to);
bool deleteDatabaseFile(const QString &path);
bool isReadOnlyFile(const QString &path);
bool clearReadOnly(const QString &path);

// The start-up housekeeping that decides which file is the main database:
// an update "orlu430.mdb" replaces the main database (which becomes "orlu.mdb"
// for conversion), a stale update beside an unconverted "orlu.mdb" is dropped,
// and a missing main database is created from the empty template.
void upgradeDatabaseFiles(const ProgramFolder &folder);

} // namespace orlu
