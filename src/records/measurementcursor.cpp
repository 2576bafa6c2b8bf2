#include "records/measurementcursor.h"

#include "core/daycount.h"
#include "records/database.h"
#include "records/schema.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

enum Field { FNumber, FKey, FDate, FVota, FMemo, FFirstValue, FQuality = FFirstValue + 24 };

// "3:steady,14:drifting": the verdicts of a measurement's quality rows.
void readVerdicts(const char *text, int bytes, MeasurementQuality &quality) {
    quality.fill(std::nullopt);
    if (!text)
        return;
    for (const QByteArray &item : QByteArray(text, bytes).split(',')) {
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

QString textOf(sqlite3_stmt *statement, int column) {
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    return text ? QString::fromUtf8(text, sqlite3_column_bytes(statement, column)) : QString();
}

} // namespace

struct MeasurementCursor::Statement {
    sqlite3_stmt *handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

MeasurementCursor::MeasurementCursor(QSqlDatabase db, const MeasurementFilter &filter)
    : m_db(std::move(db))
    , m_filter(filter)
    , m_query(std::make_unique<Statement>())
    , m_subjectQuery(std::make_unique<Statement>()) {}

MeasurementCursor::~MeasurementCursor() {
    m_query.reset();
    m_subjectQuery.reset();
    if (m_mappedBefore) {
        if (sqlite3 *connection = sqliteHandle(m_db))
            sqlite3_exec(connection,
                         QByteArray("PRAGMA mmap_size = " + QByteArray::number(*m_mappedBefore)).constData(),
                         nullptr, nullptr, nullptr);
    }
}

void MeasurementCursor::mapDatabase(sqlite3 *connection) {
    // The rows come in subject order, scattered over the file: read through the page
    // cache they cost a system call and a page copy each, mapped they cost neither.
    sqlite3_stmt *pragma = nullptr;
    if (sqlite3_prepare_v2(connection, "PRAGMA mmap_size", -1, &pragma, nullptr) == SQLITE_OK &&
        sqlite3_step(pragma) == SQLITE_ROW) {
        const sqlite3_int64 before = sqlite3_column_int64(pragma, 0);
        if (before < MappedBytes &&
            sqlite3_exec(connection,
                         QByteArray("PRAGMA mmap_size = " + QByteArray::number(MappedBytes)).constData(),
                         nullptr, nullptr, nullptr) == SQLITE_OK)
            m_mappedBefore = before;
    }
    sqlite3_finalize(pragma);
}

bool MeasurementCursor::fail() {
    sqlite3 *connection = sqliteHandle(m_db);
    m_error = connection ? QString::fromUtf8(sqlite3_errmsg(connection)) : u"the register is not open"_s;
    return false;
}

bool MeasurementCursor::start(QString *error) {
    const auto failed = [&] {
        fail();
        if (error)
            *error = m_error;
        return false;
    };
    sqlite3 *connection = sqliteHandle(m_db);
    if (!connection)
        return failed();
    mapDatabase(connection);
    QStringList columns{u"d.CUSTNO"_s, u"d.MKEY"_s, u"d.KYDATE"_s, u"d.KYVOTA"_s, u"d.MEMO1"_s};
    for (int c = 1; c <= 24; ++c)
        columns << u"d.KY%1"_s.arg(c);
    // Only the verdicts of the readings' quality: all an export shows of it.
    columns
        << (hasTable(m_db, u"KYQUAL"_s)
                ? u"(SELECT group_concat(CHANNEL || ':' || VERDICT) FROM KYQUAL q WHERE q.MKEY = d.MKEY)"_s
                : u"NULL"_s);
    // Each subject is read when its first measurement comes; a join would look it up for every row.
    const QByteArray subjectSql =
        "SELECT CUSTNO, NAME, SEX, DBIRTH FROM KYCUST WHERE CUSTNO = ? COLLATE NOCASE "
        "ORDER BY MKEY LIMIT 1";
    if (sqlite3_prepare_v2(connection, subjectSql.constData(), -1, &m_subjectQuery->handle, nullptr) !=
        SQLITE_OK)
        return failed();
    QVariantList binds;
    const QByteArray sql =
        (u"SELECT "_s + columns.join(u", "_s) + u" FROM KYDATA d"_s + conditions(m_filter, binds) +
         u" ORDER BY d.CUSTNO COLLATE NOCASE, d.KYDATE, d.MKEY"_s)
            .toUtf8();
    if (sqlite3_prepare_v2(connection, sql.constData(), -1, &m_query->handle, nullptr) != SQLITE_OK)
        return failed();
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant &b = binds[i];
        const int rc = b.typeId() == QMetaType::QString
                           ? sqlite3_bind_text(m_query->handle, i + 1, b.toString().toUtf8().constData(), -1,
                                               SQLITE_TRANSIENT)
                           : sqlite3_bind_double(m_query->handle, i + 1, b.toDouble());
        if (rc != SQLITE_OK)
            return failed();
    }
    m_started = true;
    return true;
}

bool MeasurementCursor::findSubject(const char *number, int bytes) {
    sqlite3_stmt *q = m_subjectQuery->handle;
    sqlite3_reset(q);
    sqlite3_bind_text(q, 1, number, bytes, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(q);
    m_haveSubject = rc == SQLITE_ROW;
    if (m_haveSubject) {
        m_subject.number = textOf(q, 0);
        m_subject.name = textOf(q, 1);
        m_subject.male = sqlite3_column_int(q, 2) != 0;
        m_subject.birthDate = sqlite3_column_double(q, 3);
    }
    sqlite3_reset(q);
    return m_haveSubject || rc == SQLITE_DONE || fail();
}

bool MeasurementCursor::next(SubjectMeasurement &row) {
    if (!m_started || !m_error.isEmpty())
        return false;
    sqlite3_stmt *q = m_query->handle;
    do {
        const int rc = sqlite3_step(q);
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? false : fail();
        const auto *number = reinterpret_cast<const char *>(sqlite3_column_text(q, FNumber));
        const int bytes = sqlite3_column_bytes(q, FNumber);
        // Rows come grouped by subject number; a measurement without a subject is left out.
        const QByteArrayView current(number ? number : "", bytes);
        if (m_lastNumber.isNull() || current != QByteArrayView(m_lastNumber)) {
            if (!findSubject(number, bytes))
                return false;
            m_lastNumber = QByteArray(current.data(), current.size());
        }
    } while (!m_haveSubject);
    row.subject = m_subject;
    MeasurementRecord &m = row.measurement;
    m.key = sqlite3_column_int64(q, FKey);
    m.subjectNumber = m_subject.number;
    m.measuredAt = sqlite3_column_double(q, FDate);
    m.highPotential = sqlite3_column_int(q, FVota) != 0;
    m.memo = textOf(q, FMemo);
    for (int c = 0; c < 24; ++c)
        m.values[static_cast<std::size_t>(c)] = sqlite3_column_double(q, FFirstValue + c);
    readVerdicts(reinterpret_cast<const char *>(sqlite3_column_text(q, FQuality)),
                 sqlite3_column_bytes(q, FQuality), m.quality);
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
