#include "core/daycount.h"
#include "recordfixture.h"
#include "trend/trendloader.h"
#include "trend/trendtablemodel.h"

#include <QAbstractItemModelTester>
#include <QColor>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestTrendLoader : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void visitsComeInTimeOrder();
    void standardAndHighStayApart();
    void subjectWithoutMeasurements();
    void tableShowsEachVisit_data();
    void tableShowsEachVisit();
    void tablePassesTheModelTester();

private:
    std::unique_ptr<RecordFixture> f;
    QList<qint64> m_keys; // in time order
};

void TestTrendLoader::init() {
    f = std::make_unique<RecordFixture>();
    f->addSubject(u"A001"_s, u"王小明"_s, false);
    f->addSubject(u"B002"_s, u"李丽"_s);
    // Stored out of order, one under another letter case, one at the same moment as another.
    const qint64 third = f->addMeasurement(u"A001"_s, 46300.5, 40.0, true);
    const qint64 first = f->addMeasurement(u"a001"_s, 46000.25, 20.0);
    const qint64 second = f->addMeasurement(u"A001"_s, 46100.75, 30.0);
    const qint64 sameTime = f->addMeasurement(u"A001"_s, 46300.5, 60.0);
    f->addMeasurement(u"B002"_s, 46050.0);
    m_keys = {first, second, third, sameTime};
}

void TestTrendLoader::cleanup() {
    f.reset();
}

void TestTrendLoader::visitsComeInTimeOrder() {
    const auto series = loadTrendSeries(f->context.records, u"a001"_s);
    QVERIFY(series);
    QCOMPARE(series->subjectNumber, u"A001"_s);
    QCOMPARE(series->subjectName, u"王小明"_s);
    QVERIFY(!series->male);
    QList<qint64> keys;
    for (const TrendVisit &v : series->visits)
        keys << v.key;
    QCOMPARE(keys, m_keys);
    QCOMPARE(series->indexOfKey(m_keys[2]), 2);
    QCOMPARE(series->indexOfKey(999), -1);
    // The level of each measurement comes through its analysis.
    QVERIFY(series->visits[0].bodyEnergy < series->visits[1].bodyEnergy);
}

void TestTrendLoader::standardAndHighStayApart() {
    const auto series = loadTrendSeries(f->context.records, u"A001"_s);
    QVERIFY(series);
    QList<bool> highs;
    for (const TrendVisit &v : series->visits)
        highs << v.highPotential;
    QCOMPARE(highs, (QList<bool>{false, false, true, false}));
    QVERIFY(series->hasHighPotential());
}

void TestTrendLoader::subjectWithoutMeasurements() {
    f->addSubject(u"C003"_s, u"张三"_s);
    const auto series = loadTrendSeries(f->context.records, u"C003"_s);
    QVERIFY(series);
    QVERIFY(series->visits.isEmpty());
    QCOMPARE(series->subjectName, u"张三"_s);
}

void TestTrendLoader::tableShowsEachVisit_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::newRow("index") << 0 << int(TrendTableModel::Index) << u"1"_s;
    QTest::newRow("date") << 0 << int(TrendTableModel::Date) << shortDate(dateOfDayCount(46000.25));
    QTest::newRow("time") << 0 << int(TrendTableModel::Time) << shortTime(QTime(6, 0));
    QTest::newRow("standard") << 0 << int(TrendTableModel::Potential) << u"标准"_s;
    QTest::newRow("high") << 2 << int(TrendTableModel::Potential) << u"高电位"_s;
    QTest::newRow("abnormal meridians") << 0 << int(TrendTableModel::AbnormalMeridians) << u"0"_s;
}

void TestTrendLoader::tableShowsEachVisit() {
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    TrendTableModel model;
    model.setSeries(*loadTrendSeries(f->context.records, u"A001"_s));
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.index(row, column).data().toString(), text);
    QCOMPARE(model.index(row, 0).data(Qt::UserRole).toLongLong(), m_keys[row]);
}

void TestTrendLoader::tablePassesTheModelTester() {
    TrendTableModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto series = loadTrendSeries(f->context.records, u"A001"_s);
    model.setSeries(*series);
    const TrendVisit &v = series->visits[0];
    // Each value beside its verdict text, titled as on the analysis window.
    QCOMPARE(model.headerData(TrendTableModel::FirstRatio, Qt::Horizontal).toString(), u"精神状态比值"_s);
    QCOMPARE(model.headerData(TrendTableModel::FirstRatio + 1, Qt::Horizontal).toString(), u"精神压力状态"_s);
    QCOMPARE(model.headerData(TrendTableModel::BodyEnergyVerdict, Qt::Horizontal).toString(),
             u"身体能量状况"_s);
    QCOMPARE(model.index(0, TrendTableModel::BodyEnergy).data().toString(),
             QString::number(v.bodyEnergy, 'f', 2));
    QCOMPARE(model.index(0, TrendTableModel::BodyEnergyVerdict).data().toString(), v.verdictTexts[0]);
    QCOMPARE(model.index(0, TrendTableModel::FirstRatio + 7).data().toString(), v.verdictTexts[4]);
    QCOMPARE(model.index(0, TrendTableModel::FirstRatio + 6).data().toString(),
             QString::number(*v.ratios[3], 'f', 3));
    // A body energy of about 21 for a woman is slightly weak (-2): olive, as yellow would not
    // show on a white row.
    QCOMPARE(v.verdicts[0], std::optional<int>(-2));
    QCOMPARE(model.index(0, TrendTableModel::BodyEnergy).data(Qt::ForegroundRole).value<QColor>(),
             QColor(128, 128, 0));
    model.setSeries({});
    QCOMPARE(model.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestTrendLoader)
#include "test_trendloader.moc"
