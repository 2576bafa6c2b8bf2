#include "records/measurementrepository.h"

#include "storage/database.h"
#include "core/displaycolumns.h"
#include "storage/sqldialect.h"
#include "storage/sqlrow.h"
#include "records/repeatpairs.h"
#include "storage/originrows.h"
#include "storage/qualityrows.h"
#include "storage/schema.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString channelColumns() {
    QStringList cols;
    for (int c = 1; c <= 24; ++c)
        cols << u"KY%1"_s.arg(c);
    return cols.join(u", "_s);
}

void bindFields(QSqlQuery &q, const MeasurementRecord &r) {
    q.addBindValue(r.measuredAt);
    q.addBindValue(r.highPotential);
    q.addBindValue(sqlrow::text(r.memo));
    for (double v : r.values)
        q.addBindValue(v);
}

} // namespace

MeasurementRepository::MeasurementRepository(QSqlDatabase db)
    : m_db(std::move(db)) {}

std::optional<MeasurementRecord> MeasurementRepository::fetch(qint64 key) const {
    return fetchRow(key, false, nullptr);
}

std::optional<MeasurementRecord> MeasurementRepository::fetchRow(qint64 key, bool forUpdate,
                                                                 QString *error) const {
    QSqlQuery q(m_db);
    // A server holds the row for this transaction, so no other seat changes it before the write.
    q.prepare(u"SELECT MKEY, CUSTNO, KYDATE, KYVOTA, MEMO1, "_s + channelColumns() +
              u" FROM KYDATA WHERE MKEY = ?"_s +
              (forUpdate && SqlDialect::of(m_db).isServer() ? u" FOR UPDATE"_s : QString()));
    q.addBindValue(key);
    if (!q.exec()) {
        sqlrow::fail(q, error);
        return std::nullopt;
    }
    if (!q.next()) {
        if (error)
            *error = sqlrow::rowGoneText();
        return std::nullopt;
    }
    MeasurementRecord r;
    r.key = q.value(0).toLongLong();
    r.subjectNumber = q.value(1).toString();
    r.measuredAt = q.value(2).toDouble();
    r.highPotential = q.value(3).toBool();
    r.memo = q.value(4).toString();
    for (int c = 0; c < 24; ++c)
        r.values[size_t(c)] = q.value(5 + c).toDouble();
    r.quality = readQualityRows(m_db, key);
    return r;
}

int MeasurementRepository::countAll() const {
    QSqlQuery q(m_db);
    return q.exec(u"SELECT count(*) FROM KYDATA"_s) && q.next() ? q.value(0).toInt() : 0;
}

int MeasurementRepository::countOf(const QString &subjectNumber) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT count(*) FROM KYDATA WHERE "_s + SqlDialect::of(m_db).equalsIgnoringCase(u"CUSTNO"_s));
    q.addBindValue(subjectNumber);
    return q.exec() && q.next() ? q.value(0).toInt() : 0;
}

QList<std::array<std::array<double, 24>, 2>> MeasurementRepository::repeatPairs(double windowMinutes,
                                                                                QString *error) const {
    return orlu::repeatPairs(m_db, windowMinutes, error);
}

qint64 MeasurementRepository::append(const MeasurementRecord &record, QString *error) {
    QStringList marks;
    for (int i = 0; i < 28; ++i)
        marks << u"?"_s;
    // The row and the quality of its readings are stored together or not at all.
    Transaction tx(m_db, Transaction::Writer);
    QSqlQuery q(m_db);
    q.prepare(u"INSERT INTO KYDATA (KYDATE, KYVOTA, MEMO1, "_s + channelColumns() + u", CUSTNO) VALUES ("_s +
              marks.join(u", "_s) + u")"_s);
    bindFields(q, record);
    q.addBindValue(sqlrow::text(record.subjectNumber));
    if (!q.exec()) {
        sqlrow::fail(q, error);
        return 0;
    }
    const qint64 key = q.lastInsertId().toLongLong();
    if (!writeQualityRows(m_db, key, record.quality, error) ||
        !writeUnmeasuredRows(m_db, key, record.values, error) ||
        !writeOriginRow(m_db, key, record.origin, error))
        return 0;
    return !tx.isActive() || sqlrow::commit(tx, m_db, error) ? key : 0;
}

