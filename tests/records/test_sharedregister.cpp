#include "recordfixture.h"
#include "core/displaycolumns.h"
#include "records/measurementrepository.h"
#include "records/recordtransfer.h"
#include "storage/serverconnection.h"
#include "records/subjectrepository.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace orlu;
using namespace Qt::StringLiterals;

// Several seats on one register: each seat is a connection of its own.
class TestSharedRegister : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }
    void sameNumberAtOnceIsStoredOnce();
    void differentNumbersDoNotWait();
    void changeOfARowAnotherSeatTouched_data();
    void changeOfARowAnotherSeatTouched();
    void measurementEditAfterAnotherSeat_data();
    void measurementEditAfterAnotherSeat();
    void lostConnectionStoresNothingAndRecovers();
    void unreachableServerGivesUpWithinTheTimeout();
};

namespace {

SubjectRecord subjectRecord(const QString &number, const QString &name) {
    return SubjectRecord{0, test::subjectOf(number, name), {}};
}

// Waits until a seat's statement waits for another seat's lock.
void waitUntilBlocked(test::RecordFixture &f) {
    if (f.backend() == Backend::Sqlite) {
        // A file has no list of waiting seats; the other seat is given ample time to reach its lock.
        QThread::msleep(300);
        return;
    }
    QElapsedTimer t;
    t.start();
    QSqlQuery q(f.db());
    while (t.elapsed() < 5000) {
        if (q.exec(u"SELECT count(*) FROM pg_locks WHERE NOT granted"_s) && q.next() &&
            q.value(0).toInt() > 0)
            return;
        QThread::msleep(10);
    }
    QFAIL("the second seat never waited");
}

// A port that takes connections (the kernel completes them) and never answers.
class SilentServer {
public:
    SilentServer() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), len) == 0 &&
            ::listen(m_fd, 4) == 0 && ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &len) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~SilentServer() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    SilentServer(const SilentServer &) = delete;
    SilentServer &operator=(const SilentServer &) = delete;
    int port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

} // namespace

void TestSharedRegister::sameNumberAtOnceIsStoredOnce() {
    test::RecordFixture f;
    SubjectRepository first(f.db());
    const QString location = f.location();
    SubjectRepository::AddResult second;
    QString secondError;
    std::thread secondSeat;
    // The first seat has checked that the number is free and not yet inserted it
    // when the second seat tries the same number in other letters.
    first.setBeforeInsertHook([&] {
        secondSeat = std::thread([&] {
            Database db;
            if (!openRegister(db, location, &secondError))
                return;
            second =
                SubjectRepository(db.handle()).appendNew(subjectRecord(u"abc1"_s, u"second"_s), &secondError);
        });
        waitUntilBlocked(f);
    });
    QString error;
    const SubjectRepository::AddResult added = first.appendNew(subjectRecord(u"ABC1"_s, u"first"_s), &error);
    secondSeat.join();
    QVERIFY2(added.key > 0, qPrintable(error));
    QVERIFY2(second.existing, qPrintable(secondError));
    QCOMPARE(second.key, 0);
    QCOMPARE(second.existing->subject.name, u"first"_s);
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
}

void TestSharedRegister::differentNumbersDoNotWait() {
    test::RecordFixture f;
    Database other;
    QVERIFY(openRegister(other, f.location()));
    SubjectRepository first(f.db());
    SubjectRepository second(other.handle());
    QVERIFY(first.appendNew(subjectRecord(u"N1"_s, u"one"_s)).key > 0);
    QVERIFY(second.appendNew(subjectRecord(u"N2"_s, u"two"_s)).key > 0);
    // The other seat sees the first seat's subject at once and is refused it.
    const SubjectRepository::AddResult again = second.appendNew(subjectRecord(u"n1"_s, u"again"_s));
    QCOMPARE(again.key, 0);
    QVERIFY(again.existing);
    QCOMPARE(f.rows(u"KYCUST"_s), 2);
}

