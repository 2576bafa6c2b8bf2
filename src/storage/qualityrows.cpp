#include "storage/qualityrows.h"

#include "core/channels.h"
#include "core/readingcaveats.h"
#include "storage/schema.h"
#include "storage/sqlrow.h"

#include <QHash>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The statements over every column of KYQUAL, in the table's order.
struct QualityStatements {
    QString select;
    QString insert;
};

const QualityStatements &qualityColumns() {
    static const QualityStatements statements = [] {
        const QStringList names = columnNames(tableDef(SchemaKind::Main, u"KYQUAL"_s));
        return QualityStatements{u"SELECT %1 FROM KYQUAL"_s.arg(names.join(u", "_s)),
                                 insertSql(u"KYQUAL"_s, names)};
    }();
    return statements;
}

} // namespace

bool writeQualityRows(QSqlDatabase db, qint64 measurementKey, const MeasurementQuality &quality,
                      QString *error) {
    QSqlQuery q(db);
    q.prepare(qualityColumns().insert);
    for (int c = 1; c <= ChannelCount; ++c) {
        const std::optional<PointQuality> &p = quality[size_t(c - 1)];
        if (!p)
            continue;
        for (const QVariant &v :
             {QVariant(measurementKey), QVariant(c), QVariant(p->samples), QVariant(p->mean), QVariant(p->sd),
              QVariant(p->driftPercentPerSecond), QVariant(p->settlingPercent), QVariant(p->attempts),
              QVariant(p->flags), QVariant(verdictWord(p->verdict))})
            q.addBindValue(v);
        if (!q.exec())
            return sqlrow::fail(q, error);
    }
    return true;
}

bool writeUnmeasuredRows(QSqlDatabase db, qint64 measurementKey, const std::array<double, 24> &readings,
                         QString *error) {
    QSqlQuery q(db);
    q.prepare(qualityColumns().insert);
    for (int c = 1; c <= ChannelCount; ++c) {
        if (readings[size_t(c - 1)] != 0.0)
            continue;
        for (const QVariant &v :
             {QVariant(measurementKey), QVariant(c), QVariant(0), QVariant(0.0), QVariant(0.0), QVariant(0.0),
              QVariant(0.0), QVariant(0), QVariant(0), QVariant(unmeasuredWord())})
            q.addBindValue(v);
        if (!q.exec())
            return sqlrow::fail(q, error);
    }
    return true;
}

bool deleteQualityRows(QSqlDatabase db, qint64 measurementKey, QString *error) {
    if (!hasTable(db, u"KYQUAL"_s))
        return true;
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM KYQUAL WHERE MKEY = ?"_s);
    q.addBindValue(measurementKey);
    return q.exec() || sqlrow::fail(q, error);
}

bool deleteAllQualityRows(QSqlDatabase db, QString *error) {
    QSqlQuery q(db);
    return !hasTable(db, u"KYQUAL"_s) || q.exec(u"DELETE FROM KYQUAL"_s) || sqlrow::fail(q, error);
}

MeasurementQuality readQualityRows(const QSqlDatabase &db, qint64 measurementKey) {
    MeasurementQuality quality{};
    if (!hasTable(db, u"KYQUAL"_s))
        return quality;
    QSqlQuery q(db);
    q.prepare(u"SELECT CHANNEL, SAMPLES, MEAN, SD, DRIFT, SETTLING, ATTEMPTS, FLAGS, VERDICT FROM KYQUAL "
              "WHERE MKEY = ?"_s);
    q.addBindValue(measurementKey);
    if (!q.exec())
        return quality;
    while (q.next()) {
        const int c = q.value(0).toInt();
        const std::optional<QualityVerdict> verdict = verdictFromWord(q.value(8).toString());
        if (c < 1 || c > ChannelCount || !verdict)
            continue;
        PointQuality p;
        p.samples = q.value(1).toInt();
        p.mean = q.value(2).toDouble();
        p.sd = q.value(3).toDouble();
        p.cvPercent = p.mean != 0 ? 100.0 * p.sd / p.mean : 0.0;
        p.driftPercentPerSecond = q.value(4).toDouble();
        p.settlingPercent = q.value(5).toDouble();
        p.attempts = q.value(6).toInt();
        p.flags = q.value(7).toUInt();
        p.verdict = *verdict;
        quality[size_t(c - 1)] = p;
    }
    return quality;
}

qint64 highestMeasurementKey(const QSqlDatabase &db) {
    QSqlQuery q(db);
    return q.exec(u"SELECT coalesce(max(MKEY), 0) FROM KYDATA"_s) && q.next() ? q.value(0).toLongLong() : 0;
}

bool carryQualityRows(const QSqlDatabase &from, QSqlDatabase to, qint64 keysAbove, QString *error) {
    if (!hasTable(from, u"KYQUAL"_s))
        return true;
    if (!upgradeMainSchema(to, error))
        return false;
    // The n-th measurement of the source became the n-th new one of the target.
    QHash<qint64, qint64> newKeys;
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
            *error = u"复制后的测量笔数与来源不符，读数质量无法对应。"_s;
        return false;
    }
    QSqlQuery read(from);
    read.setForwardOnly(true);
    if (!read.exec(qualityColumns().select))
        return sqlrow::fail(read, error);
    QSqlQuery write(to);
    write.prepare(qualityColumns().insert);
    while (read.next()) {
        const auto key = newKeys.constFind(read.value(0).toLongLong());
        if (key == newKeys.constEnd())
            continue; // quality of a measurement the source no longer holds
        write.bindValue(0, *key);
        for (int i = 1; i < 10; ++i)
            write.bindValue(i, read.value(i));
        if (!write.exec())
            return sqlrow::fail(write, error);
    }
    return true;
}

} // namespace orlu