QString MeasurementRepository::changedElsewhereText() {
    return u"这笔经络能量数据已被其他工作站修改，请重新读取后再修改。"_s;
}

bool MeasurementRepository::stillAsShown(const MeasurementRecord &shown, QString *error) const {
    const std::optional<MeasurementRecord> now = fetchRow(shown.key, true, error);
    if (!now)
        return false;
    // A missing memo and an empty one are the same to the operator.
    const bool same = now->subjectNumber == shown.subjectNumber && now->measuredAt == shown.measuredAt &&
                      now->highPotential == shown.highPotential && now->values == shown.values &&
                      now->memo.isEmpty() == shown.memo.isEmpty() &&
                      (now->memo.isEmpty() || now->memo == shown.memo);
    if (!same && error)
        *error = changedElsewhereText();
    return same;
}

bool MeasurementRepository::update(const MeasurementRecord &record, QString *error,
                                   const MeasurementRecord *shown) {
    Transaction tx(m_db, Transaction::Writer);
    if (shown && !stillAsShown(*shown, error))
        return false;
    QStringList sets{u"KYDATE = ?"_s, u"KYVOTA = ?"_s, u"MEMO1 = ?"_s};
    for (int c = 1; c <= 24; ++c)
        sets << u"KY%1 = ?"_s.arg(c);
    QSqlQuery q(m_db);
    q.prepare(u"UPDATE KYDATA SET "_s + sets.join(u", "_s) + u" WHERE MKEY = ?"_s);
    bindFields(q, record);
    q.addBindValue(record.key);
    // Values written by hand replace the measured ones: how sound those were no longer applies,
    // but the points still left empty stay marked.
    return sqlrow::execOne(q, error) && deleteQualityRows(m_db, record.key, error) &&
           (!hasTable(m_db, u"KYQUAL"_s) || writeUnmeasuredRows(m_db, record.key, record.values, error)) &&
           (!tx.isActive() || sqlrow::commit(tx, m_db, error));
}

bool MeasurementRepository::remove(qint64 key, QString *error, const MeasurementRecord *shown) {
    Transaction tx(m_db, Transaction::Writer);
    if (shown && (shown->key != key || !stillAsShown(*shown, error)))
        return false;
    QSqlQuery q(m_db);
    q.prepare(u"DELETE FROM KYDATA WHERE MKEY = ?"_s);
    q.addBindValue(key);
    return sqlrow::execOne(q, error) && deleteQualityRows(m_db, key, error) &&
           deleteOriginRow(m_db, key, error) && (!tx.isActive() || sqlrow::commit(tx, m_db, error));
}

MeasurementRepository::MemoWrite MeasurementRepository::writeMemo(qint64 key, const QStringList &lines,
                                                                  QString *error,
                                                                  const QStringList *shownMemo) {
    Transaction tx(m_db, Transaction::Writer);
    if (shownMemo) {
        QString reason;
        const std::optional<MeasurementRecord> now = fetchRow(key, true, &reason);
        if (!now) {
            if (error)
                *error = reason;
            return reason == sqlrow::rowGoneText() ? MemoWrite::NoRecord : MemoWrite::Failed;
        }
        if (splitMemoLines(now->memo) != *shownMemo) {
            if (error)
                *error = changedElsewhereText();
            return MemoWrite::Changed;
        }
    }
    QSqlQuery q(m_db);
    q.prepare(u"UPDATE KYDATA SET MEMO1 = ? WHERE MKEY = ?"_s);
    q.addBindValue(sqlrow::text(joinMemoLines(lines)));
    q.addBindValue(key);
    if (!q.exec()) {
        sqlrow::fail(q, error);
        return MemoWrite::Failed;
    }
    if (q.numRowsAffected() == 0)
        return MemoWrite::NoRecord;
    return !tx.isActive() || sqlrow::commit(tx, m_db, error) ? MemoWrite::Written : MemoWrite::Failed;
}

} // namespace orlu
