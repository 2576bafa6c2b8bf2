#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The tables of every database file the program reads or writes, defined once.
namespace orlu {

// Which set of tables a file holds.
enum class SchemaKind {
    Main,           // orlu4.mdb, KySpa.mdb, KyTran.mdb: KYCUST, KYDATA, KYPRO, KYPRDT, KYQUAL
    ReferenceTexts, // orluCn.mdb: KYMTDB
    SuppliedCourses // orluMCn.mdb: KYPRO (with the eight extra texts), KYPRDT
};

// 2: KYQUAL, the quality of measured readings.
constexpr int SchemaVersion = 2;

struct ColumnDef {
    const char *name;
    enum Type { Text, Memo, Boolean, DateTime, Float, Integer, AutoKey, Blob } type;
    int size; // characters, for Text only
};

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

// Creates the tables and indexes of `kind` in an open, empty database, in one
// transaction. Returns false with a message on failure.
bool createSchema(QSqlDatabase &db, SchemaKind kind, QString *error = nullptr);
// The same inside a transaction the caller holds.
bool createSchemaObjects(QSqlDatabase &db, SchemaKind kind, QString *error = nullptr);

// Adds the tables of later schema versions to a main database written by an earlier one
// (a file opened for writing). Nothing is written when they are there.
bool upgradeMainSchema(QSqlDatabase &db, QString *error = nullptr);
// Whether the database holds the table.
bool hasTable(const QSqlDatabase &db, const QString &table);

// Creates a new database file at path holding the empty tables of `kind`.
// An existing file is replaced only once the new one is complete.
bool createDatabaseFile(const QString &path, SchemaKind kind, QString *error = nullptr);

} // namespace orlu