void TestSharedRegister::changeOfARowAnotherSeatTouched_data() {
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QString>("message");
    QTest::newRow("deleted meanwhile") << true << u"已不存在"_s;
    QTest::newRow("changed meanwhile") << false << u"已被其他工作站修改"_s;
}

void TestSharedRegister::changeOfARowAnotherSeatTouched() {
    QFETCH(bool, deleted);
    QFETCH(QString, message);
    test::RecordFixture f;
    const qint64 key = f.addSubject(u"S1"_s, u"shown"_s);
    f.addMeasurement(u"S1"_s, 45000);
    Database other;
    QVERIFY(openRegister(other, f.location()));
    SubjectRepository mine(f.db());
    SubjectRepository theirs(other.handle());
    const SubjectRecord shown = *mine.fetch(key);

    if (deleted) {
        QVERIFY(theirs.removeWithMeasurements(key));
    } else {
        SubjectRecord changed = shown;
        changed.subject.telephone = u"their number"_s;
        QVERIFY(theirs.update(changed, nullptr, &shown));
    }
    SubjectRecord edit = shown;
    edit.subject.name = u"mine"_s;
    QString error;
    QVERIFY(!mine.update(edit, &error, &shown));
    QVERIFY2(error.contains(message), qPrintable(error));
    if (deleted) {
        QCOMPARE(f.rows(u"KYCUST"_s), 0);
        // The same holds for a measurement the other seat deleted.
        MeasurementRecord gone;
        gone.key = 1;
        QVERIFY(!MeasurementRepository(f.db()).update(gone, &error));
        QVERIFY(error.contains(message));
    } else {
        const SubjectRecord now = *mine.fetch(key);
        QCOMPARE(now.subject.name, u"shown"_s);
        QCOMPARE(now.subject.telephone, u"their number"_s);
    }
}

namespace {

enum class Edit { Update, Remove, Memo };
enum class Meanwhile { Nothing, Changed, Deleted };

// One seat's edit of a measurement it shows; true when it went through.
bool editAsShown(MeasurementRepository &repo, Edit edit, const MeasurementRecord &shown, QString *error) {
    switch (edit) {
    case Edit::Update: {
        MeasurementRecord mine = shown;
        mine.values[0] = 99.5;
        return repo.update(mine, error, &shown);
    }
    case Edit::Remove:
        return repo.remove(shown.key, error, &shown);
    case Edit::Memo: {
        const QStringList lines = splitMemoLines(shown.memo);
        return repo.writeMemo(shown.key, {u"my record"_s}, error, &lines) ==
               MeasurementRepository::MemoWrite::Written;
    }
    }
    return false;
}

} // namespace

void TestSharedRegister::measurementEditAfterAnotherSeat_data() {
    QTest::addColumn<int>("edit");
    QTest::addColumn<int>("meanwhile");
    QTest::addColumn<QString>("message");
    const std::pair<const char *, Edit> edits[] = {
        {"values", Edit::Update}, {"delete", Edit::Remove}, {"treatment record", Edit::Memo}};
    for (const auto &[name, edit] : edits) {
        QTest::addRow("%s, untouched", name) << int(edit) << int(Meanwhile::Nothing) << QString();
        QTest::addRow("%s, changed meanwhile", name)
            << int(edit) << int(Meanwhile::Changed) << u"已被其他工作站修改"_s;
        QTest::addRow("%s, deleted meanwhile", name) << int(edit) << int(Meanwhile::Deleted) << u"已不存在"_s;
    }
}

