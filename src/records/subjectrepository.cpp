#include "records/subjectrepository.h"

#include "storage/database.h"
#include "storage/namesortkeys.h"
#include "storage/sqldialect.h"
#include "storage/sqlrow.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

const QString SelectColumns =
    u"SELECT MKEY, CUSTNO, NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL, MEMO FROM KYCUST "_s;

SubjectRecord readRow(const QSqlQuery &q) {
    SubjectRecord r;
    r.key = q.value(0).toLongLong();
    r.subject.number = q.value(1).toString();
    r.subject.name = q.value(2).toString();
    r.subject.male = q.value(3).toBool();
    r.subject.birthDate = q.value(4).toDouble();
    r.subject.address = q.value(5).toString();
    r.subject.telephone = q.value(6).toString();
    r.subject.telephone2 = q.value(7).toString();
    r.subject.telephone3 = q.value(8).toString();
    r.subject.email = q.value(9).toString();
    r.memo = q.value(10).toString();
    return r;
}

void bindFields(QSqlQuery &q, const SubjectRecord &r) {
    using sqlrow::text;
    q.addBindValue(text(r.subject.name));
    q.addBindValue(r.subject.male);
    q.addBindValue(r.subject.birthDate);
    q.addBindValue(text(r.subject.address));
    q.addBindValue(text(r.subject.telephone));
    q.addBindValue(text(r.subject.telephone2));
    q.addBindValue(text(r.subject.telephone3));
    q.addBindValue(text(r.subject.email));
    q.addBindValue(text(r.memo));
}

} // namespace

SubjectRepository::SubjectRepository(QSqlDatabase db)
    : m_db(std::move(db)) {}

std::optional<SubjectRecord> SubjectRepository::fetch(qint64 key) const {
    QSqlQuery q(m_db);
    q.prepare(SelectColumns + u"WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (q.exec() && q.next())
        return readRow(q);
    return std::nullopt;
}

std::optional<SubjectRecord> SubjectRepository::findByNumber(const QString &number) const {
    QSqlQuery q(m_db);
    q.prepare(SelectColumns + u"WHERE "_s + SqlDialect::of(m_db).equalsIgnoringCase(u"CUSTNO"_s) +
              u" ORDER BY MKEY LIMIT 1"_s);
    q.addBindValue(number);
    if (q.exec() && q.next())
        return readRow(q);
    return std::nullopt;
}

int SubjectRepository::count() const {
    QSqlQuery q(m_db);
    return q.exec(u"SELECT count(*) FROM KYCUST"_s) && q.next() ? q.value(0).toInt() : 0;
}

qint64 SubjectRepository::append(const SubjectRecord &record, QString *error) {
    QSqlQuery q(m_db);
    q.prepare(u"INSERT INTO KYCUST (NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL, MEMO, CUSTNO) "
              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    bindFields(q, record);
    q.addBindValue(sqlrow::text(record.subject.number));
    if (!q.exec()) {
        sqlrow::fail(q, error);
        return 0;
    }
    const qint64 key = q.lastInsertId().toLongLong();
    return writeNameSortKey(m_db, key, record.subject.name, error) ? key : 0;
}

SubjectRepository::AddResult SubjectRepository::appendNew(const SubjectRecord &record, QString *error) {
    AddResult result;
    Transaction tx(m_db, Transaction::Writer);
    if (!tx.isActive()) {
        if (error)
            *error = m_db.lastError().text();
        return result;
    }
    if (SqlDialect::of(m_db).isServer()) {
        // Seats adding the same number queue here until the first one commits; other numbers pass.
        QSqlQuery lock(m_db);
        lock.prepare(u"SELECT pg_advisory_xact_lock(hashtext(lower(? COLLATE \"C\")))"_s);
        lock.addBindValue(record.subject.number);
        if (!lock.exec()) {
            sqlrow::fail(lock, error);
            return result;
        }
    }
    result.existing = findByNumber(record.subject.number);
    if (result.existing)
        return result;
    if (m_beforeInsert)
        m_beforeInsert();
    const qint64 key = append(record, error);
    if (key == 0 || !sqlrow::commit(tx, m_db, error))
        return result;
    result.key = key;
    return result;
}

bool SubjectRepository::update(const SubjectRecord &record, QString *error, const SubjectRecord *shown) {
    Transaction tx(m_db, Transaction::Writer);
    if (shown) {
        QSqlQuery current(m_db);
        current.prepare(SelectColumns + u"WHERE MKEY = ?"_s +
                        (SqlDialect::of(m_db).isServer() ? u" FOR UPDATE"_s : QString()));
        current.addBindValue(record.key);
        if (!current.exec())
            return sqlrow::fail(current, error);
        if (!current.next()) {
            if (error)
                *error = sqlrow::rowGoneText();
            return false;
        }
        const SubjectRecord now = readRow(current);
        if (now.subject != shown->subject || now.memo != shown->memo) {
            if (error)
                *error = u"该受测者数据已被其他工作站修改，请重新读取后再修改。"_s;
            return false;
        }
    }
    QSqlQuery q(m_db);
    q.prepare(u"UPDATE KYCUST SET NAME = ?, SEX = ?, DBIRTH = ?, ADDR = ?, TEL = ?, TEL2 = ?, TEL3 = ?, "
              "EMAIL = ?, MEMO = ? WHERE MKEY = ?"_s);
    bindFields(q, record);
    q.addBindValue(record.key);
    return sqlrow::execOne(q, error) && writeNameSortKey(m_db, record.key, record.subject.name, error) &&
           (!tx.isActive() || sqlrow::commit(tx, m_db, error));
}

bool SubjectRepository::removeWithMeasurements(qint64 key, QString *error) {
    Transaction tx(m_db);
    QSqlQuery q(m_db);
    if (!tx.isActive()) {
        if (error)
            *error = m_db.lastError().text();
        return false;
    }
    q.prepare(u"DELETE FROM KYDATA WHERE "_s +
              SqlDialect::of(m_db).equalsIgnoringCase(u"CUSTNO"_s,
                                                      u"(SELECT CUSTNO FROM KYCUST WHERE MKEY = ?)"_s));
    q.addBindValue(key);
    if (!q.exec())
        return sqlrow::fail(q, error);
    q.prepare(u"DELETE FROM KYCUST WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!sqlrow::execOne(q, error) || !removeNameSortKey(m_db, key, error))
        return false;
    return sqlrow::commit(tx, m_db, error);
}

} // namespace orlu
