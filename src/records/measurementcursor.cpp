#include "records/measurementcursor.h"

#include "core/daycount.h"

#include <QSqlError>
#include <QStringList>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

enum Field { FNumber, FKey, FDate, FVota, FMemo, FFirstValue };

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
    , m_query(m_db)
    , m_subjectQuery(m_db) {}

bool MeasurementCursor::start(QString *error) {
    QStringList columns{u"d.CUSTNO"_s, u"d.MKEY"_s, u"d.KYDATE"_s, u"d.KYVOTA"_s, u"d.MEMO1"_s};
    for (int c = 1; c <= 24; ++c)
        columns << u"d.KY%1"_s.arg(c);
    // Each subject is read when its first measurement comes; a join would look it up for every row.
    m_subjectQuery.setForwardOnly(true);
    if (!m_subjectQuery.prepare(
            u"SELECT CUSTNO, NAME, SEX, DBIRTH FROM KYCUST WHERE CUSTNO = ? COLLATE NOCASE "
            "ORDER BY MKEY LIMIT 1"_s)) {
        if (error)
            *error = m_subjectQuery.lastError().text();
        return false;
    }
    QVariantList binds;
    const QString sql = u"SELECT "_s + columns.join(u", "_s) + u" FROM KYDATA d"_s +
                        conditions(m_filter, binds) +
                        u" ORDER BY d.CUSTNO COLLATE NOCASE, d.KYDATE, d.MKEY"_s;
    return run(m_query, sql, binds, error);
}

void MeasurementCursor::findSubject(const QString &number) {
    m_subjectQuery.addBindValue(number);
    m_haveSubject = m_subjectQuery.exec() && m_subjectQuery.next();
    if (m_haveSubject) {
        m_subject.number = m_subjectQuery.value(0).toString();
        m_subject.name = m_subjectQuery.value(1).toString();
        m_subject.male = m_subjectQuery.value(2).toBool();
        m_subject.birthDate = m_subjectQuery.value(3).toDouble();
    } else if (m_subjectQuery.lastError().type() != QSqlError::NoError) {
        m_subjectError = m_subjectQuery.lastError().text();
    }
    m_subjectQuery.finish();
}

bool MeasurementCursor::next(SubjectMeasurement &row) {
    do {
        if (!m_subjectError.isEmpty() || !m_query.next())
            return false;
        const QString number = m_query.value(FNumber).toString();
        // Rows come grouped by subject number; a measurement without a subject is left out.
        if (m_lastNumber.isNull() || number != m_lastNumber) {
            findSubject(number);
            m_lastNumber = number;
        }
    } while (!m_haveSubject);
    row.subject = m_subject;
    MeasurementRecord &m = row.measurement;
    m.key = m_query.value(FKey).toLongLong();
    m.subjectNumber = m_subject.number;
    m.measuredAt = m_query.value(FDate).toDouble();
    m.highPotential = m_query.value(FVota).toBool();
    m.memo = m_query.value(FMemo).toString();
    for (int c = 0; c < 24; ++c)
        m.values[static_cast<std::size_t>(c)] = m_query.value(FFirstValue + c).toDouble();
    return true;
}

QString MeasurementCursor::error() const {
    if (!m_subjectError.isEmpty())
        return m_subjectError;
    return m_query.lastError().type() == QSqlError::NoError ? QString() : m_query.lastError().text();
}

std::optional<qint64> MeasurementCursor::count(QSqlDatabase db, const MeasurementFilter &filter,
                                               QString *error) {
    QSqlQuery q(db);
    QVariantList binds;
    const QString sql = u"SELECT count(*) FROM KYDATA d"_s + conditions(filter, binds);
    const QString withSubject = u" EXISTS (SELECT 1 FROM KYCUST WHERE CUSTNO = d.CUSTNO COLLATE NOCASE)"_s;
    if (!run(q, sql + (binds.isEmpty() ? u" WHERE"_s : u" AND"_s) + withSubject, binds, error) || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

} // namespace orlu
