#include "storage/siderows.h"

#include "storage/schema.h"
#include "storage/sqlrow.h"

#include <QHash>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The new key of each measurement of `from`: the n-th of the source became the n-th
// above `keysAbove` in `to`. False when the two do not pair up.
bool newKeysOf(const QSqlDatabase &from, const QSqlDatabase &to, qint64 keysAbove,
               QHash<qint64, qint64> &newKeys, QString *error) {
    QSqlQuery sourceKeys(from);
    QSqlQuery targetKeys(to);
    sourceKeys.setForwardOnly(true);
    targetKeys.setForwardOnly(true);
    targetKeys.prepare(u"SELECT MKEY FROM KYDATA WHERE MKEY > ? ORDER BY MKEY"_s);
    targetKeys.addBindValue(keysAbove);
    if (!sourceKeys.exec(u"SELECT MKEY FROM KYDATA ORDER BY MKEY"_s))
        return sqlrow::fail(sourceKeys, error);
    if (!targetKeys.exec())
        return sqlrow::fail(targetKeys, error);
    while (sourceKeys.next()) {
        if (!targetKeys.next())
            break;
        newKeys.insert(sourceKeys.value(0).toLongLong(), targetKeys.value(0).toLongLong());
    }
    if (targetKeys.next() || sourceKeys.next()) {
        if (error)
            *error = u"复制后的测量笔数与来源不符，读数质量与测量来源无法对应。"_s;
        return false;
    }
    return true;
}

bool carryTable(const QSqlDatabase &from, QSqlDatabase to, const QString &table,
                const QHash<qint64, qint64> &newKeys, QString *error) {
    const QStringList names = columnNames(tableDef(SchemaKind::Main, table));
    const int key = int(names.indexOf(u"MKEY"_s));
    QSqlQuery read(from);
    read.setForwardOnly(true);
    if (!read.exec(u"SELECT %1 FROM %2"_s.arg(names.join(u", "_s), table)))
        return sqlrow::fail(read, error);
    QSqlQuery write(to);
    write.prepare(insertSql(table, names));
    while (read.next()) {
        const auto newKey = newKeys.constFind(read.value(key).toLongLong());
        if (newKey == newKeys.constEnd())
            continue; // a row of a measurement the source no longer holds
        for (int i = 0; i < names.size(); ++i)
            write.bindValue(i, i == key ? QVariant(*newKey) : read.value(i));
        if (!write.exec())
            return sqlrow::fail(write, error);
    }
    return true;
}

} // namespace

const QStringList &sideTables() {
    static const QStringList tables{u"KYQUAL"_s, u"KYORIGIN"_s};
    return tables;
}

bool carrySideRows(const QSqlDatabase &from, QSqlDatabase to, qint64 keysAbove, QString *error) {
    QStringList carried;
    for (const QString &table : sideTables()) {
        if (hasTable(from, table))
            carried << table;
    }
    if (carried.isEmpty())
        return true;
    if (!upgradeMainSchema(to, error))
        return false;
    QHash<qint64, qint64> newKeys;
    if (!newKeysOf(from, to, keysAbove, newKeys, error))
        return false;
    for (const QString &table : carried) {
        if (!carryTable(from, to, table, newKeys, error))
            return false;
    }
    return true;
}

bool deleteAllSideRows(QSqlDatabase db, QString *error) {
    for (const QString &table : sideTables()) {
        QSqlQuery q(db);
        if (hasTable(db, table) && !q.exec(u"DELETE FROM "_s + table))
            return sqlrow::fail(q, error);
    }
    return true;
}

qint64 highestMeasurementKey(const QSqlDatabase &db) {
    QSqlQuery q(db);
    return q.exec(u"SELECT coalesce(max(MKEY), 0) FROM KYDATA"_s) && q.next() ? q.value(0).toLongLong() : 0;
}

} // namespace orlu
