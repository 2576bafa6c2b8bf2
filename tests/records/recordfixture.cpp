#include "recordfixture.h"

#include "storage/schema.h"

#include <QFile>
#include <QSqlError>
#include <QTemporaryDir>
#include <QSqlQuery>
#include <QtTest>

namespace orlu::test {

using namespace Qt::StringLiterals;

RecordFixture::RecordFixture()
    : context{RecordStore(database), current, subjectOrder, prompter, time, [this](AlertTone tone) {
                  tones.append(static_cast<int>(tone));
              }} {
    if (currentBackend() == Backend::Postgres)
        server = std::make_unique<ScratchServerDatabase>();
    openEmptyRegister(database, currentBackend(), home.path(), server.get());
}

qint64 RecordFixture::addSubject(const QString &number, const QString &name, bool male, double birth,
                                 const QString &address, const QString &telephone) {
    QSqlQuery q(db());
    q.prepare(u"INSERT INTO KYCUST (CUSTNO, NAME, SEX, DBIRTH, ADDR, TEL, TEL2, TEL3, EMAIL) "
              "VALUES (?, ?, ?, ?, ?, ?, '', '', '')"_s);
    q.addBindValue(number);
    q.addBindValue(name);
    q.addBindValue(male);
    q.addBindValue(birth);
    q.addBindValue(address.isNull() ? u""_s : address);
    q.addBindValue(telephone.isNull() ? u""_s : telephone);
    if (!q.exec())
        qFatal("addSubject: %s", qPrintable(q.lastError().text()));
    return q.lastInsertId().toLongLong();
}

qint64 RecordFixture::addMeasurement(const QString &number, double kydate, double value, bool high,
                                     const QString &memo) {
    QStringList cols{u"CUSTNO"_s, u"KYDATE"_s, u"KYVOTA"_s, u"MEMO1"_s};
    QStringList marks{u"?"_s, u"?"_s, u"?"_s, u"?"_s};
    for (int c = 1; c <= 24; ++c) {
        cols << u"KY%1"_s.arg(c);
        marks << u"?"_s;
    }
    QSqlQuery q(db());
    q.prepare(u"INSERT INTO KYDATA (%1) VALUES (%2)"_s.arg(cols.join(u','), marks.join(u',')));
    q.addBindValue(number);
    q.addBindValue(kydate);
    q.addBindValue(high);
    q.addBindValue(memo);
    for (int c = 1; c <= 24; ++c)
        q.addBindValue(value + c / 10.0);
    if (!q.exec())
        qFatal("addMeasurement: %s", qPrintable(q.lastError().text()));
    return q.lastInsertId().toLongLong();
}

int RecordFixture::rows(const QString &table, const QString &where) const {
    QSqlQuery q(db());
    const QString sql =
        u"SELECT count(*) FROM "_s + table + (where.isEmpty() ? QString() : u" WHERE "_s + where);
    if (!q.exec(sql) || !q.next())
        qFatal("rows: %s", qPrintable(q.lastError().text()));
    return q.value(0).toInt();
}

void RecordFixture::failOn(const QString &triggerBody, const QString &when) {
    QSqlQuery q(db());
    const bool made = backend() == Backend::Postgres
                          ? q.exec(u"CREATE FUNCTION test_fault() RETURNS trigger LANGUAGE plpgsql AS $$ "
                                   "BEGIN RAISE EXCEPTION 'disk fault'; END $$"_s) &&
                                q.exec(u"CREATE TRIGGER test_fault "_s + triggerBody + u" FOR EACH ROW"_s +
                                       (when.isEmpty() ? QString() : u" WHEN ("_s + when + u')') +
                                       u" EXECUTE FUNCTION test_fault()"_s)
                          : q.exec(u"CREATE TRIGGER test_fault "_s + triggerBody +
                                   (when.isEmpty() ? QString() : u" WHEN "_s + when) +
                                   u" BEGIN SELECT RAISE(ABORT, 'disk fault'); END"_s);
    if (!made)
        qFatal("failOn: %s", qPrintable(q.lastError().text()));
}

} // namespace orlu::test
