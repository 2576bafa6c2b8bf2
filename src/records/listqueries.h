#pragma once

#include "records/sortcode.h"
#include "storage/sqldialect.h"

#include <QSqlDatabase>
#include <QString>

// SQL the record lists share. Text is ordered and matched as SQLite's NOCASE
// collation does (ASCII letters without regard to case; a server folds the same
// way), and every ordering and prefix search has an index behind it.
namespace orlu {

// "ORDER BY NAME COLLATE NOCASE DESC, MKEY DESC": MKEY keeps equal values in a fixed order.
QString subjectOrderBy(SubjectOrder order, const SqlDialect &dialect = SqlDialect(Backend::Sqlite));

// The expression the subject list is sorted by (never NULL on a server) and its direction.
struct SubjectSortKey {
    QString expression;
    bool descending = false;
};
SubjectSortKey subjectSortKey(SubjectOrder order, const SqlDialect &dialect);

// Half-open bounds [low, high) of the texts that begin with a prefix under NOCASE.
// `unbounded` is set when every text matches (an empty prefix).
struct PrefixRange {
    QString low;
    QString high;
    bool unbounded = false;
};
PrefixRange nocasePrefixRange(const QString &prefix);

} // namespace orlu
