#pragma once

#include "core/programfolder.h"
#include "core/prompter.h"

#include <QDateTime>
#include <QList>
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
// Makes a new register from the empty template: a copy that is a register of its own, with
// an identity no other copy of the template has.
bool copyTemplateRegister(const QString &from, const QString &to, QString *error = nullptr);
bool deleteDatabaseFile(const QString &path);
bool isReadOnlyFile(const QString &path);
bool clearReadOnly(const QString &path);

// What the start-up housekeeping tells the operator: a message box type and its text.
struct StartupNotice {
    MessageType type;
    QString text;
};

struct HousekeepingReport {
    QList<StartupNotice> notices;
    // Why the main database could not be made from the template, if that failed.
    QString mainProblem;
};

// The start-up housekeeping that decides which file is the main database:
// an update "orlu430.mdb" replaces the main database (which becomes "orlu.mdb"
// for conversion), a stale update beside an unconverted "orlu.mdb" is dropped,
// and a missing main database is created from the empty template.
// An update takes part only once it passes the checks of a main database; one
// that fails leaves every file as it was. An update that holds subjects or
// measurements is never deleted but kept under a dated name ("orlu430-20261209-091500.mdb").
// A pipe or device in a database's place is never replaced. `now` dates the kept names.
HousekeepingReport upgradeDatabaseFiles(const ProgramFolder &folder, const QDateTime &now);

// "name-YYYYMMDD-HHMMSS.ext" in the folder of `path`, with "-2", "-3" ... added while taken.
QString datedFileName(const QString &path, const QDateTime &now);

// Folds a database's write-ahead log back into the file, so the file can be
// moved on its own. True when no log is left.
bool settleDatabaseFile(const QString &path);

} // namespace orlu
