#pragma once

#include "storage/columndef.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables of every database file the program reads or writes, defined once.
namespace orlu {

// Which set of tables a file holds.
enum class SchemaKind {
    Main,            // orlu4.mdb, KySpa.mdb, KyTran.mdb: KYCUST, KYDATA, KYPRO, KYPRDT, KYQUAL,
                     // ORLUREG, KYORIGIN
    ReferenceTexts,  // orluCn.mdb: KYMTDB
    SuppliedCourses, // orluMCn.mdb: KYPRO (with the eight extra texts), KYPRDT
    CalibrationLog   // KyCalLog.mdb: KYCALLOG, KYCALSET
};

// 2: KYQUAL, the quality of measured readings. 3: ORLUREG, the register's identity and
// time zone; KYORIGIN, where each measurement was taken.
constexpr int SchemaVersion = 3;

struct TableDef {
    const char *name;
    QList<ColumnDef> columns;
    // Files written before the table existed lack it; a reader takes its absence as
    // "no rows".
    bool optional = false;
};

QList<TableDef> tablesOf(SchemaKind kind);
const TableDef &tableDef(SchemaKind kind, const QString &table);
QStringList columnNames(const TableDef &table);
// "INSERT INTO table (a, b) VALUES (?, ?)": one row, every value bound in the columns' order.
QString insertSql(const QString &table, const QStringList &columns);

// Creates the tables and indexes of `kind` in an open, empty database, in one
// transaction. Returns false with a message on failure.
bool createSchema(QSqlDatabase &db, SchemaKind kind, QString *error = nullptr);
// The same inside a transaction the caller holds.
bool createSchemaObjects(QSqlDatabase &db, SchemaKind kind, QString *error = nullptr);

// The tables of later schema versions that a main database written by an earlier one lacks.
QStringList missingMainTables(const QSqlDatabase &db);
// Adds them, and the register's identity and time zone, to a main database written by an
// earlier version (a file opened for writing, or a server register). Nothing is written
// when they are there.
bool upgradeMainSchema(QSqlDatabase &db, QString *error = nullptr);
// Adds the tables and columns that a calibration log written by an earlier version lacks
// (a file opened for writing), in one transaction. Nothing is written when they are there.
bool upgradeCalibrationLog(QSqlDatabase &db, QString *error = nullptr);
// Whether the database holds the table.
bool hasTable(const QSqlDatabase &db, const QString &table);
// Whether the table has the column (letter case aside).
bool hasColumn(const QSqlDatabase &db, const QString &table, const QString &column);

// What creating a database file does with a file that is (or meanwhile comes) at its path.
enum class ExistingFile {
    Replace, // replaced, once the new one is complete
    Keep,    // kept and used: several programs creating one register all end up with one file
};

// Creates a new database file at path holding the empty tables of `kind`. It is made
// in a private work folder beside the path and takes its name in one step, so the
// path never holds a file without its tables.
bool createDatabaseFile(const QString &path, SchemaKind kind, QString *error = nullptr,
                        ExistingFile existing = ExistingFile::Replace);

} // namespace orlu
