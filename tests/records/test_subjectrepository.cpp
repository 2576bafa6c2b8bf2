#include "recordfixture.h"
#include "records/subjectrepository.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestSubjectRepository : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }
    void appendThenFetch();
    void updateNeverChangesTheNumber();
    void findsNumberIgnoringCase();
    void deletesSubjectWithAllMeasurements();
    void deletesMeasurementsOfEveryLetterCase();
    void duplicateNumberDeletesChosenRowOnly();
    void faultMidwayLeavesBoth();
    void lockedDatabaseWritesNothing();
};

void TestSubjectRepository::appendThenFetch() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    SubjectRecord r;
    r.subject = {u"N1"_s, u"王五"_s, false, 33000.0, u"地址"_s, u"1"_s, u"2"_s, u"3"_s, u"a@b"_s};
    r.memo = u"第一行\r\n第二行"_s;
    const qint64 key = repo.append(r);
    QVERIFY(key > 0);
    const auto back = repo.fetch(key);
    QVERIFY(back);
    QCOMPARE(back->subject.name, u"王五"_s);
    QCOMPARE(back->subject.male, false);
    QCOMPARE(back->subject.birthDate, 33000.0);
    QCOMPARE(back->subject.telephone3, u"3"_s);
    QCOMPARE(back->memo, r.memo);
    QCOMPARE(repo.count(), 1);
    // Text the system writes is never NULL, so prefix searches see it.
    QCOMPARE(f.rows(u"KYCUST"_s, u"TEL IS NULL OR EMAIL IS NULL"_s), 0);
}

void TestSubjectRepository::updateNeverChangesTheNumber() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    const qint64 key = f.addSubject(u"N1"_s, u"old"_s);
    SubjectRecord r = *repo.fetch(key);
    r.subject.number = u"CHANGED"_s;
    r.subject.name = u"new "_s;
    r.subject.male = false;
    QVERIFY(repo.update(r));
    const auto back = repo.fetch(key);
    QCOMPARE(back->subject.number, u"N1"_s);
    QCOMPARE(back->subject.name, u"new "_s);
    QCOMPARE(back->subject.male, false);
    r.key = 9999;
    QString error;
    QVERIFY(!repo.update(r, &error));
    QVERIFY(!error.isEmpty());
}

void TestSubjectRepository::findsNumberIgnoringCase() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    f.addSubject(u"abC1"_s, u"first"_s);
    f.addSubject(u"ABC1"_s, u"second"_s);
    QCOMPARE(repo.findByNumber(u"Abc1"_s)->subject.name, u"first"_s);
    QVERIFY(!repo.findByNumber(u"abc"_s));
}

void TestSubjectRepository::deletesSubjectWithAllMeasurements() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    const qint64 key = f.addSubject(u"S1"_s, u"三"_s);
    f.addSubject(u"S2"_s, u"other"_s);
    for (int i = 0; i < 3; ++i)
        f.addMeasurement(u"S1"_s, 45000 + i);
    f.addMeasurement(u"S2"_s, 45000);
    QVERIFY(repo.removeWithMeasurements(key));
    QCOMPARE(f.rows(u"KYDATA"_s, u"CUSTNO = 'S1'"_s), 0);
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
    QCOMPARE(f.rows(u"KYDATA"_s), 1);
}

void TestSubjectRepository::deletesMeasurementsOfEveryLetterCase() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    const qint64 key = f.addSubject(u"ab"_s, u"x"_s);
    f.addMeasurement(u"AB"_s, 45000);
    f.addMeasurement(u"ab"_s, 45000);
    f.addMeasurement(u"abc"_s, 45000);
    QVERIFY(repo.removeWithMeasurements(key));
    QCOMPARE(f.rows(u"KYDATA"_s), 1);
}

void TestSubjectRepository::duplicateNumberDeletesChosenRowOnly() {
    // An import may bring a second subject with the same number.
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    f.addSubject(u"D1"_s, u"kept"_s);
    const qint64 chosen = f.addSubject(u"D1"_s, u"chosen"_s);
    f.addMeasurement(u"D1"_s, 45000);
    f.addMeasurement(u"D1"_s, 45001);
    QVERIFY(repo.removeWithMeasurements(chosen));
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
    QCOMPARE(repo.findByNumber(u"D1"_s)->subject.name, u"kept"_s);
    QCOMPARE(f.rows(u"KYDATA"_s), 0);
}

void TestSubjectRepository::faultMidwayLeavesBoth() {
    test::RecordFixture f;
    SubjectRepository repo(f.db());
    const qint64 key = f.addSubject(u"S1"_s, u"三"_s);
    for (int i = 0; i < 3; ++i)
        f.addMeasurement(u"S1"_s, 45000 + i);
    // The measurements go first; the subject row then fails.
    f.failOn(u"BEFORE DELETE ON KYCUST"_s);
    QString error;
    QVERIFY(!repo.removeWithMeasurements(key, &error));
    QVERIFY(error.contains(u"disk fault"_s));
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
    QCOMPARE(f.rows(u"KYDATA"_s), 3);
    // The connection is usable afterwards.
    QVERIFY(repo.append(SubjectRecord{0, test::subjectOf(u"S2"_s), {}}) > 0);
}

void TestSubjectRepository::lockedDatabaseWritesNothing() {
    test::RecordFixture f;
    if (f.backend() == Backend::Postgres)
        QSKIP("a server locks rows, not the whole register");
    SubjectRepository repo(f.db());
    const qint64 key = f.addSubject(u"S1"_s, u"三"_s);
    f.addMeasurement(u"S1"_s, 45000);
    QSqlQuery(f.db()).exec(u"PRAGMA busy_timeout = 50"_s);
    {
        Database other;
        QVERIFY(other.open(f.database.path(), Database::Access::Shared));
        QSqlQuery lock(other.handle());
        QVERIFY(lock.exec(u"BEGIN IMMEDIATE"_s));
        QString error;
        QVERIFY(!repo.removeWithMeasurements(key, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(repo.append(SubjectRecord{0, test::subjectOf(u"S2"_s), {}}, &error), 0);
        QVERIFY(lock.exec(u"ROLLBACK"_s));
    }
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
    QCOMPARE(f.rows(u"KYDATA"_s), 1);
    QVERIFY(repo.removeWithMeasurements(key));
}

QTEST_GUILESS_MAIN(TestSubjectRepository)
#include "test_subjectrepository.moc"
