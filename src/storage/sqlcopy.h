#pragma once

#include "storage/copyprogress.h"
#include "storage/schema.h"

#include <QSqlDatabase>
#include <QString>

// Copying register rows between two schemas of one SQLite connection (the main
// database and an attached file) with INSERT ... SELECT, a slice of rows at a
// time so the progress moves on a large register.
namespace orlu {

// Appends every row of fromSchema.table to toSchema.table, copying `columns` in the
// source's row order; each value is brought to its column's type (a text where a
// number belongs counts as 0) so an odd source cannot store values of another kind.
// Runs inside the caller's transaction.
bool appendRowsBySql(QSqlDatabase db, const QString &fromSchema, const QString &toSchema,
                     const QString &table, const QList<ColumnDef> &columns, CopyProgress &progress,
                     QString *error);

// Rows of schema.table (of table alone when `schema` is empty).
qint64 countRows(QSqlDatabase db, const QString &schema, const QString &table);

// Attaches a file under `schema`, read-only when asked; false with a message on failure.
bool attachFile(QSqlDatabase db, const QString &path, const QString &schema, bool readOnly, QString *error);
void detachFile(QSqlDatabase db, const QString &schema);

// The statement's error as text ending in its SQLite result code in brackets,
// which sqliteCodeOf() reads back (0 when the text carries none).
QString sqlErrorText(const class QSqlQuery &query);
int sqliteCodeOf(const QString &errorText);

} // namespace orlu
