#include "charts/calibrationchart.h"
#include "charts/recordingsurface.h"
#include "measure/calibrationstanding.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

class TestCalibrationChart : public QObject {
    Q_OBJECT
private slots:
    void scaleFollowsTheSuccessfulCalibrations_data();
    void scaleFollowsTheSuccessfulCalibrations();
};

namespace {

const QColor Grey(160, 160, 164);

CalibrationEntry entry(double at, bool succeeded, int standard = 0, int high = 0) {
    return calibrationEntry(at, standard, high, succeeded);
}

int linesIn(const QList<DrawOp> &ops, const QColor &colour) {
    return int(std::count_if(ops.cbegin(), ops.cend(), [&](const DrawOp &op) {
        return op.kind == DrawOp::Kind::Line && op.pen.color == colour;
    }));
}

} // namespace

void TestCalibrationChart::scaleFollowsTheSuccessfulCalibrations_data() {
    QTest::addColumn<QList<CalibrationEntry>>("entries");
    QTest::addColumn<QStringList>("labels"); // top, bottom
    QTest::addColumn<int>("dots");
    QTest::addColumn<int>("failureMarks");
    QTest::newRow("no calibration") << QList<CalibrationEntry>{} << QStringList{} << 0 << 0;
    // Failed ones set no scale, yet the operator sees that they happened.
    QTest::newRow("only failures") << QList<CalibrationEntry>{entry(10, false), entry(11, false, 9000, 9000)}
                                   << QStringList{} << 0 << 2;
    QTest::newRow("one success") << QList<CalibrationEntry>{entry(10, true, 1000, 2000)}
                                 << QStringList{u"2100"_s, u"900"_s} << 2 << 0;
    QTest::newRow("a failure among successes")
        << QList<CalibrationEntry>{entry(10, true, 1000, 2000), entry(12, false, 4900, 4900),
                                   entry(13, true, 1050, 2200)}
        << QStringList{u"2300"_s, u"900"_s} << 4 << 1;
    QTest::newRow("the scale stops at 0")
        << QList<CalibrationEntry>{entry(10, true, 50, 400)} << QStringList{u"500"_s, u"0"_s} << 2 << 0;
}

void TestCalibrationChart::scaleFollowsTheSuccessfulCalibrations() {
    QFETCH(QList<CalibrationEntry>, entries);
    QFETCH(QStringList, labels);
    QFETCH(int, dots);
    QFETCH(int, failureMarks);
    RecordingSurface surface;
    const QRect bounds(0, 0, 300, 120);
    drawCalibrationChart(surface, bounds, entries);
    QStringList texts;
    for (const DrawOp &op : surface.ops(DrawOp::Kind::Text))
        texts << op.text;
    QCOMPARE(texts, labels);
    QCOMPARE(surface.ops(DrawOp::Kind::Ellipse).size(), dots);
    QCOMPARE(linesIn(surface.ops(), Grey), failureMarks);
    // Everything stays inside the chart's bounds, the labels too.
    for (const DrawOp &op : surface.ops()) {
        for (const QPoint &p : op.points)
            QVERIFY2(bounds.adjusted(0, 0, 1, 1).contains(p), qPrintable(op.text));
        if (op.kind == DrawOp::Kind::Text)
            QVERIFY(bounds.contains(surface.inkBox(op)));
    }
    // The dots of one calibration stand at the same x, oldest left.
    const QList<DrawOp> ellipses = surface.ops(DrawOp::Kind::Ellipse);
    for (int i = 1; i < ellipses.size() / 2; ++i)
        QVERIFY(ellipses[i].points[0].x() > ellipses[i - 1].points[0].x());
}

QTEST_MAIN(TestCalibrationChart)
#include "test_calibrationchart.moc"
