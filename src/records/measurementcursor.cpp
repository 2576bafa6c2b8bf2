#include "records/measurementcursor.h"

#include "core/daycount.h"

#include <QSqlError>
#include <QStringList>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The subject row of a measurement: the first KYCUST row with its number.
const QString SubjectJoin =
    u" FROM KYDATA d JOIN KYCUST s ON s.MKEY = (SELECT MKEY FROM KYCUST WHERE CUSTNO = d.CUSTNO "
    "COLLATE NOCASE ORDER BY MKEY LIMIT 1)"_s;

enum Field {
    FNumber,
    FName,
    FSex,
    FBirth,
    FKey,
    FDate,
    FVota,
    FMemo,
    FFirstValue,
    FieldCount = FFirstValue + 24
};

QString conditions(const MeasurementFilter &filter, QVariantList &binds) {
    QStringList where;
    if (filter.subjectNumber) {
        where << u"d.CUSTNO COLLATE NOCASE = ?"_s;
        binds << *filter.subjectNumber;
    }
    // Whole days: from the start of `from` to the start of the day after `to`.
    if (filter.from) {
        where << u"d.KYDATE >= ?"_s;
        binds << toDayCount(*filter.from);
    }
    if (filter.to) {
        where << u"d.KYDATE < ?"_s;
        binds << toDayCount(filter.to->addDays(1));
    }
    return where.isEmpty() ? QString() : u" WHERE "_s + where.join(u" AND "_s);
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &binds, QString *error) {
    q.setForwardOnly(true);
    bool ok = q.prepare(sql);
    if (ok) {
        for (const QVariant &b : binds)
            q.addBindValue(b);
        ok = q.exec();
    }
    if (!ok && error)
        *error = q.lastError().text();
    return ok;
}

} // namespace

MeasurementCursor::MeasurementCursor(QSqlDatabase db, const MeasurementFilter &filter)
    : m_db(std::move(db))
    , m_filter(filter)
    , m_query(m_db) {}

bool MeasurementCursor::start(QString *error) {
    QStringList columns{u"s.CUSTNO"_s, u"s.NAME"_s,   u"s.SEX"_s,    u"s.DBIRTH"_s,
                        u"d.MKEY"_s,   u"d.KYDATE"_s, u"d.KYVOTA"_s, u"d.MEMO1"_s};
    for (int c = 1; c <= 24; ++c)
        columns << u"d.KY%1"_s.arg(c);
    QVariantList binds;
    const QString sql = u"SELECT "_s + columns.join(u", "_s) + SubjectJoin + conditions(m_filter, binds) +
                        u" ORDER BY d.CUSTNO COLLATE NOCASE, d.KYDATE, d.MKEY"_s;
    return run(m_query, sql, binds, error);
}

bool MeasurementCursor::next(SubjectMeasurement &row) {
    if (!m_query.next())
        return false;
    Subject &s = row.subject;
    s.number = m_query.value(FNumber).toString();
    s.name = m_query.value(FName).toString();
    s.male = m_query.value(FSex).toBool();
    s.birthDate = m_query.value(FBirth).toDouble();
    MeasurementRecord &m = row.measurement;
    m.key = m_query.value(FKey).toLongLong();
    m.subjectNumber = s.number;
    m.measuredAt = m_query.value(FDate).toDouble();
    m.highPotential = m_query.value(FVota).toBool();
    m.memo = m_query.value(FMemo).toString();
    for (int c = 0; c < 24; ++c)
        m.values[static_cast<std::size_t>(c)] = m_query.value(FFirstValue + c).toDouble();
    return true;
}

QString MeasurementCursor::error() const {
    return m_query.lastError().type() == QSqlError::NoError ? QString() : m_query.lastError().text();
}

std::optional<qint64> MeasurementCursor::count(QSqlDatabase db, const MeasurementFilter &filter,
                                               QString *error) {
    QSqlQuery q(db);
    QVariantList binds;
    if (!run(q, u"SELECT count(*)"_s + SubjectJoin + conditions(filter, binds), binds, error) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

} // namespace orlu
