#include "storage/originrows.h"

#include "storage/registeridentity.h"
#include "storage/schema.h"
#include "storage/sqlrow.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString Table = u"KYORIGIN"_s;

} // namespace

bool writeOriginRow(QSqlDatabase db, qint64 measurementKey, const MeasurementOrigin &origin, QString *error) {
    if (!hasTable(db, Table))
        return true;
    QSqlQuery q(db);
    q.prepare(insertSql(Table, columnNames(tableDef(SchemaKind::Main, Table))));
    q.addBindValue(measurementKey);
    q.addBindValue(origin.timeZone.isEmpty() ? seatTimeZone() : origin.timeZone);
    q.addBindValue(sqlrow::text(origin.probeSerial));
    q.addBindValue(sqlrow::text(origin.probeHardware));
    return q.exec() || sqlrow::fail(q, error);
}

bool deleteOriginRow(QSqlDatabase db, qint64 measurementKey, QString *error) {
    if (!hasTable(db, Table))
        return true;
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM KYORIGIN WHERE MKEY = ?"_s);
    q.addBindValue(measurementKey);
    return q.exec() || sqlrow::fail(q, error);
}

QList<MeasurementOrigin> probesSeen(const QSqlDatabase &db) {
    QList<MeasurementOrigin> probes;
    if (!hasTable(db, Table))
        return probes;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(u"SELECT o.PROBESN, o.PROBEHW FROM KYORIGIN o JOIN (SELECT PROBESN, max(MKEY) AS LATEST FROM "
                "KYORIGIN WHERE PROBESN <> '' GROUP BY PROBESN) p ON o.MKEY = p.LATEST ORDER BY o.MKEY"_s))
        return probes;
    while (q.next())
        probes.append({QString(), q.value(0).toString(), q.value(1).toString()});
    return probes;
}

} // namespace orlu
