#include "core/daycount.h"
#include "recordfixture.h"
#include "records/measurementlistmodel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestMeasurementListModel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase_data() { test::addBackendRows(); }
    void init() { ORLU_USE_BACKEND_OF_ROW(); }
    void showsOneSubjectInDateOrder();
    void filterIgnoresLetterCase();
    void displayColumns_data();
    void displayColumns();
    void recordHoldsPlainValues();
    void columnTitles_data();
    void columnTitles();
};

void TestMeasurementListModel::showsOneSubjectInDateOrder() {
    test::RecordFixture f;
    const qint64 late = f.addMeasurement(u"A1"_s, 46000.5);
    const qint64 early = f.addMeasurement(u"A1"_s, 45000.25);
    f.addMeasurement(u"B1"_s, 45500);
    const qint64 middle = f.addMeasurement(u"A1"_s, 45500);
    MeasurementListModel m(f.db());
    QAbstractItemModelTester tester(&m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QVERIFY(m.setSubjectNumber(u"A1"_s));
    QCOMPARE(m.rowCount(), 3);
    QCOMPARE(m.keyAt(0), early);
    QCOMPARE(m.keyAt(1), middle);
    QCOMPARE(m.keyAt(2), late);
    QCOMPARE(m.data(m.index(2, MeasurementListModel::Stno)).toInt(), 3);
    QVERIFY(m.setSubjectNumber(u"nobody"_s));
    QCOMPARE(m.rowCount(), 0);
}

void TestMeasurementListModel::filterIgnoresLetterCase() {
    test::RecordFixture f;
    f.addMeasurement(u"ab7"_s, 45000);
    f.addMeasurement(u"AB7"_s, 45001);
    f.addMeasurement(u"ab"_s, 45002);
    MeasurementListModel m(f.db());
    m.setSubjectNumber(u"Ab7"_s);
    QCOMPARE(m.rowCount(), 2);
}

void TestMeasurementListModel::displayColumns_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("shown");
    const QDateTime at(QDate(2026, 3, 4), QTime(14, 30));
    QTest::newRow("KYDATE_C") << int(MeasurementListModel::Date) << shortDate(at.date());
    QTest::newRow("KYDATE_T") << int(MeasurementListModel::Time) << shortTime(at.time());
    QTest::newRow("KYVOTA_C high") << int(MeasurementListModel::Potential) << u"高电位"_s;
    QTest::newRow("KY1") << int(MeasurementListModel::FirstValue) << u"12.1"_s;
    QTest::newRow("KY24") << int(MeasurementListModel::FirstValue + 23) << u"14.4"_s;
}

void TestMeasurementListModel::displayColumns() {
    QFETCH(int, column);
    QFETCH(QString, shown);
    test::RecordFixture f;
    f.addMeasurement(u"A1"_s, toDayCount(QDateTime(QDate(2026, 3, 4), QTime(14, 30))), 12.0, true);
    MeasurementListModel m(f.db());
    m.setSubjectNumber(u"A1"_s);
    QCOMPARE(m.data(m.index(0, column)).toString(), shown);
}

void TestMeasurementListModel::recordHoldsPlainValues() {
    test::RecordFixture f;
    const qint64 key = f.addMeasurement(u"A1"_s, 45000, 20.0, false);
    MeasurementListModel m(f.db());
    m.setSubjectNumber(u"A1"_s);
    const auto rec = m.recordAt(0);
    QVERIFY(rec);
    QCOMPARE(rec->key, key);
    QCOMPARE(rec->values[0], 20.1);
    QCOMPARE(rec->values[23], 22.4);
    QCOMPARE(m.data(m.index(0, MeasurementListModel::Potential)).toString(), u"标准"_s);
}

void TestMeasurementListModel::columnTitles_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("title");
    // The side stands before the first meridian of each block of six only.
    QTest::newRow("potential") << int(MeasurementListModel::Potential) << u"测量方式"_s;
    QTest::newRow("KY1") << int(MeasurementListModel::FirstValue) << u"左-肺经"_s;
    QTest::newRow("KY3") << int(MeasurementListModel::FirstValue + 2) << u"心  经"_s;
    QTest::newRow("KY19") << int(MeasurementListModel::FirstValue + 18) << u"右-脾经"_s;
}

void TestMeasurementListModel::columnTitles() {
    QFETCH(int, column);
    QFETCH(QString, title);
    test::RecordFixture f;
    MeasurementListModel m(f.db());
    QCOMPARE(m.headerData(column, Qt::Horizontal).toString(), title);
}

QTEST_GUILESS_MAIN(TestMeasurementListModel)
#include "test_measurementlistmodel.moc"
