#pragma once

#include <QByteArray>
#include <QSqlDatabase>
#include <QString>

#include "storage/sqldialect.h"

// Subjects are listed by name in pinyin order, the collation of the Chinese (China)
// locale. SQLite knows no such order, and the register file must stay readable by any
// SQLite tool and by older versions of the program, so the order is kept in plain
// values beside the subjects: KYCUST_SORT (MKEY, NAME, SORTKEY) with an ordinary index
// on (SORTKEY, MKEY). NAME is the text the key was made from, so a name that an older
// program changed is noticed; KYCUST_SORTVER holds the collation version the keys were
// made with. A server orders by its own ICU collation and keeps none of this.
namespace orlu {

// The collation key of a name: keys compare byte by byte as the names do in pinyin order.
QByteArray nameSortKey(const QString &name);
// The version of the collation behind the keys; keys of another version are made again.
QString nameCollationVersion();

// Writes the key of subject `key` inside the caller's transaction (nothing on a server).
bool writeNameSortKey(QSqlDatabase db, qint64 key, const QString &name, QString *error = nullptr);

// Drops the key of a deleted subject, inside the caller's transaction.
bool removeNameSortKey(QSqlDatabase db, qint64 key, QString *error = nullptr);

// Creates the side table where missing, makes the keys that are missing or stale, drops
// those of deleted subjects, and makes all of them again after a change of collation
// version, in one transaction. Reads only when everything is in place. A quick check
// (a moment at any size) trusts the keys when the newest subject has one, as this
// program writes a key with every subject; a thorough one also finds subjects that an
// older program or another tool renamed or deleted. A file this program may not write
// gets its keys in a temporary table for the session.
enum class KeyCheck { Quick, Thorough };
bool refreshNameSortKeys(QSqlDatabase db, KeyCheck check, QString *error = nullptr);

// The expression KYCUST rows are ordered by name with: the side table's key in a
// file, the server's ICU collation on a server (never NULL, as the other list keys).
QString nameOrderExpression(const SqlDialect &dialect);
// The whole subject list of a file by name, through the side table's index alone; the
// keys must have been refreshed when the register or the list was opened.
QString nameListQuery(bool descending);

} // namespace orlu
