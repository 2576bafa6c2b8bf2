#include "storage/qualityrows.h"

#include "core/channels.h"
#include "quality/readingcaveats.h"
#include "quality/verdicts.h"
#include "storage/schema.h"
#include "storage/sqlrow.h"

#include <QHash>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString QualityTable = u"KYQUAL"_s;

// The columns of KYQUAL in the table's order, and the statements over all of them.
struct QualityColumns {
    QStringList names;
    QString select;
    QString insert;
};

const QualityColumns &qualityColumns() {
    static const QualityColumns columns = [] {
        const QStringList names = columnNames(tableDef(SchemaKind::Main, QualityTable));
        return QualityColumns{names, u"SELECT %1 FROM %2"_s.arg(names.join(u", "_s), QualityTable),
                              insertSql(QualityTable, names)};
    }();
    return columns;
}

// The values of one row by column; every column of the table has one.
using QualityRow = QHash<QString, QVariant>;

QualityRow rowOf(qint64 measurementKey, int channel, const PointQuality &p, const QString &verdict) {
    return {{u"MKEY"_s, measurementKey},
            {u"CHANNEL"_s, channel},
            {u"SAMPLES"_s, p.samples},
            {u"MEAN"_s, p.mean},
            {u"SD"_s, p.sd},
            {u"DRIFT"_s, p.driftPercentPerSecond},
            {u"SETTLING"_s, p.settlingPercent},
            {u"ATTEMPTS"_s, p.attempts},
            {u"FLAGS"_s, p.flags.toInt()},
            {u"VERDICT"_s, verdict}};
}

bool insertRow(QSqlQuery &q, const QualityRow &row, QString *error) {
    for (const QString &column : qualityColumns().names) {
        Q_ASSERT(row.contains(column));
        q.addBindValue(row.value(column));
    }
    return q.exec() || sqlrow::fail(q, error);
}

} // namespace

bool writeQualityRows(QSqlDatabase db, qint64 measurementKey, const MeasurementQuality &quality,
                      QString *error) {
    QSqlQuery q(db);
    q.prepare(qualityColumns().insert);
    for (int c = 1; c <= ChannelCount; ++c) {
        const std::optional<PointQuality> &p = quality[size_t(c - 1)];
        if (p && !insertRow(q, rowOf(measurementKey, c, *p, verdictWord(p->verdict)), error))
            return false;
    }
    return true;
}

bool writeUnmeasuredRows(QSqlDatabase db, qint64 measurementKey, const std::array<double, 24> &readings,
                         QString *error) {
    QSqlQuery q(db);
    q.prepare(qualityColumns().insert);
    const PointQuality none{.attempts = 0};
    for (int c = 1; c <= ChannelCount; ++c) {
        if (readings[size_t(c - 1)] == 0.0 &&
            !insertRow(q, rowOf(measurementKey, c, none, unmeasuredWord()), error))
            return false;
    }
    return true;
}

bool deleteQualityRows(QSqlDatabase db, qint64 measurementKey, QString *error) {
    if (!hasTable(db, QualityTable))
        return true;
    QSqlQuery q(db);
    q.prepare(u"DELETE FROM %1 WHERE MKEY = ?"_s.arg(QualityTable));
    q.addBindValue(measurementKey);
    return q.exec() || sqlrow::fail(q, error);
}

MeasurementQuality readQualityRows(const QSqlDatabase &db, qint64 measurementKey) {
    MeasurementQuality quality{};
    if (!hasTable(db, QualityTable))
        return quality;
    QSqlQuery q(db);
    q.prepare(qualityColumns().select + u" WHERE MKEY = ?"_s);
    q.addBindValue(measurementKey);
    if (!q.exec())
        return quality;
    while (q.next()) {
        const int c = q.value(u"CHANNEL"_s).toInt();
        const std::optional<QualityVerdict> verdict = verdictFromWord(q.value(u"VERDICT"_s).toString());
        if (c < 1 || c > ChannelCount || !verdict)
            continue;
        PointQuality p;
        p.samples = q.value(u"SAMPLES"_s).toInt();
        p.mean = q.value(u"MEAN"_s).toDouble();
        p.sd = q.value(u"SD"_s).toDouble();
        p.cvPercent = p.mean != 0 ? 100.0 * p.sd / p.mean : 0.0;
        p.driftPercentPerSecond = q.value(u"DRIFT"_s).toDouble();
        p.settlingPercent = q.value(u"SETTLING"_s).toDouble();
        p.attempts = q.value(u"ATTEMPTS"_s).toInt();
        p.flags = QualityFlags::fromInt(q.value(u"FLAGS"_s).toUInt());
        p.verdict = *verdict;
        quality[size_t(c - 1)] = p;
    }
    return quality;
}

} // namespace orlu
