#pragma once

#include "storage/schema.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

// Checks that a database file is what the program takes it for before it is
// used or moved: a regular file with the engine's header, the tables and
// columns of its kind, and pages the engine reads as sound.
namespace orlu {

enum class PageCheck {
    None,      // header and schema only: cheap enough for every start
    Quick,     // the engine's quick_check: every page read, no index cross-check
    Integrity, // the engine's integrity_check: everything, slow on a large register
};

// The missing tables and columns of `kind`, one finding each ("缺少数据表 KYDATA").
QStringList schemaFindings(QSqlDatabase db, SchemaKind kind);

// What quick_check or integrity_check reports other than "ok" (at most `limit` lines).
QStringList pageFindings(QSqlDatabase db, PageCheck depth, int limit = 20);

// Opens the file read-only and runs the checks. Empty when the file is sound;
// the findings do not repeat the file's name.
QStringList checkDatabaseFile(const QString &path, SchemaKind kind, PageCheck depth);

// Subjects plus measurements held in an open main database; -1 when they cannot be counted.
qint64 registerRowCount(QSqlDatabase db);
// The same for a file, opened read-only for the count.
qint64 registerRowCount(const QString &path);

// The operator's words for why a database file could not be opened:
// missing, not a regular file, no permission, not a database, damaged, locked.
QString openFailureReason(const QString &path, const QSqlError &engineError);

} // namespace orlu
