#include "records/qualityrows.h"

#include "core/channels.h"
#include "records/schema.h"
#include "records/sqlrow.h"

namespace orlu {

using namespace Qt::StringLiterals;

bool writeQualityRows(QSqlDatabase db, qint64 measurementKey, const MeasurementQuality &quality,
                      QString *error) {
    QSqlQuery q(db);
    q.prepare(
        u"INSERT INTO KYQUAL (MKEY, CHANNEL, SAMPLES, MEAN, SD, DRIFT, SETTLING, ATTEMPTS, FLAGS, VERDICT) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
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

bool deleteQualityRows(QSqlDatabase db, qint64 measurementKey, QString *error) {
    if (!hasTable(db, u"KYQUAL"_s))
        return true;
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM KYQUAL WHERE MKEY = ?"_s);
    q.addBindValue(measurementKey);
    return q.exec() || sqlrow::fail(q, error);
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

} // namespace orlu
