#include "records/measurementcursor.h"

#include "core/daycount.h"
#include "quality/verdicts.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

enum Field {
    FNumber,
    FKey,
    FDate,
    FVota,
    FMemo,
    FFirstValue,
    FQuality = FFirstValue + 24,
    FZone,
    FSerial,
    FHardware
};

// "3:steady,14:drifting": the verdicts of a measurement's quality rows.
void readVerdicts(QByteArrayView text, MeasurementQuality &quality) {
    quality.fill(std::nullopt);
    for (const QByteArray &item : text.toByteArray().split(',')) {
        const qsizetype colon = item.indexOf(':');
        bool ok = false;
        const int c = item.left(colon).toInt(&ok);
        const std::optional<QualityVerdict> verdict =
            verdictFromWord(QString::fromLatin1(item.mid(colon + 1)));
        if (ok && c >= 1 && c <= 24 && verdict)
            quality[size_t(c - 1)] = PointQuality{.verdict = *verdict};
    }
}

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

} // namespace

MeasurementCursor::MeasurementCursor(QSqlDatabase db, const MeasurementFilter &filter)
    : m_db(std::move(db))
    , m_filter(filter) {}

MeasurementCursor::~MeasurementCursor() = default;

bool MeasurementCursor::fail() {
    m_error = m_query.error();
    return false;
}

bool MeasurementCursor::start(QString *error) {
    const auto failed = [&] {
        fail();
        if (error)
            *error = m_error;
        return false;
    };
    // The rows come in subject order, scattered over the file.
    m_mapping.emplace(m_db, MappedBytes);
    QStringList columns{u"d.CUSTNO"_s, u"d.MKEY"_s, u"d.KYDATE"_s, u"d.KYVOTA"_s, u"d.MEMO1"_s};
    for (int c = 1; c <= 24; ++c)
        columns << u"d.KY%1"_s.arg(c);
    // Only the verdicts of the readings' quality: all an export shows of it.
    columns
        << (hasTable(m_db, u"KYQUAL"_s)
                ? u"(SELECT group_concat(CHANNEL || ':' || VERDICT) FROM KYQUAL q WHERE q.MKEY = d.MKEY)"_s
                : u"NULL"_s);
    const bool withOrigin = hasTable(m_db, u"KYORIGIN"_s);
    columns << (withOrigin ? u"o.TZ, o.PROBESN, o.PROBEHW"_s : u"NULL, NULL, NULL"_s);
    // Each subject is read when its first measurement comes; a join would look it up for every row.
    const QByteArray subjectSql =
        "SELECT CUSTNO, NAME, SEX, DBIRTH FROM KYCUST WHERE CUSTNO = ? COLLATE NOCASE "
        "ORDER BY MKEY LIMIT 1";
    if (!m_subjectQuery.prepare(m_db, subjectSql))
        return failed();
    QVariantList binds;
    const QByteArray sql =
        (u"SELECT "_s + columns.join(u", "_s) + u" FROM KYDATA d"_s +
         (withOrigin ? u" LEFT JOIN KYORIGIN o ON o.MKEY = d.MKEY"_s : QString()) +
         conditions(m_filter, binds) + u" ORDER BY d.CUSTNO COLLATE NOCASE, d.KYDATE, d.MKEY"_s)
            .toUtf8();
    if (!m_query.prepare(m_db, sql))
        return failed();
    for (int i = 0; i < binds.size(); ++i) {
        if (!m_query.bind(i + 1, binds[i]))
            return failed();
    }
    m_started = true;
    return true;
}

bool MeasurementCursor::findSubject(QByteArrayView number) {
    RawStatement &q = m_subjectQuery;
    q.reset();
    q.bindText(1, number);
    const RawStatement::Step step = q.step();
    m_haveSubject = step == RawStatement::Step::Row;
    if (m_haveSubject) {
        m_subject.number = q.text(0);
        m_subject.name = q.text(1);
        m_subject.male = q.integer(2) != 0;
        m_subject.birthDate = q.real(3);
    }
    q.reset();
    if (step == RawStatement::Step::Failed) {
        m_error = q.error();
        return false;
    }
    return true;
}

bool MeasurementCursor::next(SubjectMeasurement &row) {
    if (!m_started || !m_error.isEmpty())
        return false;
    RawStatement &q = m_query;
    do {
        const RawStatement::Step step = q.step();
        if (step != RawStatement::Step::Row)
            return step == RawStatement::Step::Done ? false : fail();
        // Rows come grouped by subject number; a measurement without a subject is left out.
        const QByteArrayView current = q.textView(FNumber);
        if (m_lastNumber.isNull() || current != QByteArrayView(m_lastNumber)) {
            if (!findSubject(current))
                return false;
            m_lastNumber = QByteArray(current.data() ? current.data() : "", current.size());
        }
    } while (!m_haveSubject);
    row.subject = m_subject;
    MeasurementRecord &m = row.measurement;
    m.key = q.integer(FKey);
    m.subjectNumber = m_subject.number;
    m.measuredAt = q.real(FDate);
    m.highPotential = q.integer(FVota) != 0;
    m.memo = q.text(FMemo);
    for (int c = 0; c < 24; ++c)
        m.values[static_cast<std::size_t>(c)] = q.real(FFirstValue + c);
    readVerdicts(q.textView(FQuality), m.quality);
    m.origin = {q.text(FZone), q.text(FSerial), q.text(FHardware)};
    return true;
}

std::optional<qint64> MeasurementCursor::count(QSqlDatabase db, const MeasurementFilter &filter,
                                               QString *error) {
    QSqlQuery q(db);
    q.setForwardOnly(true);
    QVariantList binds;
    const QString sql = u"SELECT count(*) FROM KYDATA d"_s + conditions(filter, binds);
    const QString withSubject = u" EXISTS (SELECT 1 FROM KYCUST WHERE CUSTNO = d.CUSTNO COLLATE NOCASE)"_s;
    bool ok = q.prepare(sql + (binds.isEmpty() ? u" WHERE"_s : u" AND"_s) + withSubject);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    ok = ok && q.exec() && q.next();
    if (!ok) {
        if (error)
            *error = q.lastError().text();
        return std::nullopt;
    }
    return q.value(0).toLongLong();
}

} // namespace orlu