void TestSharedRegister::measurementEditAfterAnotherSeat() {
    QFETCH(int, edit);
    QFETCH(int, meanwhile);
    QFETCH(QString, message);
    test::RecordFixture f;
    f.addSubject(u"S1"_s, u"shown"_s);
    const qint64 key = f.addMeasurement(u"S1"_s, 45000, 10.0, false, u"first\r\nsecond"_s);
    Database other;
    QVERIFY(openRegister(other, f.location()));
    MeasurementRepository mine(f.db());
    MeasurementRepository theirs(other.handle());
    const MeasurementRecord shown = *mine.fetch(key);
    if (Meanwhile(meanwhile) == Meanwhile::Changed)
        QCOMPARE(theirs.writeMemo(key, {u"their record"_s}), MeasurementRepository::MemoWrite::Written);
    else if (Meanwhile(meanwhile) == Meanwhile::Deleted)
        QVERIFY(theirs.remove(key));

    QString error;
    const bool done = editAsShown(mine, Edit(edit), shown, &error);
    if (message.isEmpty()) {
        QVERIFY2(done, qPrintable(error));
        return;
    }
    QVERIFY(!done);
    QVERIFY2(error.contains(message), qPrintable(error));
    // Nothing of the other seat's work is overwritten or undone.
    const std::optional<MeasurementRecord> now = mine.fetch(key);
    QCOMPARE(now.has_value(), Meanwhile(meanwhile) == Meanwhile::Changed);
    if (now) {
        QCOMPARE(now->memo, u"their record"_s);
        QCOMPARE(now->values, shown.values);
    }
}

void TestSharedRegister::lostConnectionStoresNothingAndRecovers() {
    test::RecordFixture f;
    if (f.backend() == Backend::Sqlite)
        QSKIP("a file has no connection to lose");
    // The server ends this seat's connection in the middle of adding a subject, as a
    // stopped server does.
    QSqlQuery pid(f.db());
    QVERIFY(pid.exec(u"SELECT pg_backend_pid()"_s) && pid.next());
    const QString backend = pid.value(0).toString();
    pid = QSqlQuery();
    SubjectRepository repo(f.db());
    repo.setBeforeInsertHook(
        [&] { QVERIFY(f.server->admin(u"SELECT pg_terminate_backend(%1)"_s.arg(backend))); });
    QString error;
    const SubjectRepository::AddResult added = repo.appendNew(subjectRecord(u"L1"_s, u"lost"_s), &error);
    QCOMPARE(added.key, 0);
    QVERIFY(!error.isEmpty());
    repo.setBeforeInsertHook({});

    // The measurement of the current subject is not reported stored either.
    CurrentMeasurement current;
    current.recordKey = 7;
    MeasurementRepository measurements(f.db());
    QCOMPARE(storeCurrentMeasurement(measurements, current, test::subjectOf(u"L1"_s), &error), 0);
    QCOMPARE(current.recordKey, 7);

    // Back again: the same handles work after the connection is renewed.
    QVERIFY2(f.database.ensureConnected(&error), qPrintable(error));
    QVERIFY(repo.appendNew(subjectRecord(u"L1"_s, u"back"_s)).key > 0);
    QVERIFY(storeCurrentMeasurement(measurements, current, test::subjectOf(u"L1"_s), &error) > 0);
    QCOMPARE(f.rows(u"KYCUST"_s), 1);
    QCOMPARE(f.rows(u"KYDATA"_s), 1);
}

void TestSharedRegister::unreachableServerGivesUpWithinTheTimeout() {
    if (test::currentBackend() == Backend::Sqlite)
        QSKIP("a file is never out of reach this way");
    SilentServer silent;
    QVERIFY(silent.port() > 0);
    Database db;
    QString error;
    QElapsedTimer t;
    t.start();
    QVERIFY(!db.openServer(u"postgresql://orlu@127.0.0.1:%1/orlu"_s.arg(silent.port()), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY2(t.elapsed() < (ServerConnectTimeout + 2) * 1000, qPrintable(QString::number(t.elapsed())));
    // No server at all fails at once.
    t.restart();
    QVERIFY(!db.openServer(u"host=/nonexistent dbname=orlu"_s, &error));
    QVERIFY(t.elapsed() < 2000);
    QVERIFY(!db.ensureConnected(&error));
}

QTEST_GUILESS_MAIN(TestSharedRegister)
#include "test_sharedregister.moc"
