#include "records/subjectrepository.h"

#include "records/database.h"
#include "records/sqlrow.h"

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
    q.prepare(SelectColumns + u"WHERE CUSTNO COLLATE NOCASE = ? ORDER BY MKEY LIMIT 1"_s);
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
    return q.lastInsertId().toLongLong();
}

bool SubjectRepository::update(const SubjectRecord &record, QString *error) {
    QSqlQuery q(m_db);
    q.prepare(u"UPDATE KYCUST SET NAME = ?, SEX = ?, DBIRTH = ?, ADDR = ?, TEL = ?, TEL2 = ?, TEL3 = ?, "
              "EMAIL = ?, MEMO = ? WHERE MKEY = ?"_s);
    bindFields(q, record);
    q.addBindValue(record.key);
    return sqlrow::execOne(q, error);
}

bool SubjectRepository::removeWithMeasurements(qint64 key, QString *error) {
    Transaction tx(m_db);
    QSqlQuery q(m_db);
    if (!tx.isActive()) {
        if (error)
            *error = m_db.lastError().text();
        return false;
    }
    q.prepare(
        u"DELETE FROM KYDATA WHERE CUSTNO COLLATE NOCASE = (SELECT CUSTNO FROM KYCUST WHERE MKEY = ?)"_s);
    q.addBindValue(key);
    if (!q.exec())
        return sqlrow::fail(q, error);
    q.prepare(u"DELETE FROM KYCUST WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!sqlrow::execOne(q, error))
        return false;
    if (!tx.commit()) {
        if (error)
            *error = m_db.lastError().text();
        m_db.rollback(); // a commit that failed leaves the transaction open
        return false;
    }
    return true;
}

} // namespace orlu
