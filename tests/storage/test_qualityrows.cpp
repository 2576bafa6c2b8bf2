#include "storage/database.h"
#include "storage/qualityrows.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestQualityRows : public QObject {
    Q_OBJECT
private slots:
    void storedBesideTheMeasurement_data();
    void storedBesideTheMeasurement();
};

namespace {

// "1:steady 24:saturated": the stored verdict words of a measurement, by channel.
QString storedVerdicts(const QSqlDatabase &db, qint64 key) {
    QSqlQuery q(db);
    q.prepare(u"SELECT CHANNEL, VERDICT FROM KYQUAL WHERE MKEY = ? ORDER BY CHANNEL"_s);
    q.addBindValue(key);
    QStringList rows;
    if (q.exec()) {
        while (q.next())
            rows << q.value(0).toString() + u':' + q.value(1).toString();
    }
    return rows.join(u' ');
}

// What a reader of the quality makes of it: the channels with a known verdict.
QString readVerdicts(const MeasurementQuality &quality) {
    QStringList known;
    for (int c = 1; c <= 24; ++c) {
        if (quality[size_t(c - 1)])
            known << QString::number(c) + u':' + verdictWord(quality[size_t(c - 1)]->verdict);
    }
    return known.join(u' ');
}

} // namespace

// The quality of each reading and the mark of each point a stored run left out are
// kept beside the KYDATA row; a reader that knows no "unmeasured" verdict (older
// programs, readQualityRows) sees those points as of unknown quality.
void TestQualityRows::storedBesideTheMeasurement_data() {
    QTest::addColumn<QList<int>>("judged"); // channels with a steady verdict, 24 saturated
    QTest::addColumn<int>("measuredUpTo");  // readings 0 after this channel
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("read");
    QTest::newRow("complete run") << QList<int>{1, 24} << 24 << u"1:steady 24:saturated"_s
                                  << u"1:steady 24:saturated"_s;
    QTest::newRow("cut off after 21")
        << QList<int>{1, 2} << 21 << u"1:steady 2:steady 22:unmeasured 23:unmeasured 24:unmeasured"_s
        << u"1:steady 2:steady"_s;
    QTest::newRow("typed, three cells left empty")
        << QList<int>{} << 21 << u"22:unmeasured 23:unmeasured 24:unmeasured"_s << QString();
}

void TestQualityRows::storedBesideTheMeasurement() {
    QFETCH(QList<int>, judged);
    QFETCH(int, measuredUpTo);
    test::TempHome home;
    const QString path = home.file(u"m.mdb"_s);
    QVERIFY(createDatabaseFile(path, SchemaKind::Main));
    Database file;
    QVERIFY(file.open(path, Database::Access::Shared));
    QSqlDatabase db = file.handle();
    MeasurementQuality quality{};
    for (int c : judged) {
        quality[size_t(c - 1)] =
            PointQuality{412, 1000.0,      3.5,
                         0,   -0.125,      30.5,
                         2,   FlagRetried, c == 24 ? QualityVerdict::Saturated : QualityVerdict::Steady};
    }
    std::array<double, 24> readings{};
    for (int c = 1; c <= measuredUpTo; ++c)
        readings[size_t(c - 1)] = 40.5;
    QVERIFY(writeQualityRows(db, 7, quality));
    QVERIFY(writeUnmeasuredRows(db, 7, readings));
    QVERIFY(writeQualityRows(db, 8, quality)); // another measurement's rows stay apart

    QTEST(storedVerdicts(db, 7), "stored");
    const MeasurementQuality back = readQualityRows(db, 7);
    QTEST(readVerdicts(back), "read");
    if (!judged.isEmpty()) {
        const PointQuality &p = *back[size_t(judged.first() - 1)];
        QCOMPARE(p.samples, 412);
        QCOMPARE(p.mean, 1000.0);
        QCOMPARE(p.cvPercent, 0.35); // derived from mean and sd, not stored
        QCOMPARE(p.driftPercentPerSecond, -0.125);
        QCOMPARE(p.attempts, 2);
        QCOMPARE(p.flags, unsigned(FlagRetried));
    }
    QVERIFY(deleteQualityRows(db, 7));
    QCOMPARE(storedVerdicts(db, 7), QString());
    QCOMPARE(readVerdicts(readQualityRows(db, 8)), readVerdicts(quality));
}

QTEST_GUILESS_MAIN(TestQualityRows)
#include "test_qualityrows.moc"
