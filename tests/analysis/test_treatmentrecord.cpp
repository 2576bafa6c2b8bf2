#include "analysis/treatmentrecord.h"
#include "records/measurementrepository.h"
#include "recordfixture.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestTreatmentRecord : public QObject {
    Q_OBJECT
private slots:
    void editKeptWithoutOverwritingAnotherSeat_data();
    void editKeptWithoutOverwritingAnotherSeat();
};

void TestTreatmentRecord::editKeptWithoutOverwritingAnotherSeat_data() {
    QTest::addColumn<QString>("meanwhile"); // what happened to the stored row since it was shown
    QTest::addColumn<QString>("told");      // how the message ends; "" none
    QTest::addColumn<QString>("stored");    // MEMO1 afterwards
    QTest::newRow("nothing") << u""_s << u""_s << u"mine\r\nsecond"_s;
    QTest::newRow("measurement never stored") << u"unstored"_s << u""_s << u"shown"_s;
    QTest::newRow("deleted elsewhere")
        << u"deleted"_s << u"该笔经络能量数据已不存在，可能已被其他工作站删除。"_s << QString();
    QTest::newRow("changed elsewhere")
        << u"changed"_s << MeasurementRepository::changedElsewhereText() << u"theirs"_s;
}

// The edit always stays with the measurement in memory; the register takes it only over the row shown.
void TestTreatmentRecord::editKeptWithoutOverwritingAnotherSeat() {
    QFETCH(QString, meanwhile);
    QFETCH(QString, told);
    QFETCH(QString, stored);
    test::RecordFixture f;
    f.addSubject(u"S1"_s, u"shown"_s);
    const qint64 key = f.addMeasurement(u"S1"_s, 45000, 10.0, false, u"shown"_s);
    MeasurementRepository repo(f.db());
    if (meanwhile == u"changed"_s)
        QCOMPARE(repo.writeMemo(key, {u"theirs"_s}), MeasurementRepository::MemoWrite::Written);
    else if (meanwhile == u"deleted"_s)
        QVERIFY(repo.remove(key));
    f.current.recordKey = meanwhile == u"unstored"_s ? 0 : key;

    const QStringList mine{u"mine"_s, u"second"_s};
    const QString message = keepTreatmentRecord(f.current, mine, {u"shown"_s}, repo);

    QCOMPARE(f.current.memo, mine);
    if (told.isEmpty())
        QVERIFY2(message.isEmpty(), qPrintable(message));
    else
        QVERIFY2(message.startsWith(u"处置记录无法写入数据库"_s) && message.endsWith(told),
                 qPrintable(message));
    const std::optional<MeasurementRecord> row = repo.fetch(key);
    QCOMPARE(row ? row->memo : QString(), stored);
}

QTEST_GUILESS_MAIN(TestTreatmentRecord)
#include "test_treatmentrecord.moc"
