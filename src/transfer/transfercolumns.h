#pragma once

#include "storage/schema.h"

#include <QList>
#include <QString>
#include <QStringList>

// Which columns of the four register tables travel in an import, an export or
// the take-over of an older database. Every source (our own files and older
// Access files) goes through this one mapping.
namespace orlu {

// The four tables in copy order: subjects before their measurements, courses
// before their conditions.
inline const QStringList RecordTables{QStringLiteral("KYCUST"), QStringLiteral("KYDATA")};
inline const QStringList CourseTables{QStringLiteral("KYPRO"), QStringLiteral("KYPRDT")};

// The columns a copy of `table` carries (never MKEY: copies get new keys), in order.
QList<ColumnDef> copiedColumns(const QString &table);

// The columns an older file may lack, as groups: once a column of a group is
// missing, the rest of that group is not copied either.
QList<QStringList> skippableGroups(const QString &table);

// Of the copied columns, those a source holding `sourceColumns` (compared without
// regard to letter case) provides under the group rule.
QList<ColumnDef> columnsToCopy(const QString &table, const QStringList &sourceColumns);

// The copied columns a source must have; empty when it has them all.
QStringList missingColumns(const QString &table, const QStringList &sourceColumns);

} // namespace orlu
