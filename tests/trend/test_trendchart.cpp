#include "trend/trendseries.h"
#include "charts/recordingsurface.h"
#include "trend/trendchart.h"
#include "trend/trendreport.h"
#include "trend/trendtablemodel.h"
#include "core/channels.h"
#include "core/daycount.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// Plain readings whose corrected values are all `level`, `lung` on both lung channels.
std::array<double, 24> readings(double level, double lung = -1) {
    std::array<double, 24> r{};
    for (int c = 1; c <= 24; ++c)
        r[size_t(c - 1)] = ((c == 1 || c == 7) && lung >= 0 ? lung : level) / correctionFactor(c);
    return r;
}

TrendSeries seriesOf(const QList<bool> &highs, double firstDay = 46000) {
    TrendSeries s;
    s.subjectNumber = u"A001"_s;
    s.subjectName = u"王小明"_s;
    for (int i = 0; i < highs.size(); ++i)
        s.visits << trendVisitOf(100 + i, firstDay + 7 * i, highs[i], readings(30.0 + 3 * i), true);
    return s;
}

QList<DrawOp> draw(const TrendSeries &series, int selected = -1) {
    RecordingSurface recording;
    drawTrendChart(recording, series, QRect(QPoint(0, 0), TrendChartSize), selected);
    return recording.ops();
}

// Markers: circles for Standard visits, squares (outlined, solidly filled, black pen) for High.
int markers(const QList<DrawOp> &ops, DrawOp::Kind kind) {
    int n = 0;
    for (const DrawOp &op : ops) {
        const QRect r = QRect(op.points.value(0), op.points.value(1)).normalized();
        if (op.kind == kind && op.brush.style == BrushStyle::Solid && op.pen.style == PenStyle::Solid &&
            r.width() <= 10 && r.height() <= 10 && r.width() == r.height())
            ++n;
    }
    return n;
}

// The joining lines of one mode: navy solid for Standard, maroon dashed for High.
int joins(const QList<DrawOp> &ops, bool high) {
    const QColor colour = high ? QColor(128, 0, 0) : QColor(0, 0, 128);
    const PenStyle style = high ? PenStyle::Dashed : PenStyle::Solid;
    int n = 0;
    for (const DrawOp &op : ops) {
        if (op.kind == DrawOp::Kind::Line && op.pen.color == colour && op.pen.style == style &&
            op.points[0].x() != op.points[1].x())
            ++n;
    }
    return n;
}

} // namespace

class TestTrendChart : public QObject {
    Q_OBJECT
private slots:
    void visitSummarisesTheAnalysis_data();
    void visitSummarisesTheAnalysis();
    void lastVisitIsJudgedAgainstTheOneBefore_data();
    void lastVisitIsJudgedAgainstTheOneBefore();
    void normalBandsAgreeWithTheVerdicts_data();
    void normalBandsAgreeWithTheVerdicts();
    void bandLimitsAreWrittenAsTheCaptionsSay_data();
    void bandLimitsAreWrittenAsTheCaptionsSay();
    void standardAndHighAreDrawnApart_data();
    void standardAndHighAreDrawnApart();
    void oneVisitIsDrawnAlone();
    void undefinedRatioLeavesAGap();
    void visitsFollowTheColumns();
    void selectedVisitIsHighlighted();
    void datesNeverCrowd();
    void farValuesStayInsideTheirStrip();
    void implausibleEnergiesAreMarkedNotPlotted_data();
    void implausibleEnergiesAreMarkedNotPlotted();
    void printedTrendHasALinePerVisit_data();
    void printedTrendHasALinePerVisit();
    void printedTrendNamesTheAbnormalVerdicts();
    void abortedPrintStops();
};

void TestTrendChart::visitSummarisesTheAnalysis_data() {
    QTest::addColumn<double>("level");
    QTest::addColumn<double>("lung");
    QTest::addColumn<int>("abnormal");
    QTest::addColumn<int>("energyCode");
    QTest::newRow("flat") << 50.0 << -1.0 << 0 << 0;
    // Both lung channels 41.25 below A = 46.25, beyond D2 = 19.4: only the lung is abnormal.
    QTest::newRow("weak lung") << 50.0 << 5.0 << 1 << 0;
    QTest::newRow("low energy") << 15.0 << -1.0 << 0 << -3;
}

void TestTrendChart::visitSummarisesTheAnalysis() {
    QFETCH(double, level);
    QFETCH(double, lung);
    QFETCH(int, abnormal);
    QFETCH(int, energyCode);
    const auto plain = readings(level, lung);
    const TrendVisit v = trendVisitOf(7, 46000.5, true, plain, true);
    const AnalysisResult a = analyse(correctedValues(plain), true);
    QCOMPARE(v.key, 7);
    QVERIFY(v.highPotential);
    QCOMPARE(v.bodyEnergy, a.bodyEnergy);
    QCOMPARE(v.abnormalMeridians, abnormal);
    QCOMPARE(v.verdicts[0], std::optional<int>(energyCode));
    QCOMPARE(v.verdictTexts[0], a.state(StateItem::BodyEnergy).verdictText);
    QCOMPARE(v.ratios[3], a.state(StateItem::Autonomic).value);
    QCOMPARE(v.verdictTexts[1], a.state(StateItem::Spirit).verdictText);
}

// The last visit's row and ring against the visit before it in its own mode (readings of
// 40). A run cut off after 5 points once showed a body energy of 9.45 and 12 abnormal
// meridians, its unmeasured points counted as 0 uA; neither such a run nor mostly doubtful
// readings may have a change called beyond the scatter (12 % of the body energy).
void TestTrendChart::lastVisitIsJudgedAgainstTheOneBefore_data() {
    QTest::addColumn<double>("level");
    QTest::addColumn<bool>("highBetween"); // a high-potential visit of 90 before the last
    QTest::addColumn<int>("measured");     // the last visit's first points, the rest 0
    QTest::addColumn<int>("doubtful");     // the first of them
    QTest::addColumn<int>("rings");
    QTest::addColumn<QString>("row"); // energy | abnormal meridians | caveats | change ...
    QTest::newRow("a fall") << 10.0 << false << 24 << 0 << 1 << u"10.00 | 0 |  | -30.00 超出测量误差"_s;
    QTest::newRow("a step within its own mode")
        << 41.0 << true << 24 << 0 << 0 << u"41.00 | 0 |  | +1.00 在测量误差范围内"_s;
    QTest::newRow("cut off after 5")
        << 70.0 << false << 5 << 0 << 0
        << u"70.00 (5/24 点) | — | 未完成: 19 点未测量 | +30.00 无法判断: 测量未完成"_s;
    QTest::newRow("21 of 24 doubtful") << 70.0 << false << 24 << 21 << 0
                                       << u"70.00? | 0 | 可疑读数 21/24 点 | +30.00 无法判断: 多数读数可疑"_s;
    QTest::newRow("3 of 24 doubtful: judged")
        << 70.0 << false << 24 << 3 << 1 << u"70.00 | 0 | 可疑读数 3/24 点 | +30.00 超出测量误差"_s;
}

void TestTrendChart::lastVisitIsJudgedAgainstTheOneBefore() {
    QFETCH(double, level);
    QFETCH(bool, highBetween);
    QFETCH(int, measured);
    QFETCH(int, doubtful);
    std::array<double, 24> plain = readings(level);
    MeasurementQuality quality{};
    for (int c = 1; c <= 24; ++c) {
        if (c > measured)
            plain[size_t(c - 1)] = 0;
        else
            quality[size_t(c - 1)] =
                PointQuality{.verdict = c <= doubtful ? QualityVerdict::Noisy : QualityVerdict::Steady};
    }
    TrendSeries series;
    series.visits << trendVisitOf(1, 46000, false, readings(40), true);
    if (highBetween)
        series.visits << trendVisitOf(2, 46003, true, readings(90), true);
    series.visits << trendVisitOf(3, 46007, false, plain, true, quality);
    QCOMPARE(series.visits.last().verdicts[0].has_value(), measured == 24);
    int rings = -1; // the legend's sample
    for (const DrawOp &op : draw(series)) {
        if (op.kind == DrawOp::Kind::Ellipse && op.brush.style == BrushStyle::None &&
            op.pen.color == QColor(255, 0, 0))
            ++rings;
    }
    QTEST(rings, "rings");
    TrendTableModel model;
    model.setSeries(series);
    QStringList cells;
    for (const int column : {TrendTableModel::BodyEnergy, TrendTableModel::AbnormalMeridians,
                             TrendTableModel::Readings, TrendTableModel::BodyEnergyChange})
        cells << model.index(model.rowCount() - 1, column).data().toString();
    QFETCH(QString, row);
    QVERIFY2(cells.join(u" | "_s).startsWith(row), qPrintable(cells.join(u" | "_s)));
}

void TestTrendChart::normalBandsAgreeWithTheVerdicts_data() {
    QTest::addColumn<int>("item");
    QTest::addColumn<bool>("male");
    for (int item = 13; item <= 17; ++item) {
        for (bool male : {true, false})
            QTest::addRow("%d %s", item, male ? "male" : "female") << item << male;
    }
}

// The chart's green band must be exactly where the verdict is 0.
void TestTrendChart::normalBandsAgreeWithTheVerdicts() {
    QFETCH(int, item);
    QFETCH(bool, male);
    const auto state = StateItem(item);
    const NormalBand band = normalBand(state, male);
    const auto code = [&](double v) {
        switch (state) {
        case StateItem::BodyEnergy:
            return bodyEnergyCode(v, male);
        case StateItem::Spirit:
            return spiritCode(v, male);
        case StateItem::Musculoskeletal:
            return musculoskeletalCode(v);
        case StateItem::Metabolism:
            return metabolismCode(v);
        case StateItem::Autonomic:
            return autonomicCode(v);
        }
        return -99;
    };
    const double eps = 1e-9;
    QCOMPARE(code(band.low), 0);
    QCOMPARE(code((band.low + band.high) / 2), 0);
    if (state == StateItem::Autonomic) {
        QCOMPARE(code(band.high), 0);
        QVERIFY(code(band.high + eps) != 0);
    } else {
        QCOMPARE(code(band.high - eps), 0);
        QVERIFY(code(band.high) != 0);
        QVERIFY(code(band.low - eps) != 0);
    }
}

void TestTrendChart::bandLimitsAreWrittenAsTheCaptionsSay_data() {
    QTest::addColumn<bool>("male");
    QTest::addColumn<QStringList>("limits");
    // Body energy, spirit, musculoskeletal, metabolism, autonomic: low then high.
    QTest::newRow("male") << true << QStringList{u"28"_s,  u"59"_s,  u"0.88"_s, u"1.15"_s, u"0.8"_s,
                                                 u"1.1"_s, u"0.8"_s, u"1.1"_s,  u"1.0"_s,  u"1.5"_s};
    QTest::newRow("female") << false << QStringList{u"26"_s,  u"58"_s,  u"0.78"_s, u"1.05"_s, u"0.8"_s,
                                                    u"1.1"_s, u"0.8"_s, u"1.1"_s,  u"1.0"_s,  u"1.5"_s};
}

// The limits left of each band are the caption's numbers, not the band's upper
// edge (where the next verdict begins: 60, 1.16).
void TestTrendChart::bandLimitsAreWrittenAsTheCaptionsSay() {
    QFETCH(bool, male);
    QFETCH(QStringList, limits);
    TrendSeries series = seriesOf({false, true, false});
    series.male = male;
    QStringList written;
    for (const DrawOp &op : draw(series)) {
        if (op.kind == DrawOp::Kind::Text && op.font == QColor(128, 128, 0))
            written << op.text;
    }
    // Each band writes its high limit first.
    QStringList expected;
    for (qsizetype i = 0; i + 1 < limits.size(); i += 2)
        expected << limits[i + 1] << limits[i];
    QCOMPARE(written, expected);
}

void TestTrendChart::standardAndHighAreDrawnApart_data() {
    QTest::addColumn<QList<bool>>("highs");
    QTest::addColumn<int>("standardJoins");
    QTest::addColumn<int>("highJoins");
    // Five panels draw the lines of each mode (body energy and the four ratios).
    QTest::newRow("all standard") << QList<bool>{false, false, false, false} << 5 * 3 << 0;
    QTest::newRow("interleaved") << QList<bool>{false, true, false, true, false} << 5 * 2 << 5 * 1;
    QTest::newRow("all high") << QList<bool>{true, true, true} << 0 << 5 * 2;
}

void TestTrendChart::standardAndHighAreDrawnApart() {
    QFETCH(QList<bool>, highs);
    QFETCH(int, standardJoins);
    QFETCH(int, highJoins);
    const QList<DrawOp> ops = draw(seriesOf(highs));
    const int high = int(highs.count(true));
    // Legend samples: one of each.
    QCOMPARE(markers(ops, DrawOp::Kind::Ellipse), 5 * (int(highs.size()) - high) + 1);
    QCOMPARE(markers(ops, DrawOp::Kind::Rect), 5 * high + 1);
    QCOMPARE(joins(ops, false), standardJoins + 1);
    QCOMPARE(joins(ops, true), highJoins + 1);
}

void TestTrendChart::oneVisitIsDrawnAlone() {
    const QList<DrawOp> ops = draw(seriesOf({false}));
    QCOMPARE(markers(ops, DrawOp::Kind::Ellipse), 5 + 1);
    QCOMPARE(joins(ops, false), 1); // the legend's sample only
    const TrendLayout layout = trendLayout(QRect(QPoint(0, 0), TrendChartSize), 1);
    QVERIFY(qAbs(layout.columnCentre(0) - layout.plot.center().x()) <= 1);
    QVERIFY(ops.end() != std::find_if(ops.begin(), ops.end(), [](const DrawOp &op) {
                return op.kind == DrawOp::Kind::Text && op.text.contains(u"1 次测量"_s);
            }));
}

void TestTrendChart::undefinedRatioLeavesAGap() {
    TrendSeries s = seriesOf({false, false, false});
    s.visits[1].ratios[2].reset(); // metabolism undefined at the second visit
    const QList<DrawOp> ops = draw(s);
    QCOMPARE(markers(ops, DrawOp::Kind::Ellipse), 5 * 3 - 1 + 1);
    QCOMPARE(joins(ops, false), 5 * 2 - 2 + 1);
}

void TestTrendChart::visitsFollowTheColumns() {
    const QRect area(QPoint(0, 0), TrendChartSize);
    const TrendLayout layout = trendLayout(area, 10);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(layout.visitAt(layout.columnCentre(i)), i);
    QCOMPARE(layout.visitAt(layout.plot.left() - 1), -1);
    QCOMPARE(layout.visitAt(layout.plot.right() + 1), -1);
    QCOMPARE(trendLayout(area, 0).visitAt(area.center().x()), -1);
    // Markers stand on their column's centre, in time order.
    const QList<DrawOp> ops = draw(seriesOf(QList<bool>(10, false)));
    QList<int> xs;
    for (const DrawOp &op : ops) {
        if (op.kind == DrawOp::Kind::Ellipse && xs.size() < 12)
            xs << QRect(op.points[0], op.points[1]).normalized().center().x();
    }
    xs.remove(0, 2); // the legend's samples: a point and the ring of a change
    for (int i = 0; i < xs.size(); ++i)
        QVERIFY(qAbs(xs[i] - layout.columnCentre(i)) <= 1);
}

void TestTrendChart::selectedVisitIsHighlighted() {
    const TrendSeries s = seriesOf(QList<bool>(4, false));
    const TrendLayout layout = trendLayout(QRect(QPoint(0, 0), TrendChartSize), 4);
    const QList<DrawOp> none = draw(s);
    const QList<DrawOp> third = draw(s, 2);
    QCOMPARE(third.size(), none.size() + 1);
    // Drawn first, under everything else, across all panels.
    const DrawOp &band = third.first();
    QCOMPARE(band.kind, DrawOp::Kind::Rect);
    const QRect r = QRect(band.points[0], band.points[1]).normalized();
    QVERIFY(r.contains(layout.columnCentre(2), layout.energy.center().y()));
    QVERIFY(!r.contains(layout.columnCentre(1), layout.energy.center().y()));
    QCOMPARE(r.top(), layout.plot.top());
    QCOMPARE(r.bottom(), layout.plot.bottom());
}

void TestTrendChart::datesNeverCrowd() {
    for (int visits : {1, 12, 30, 500}) {
        QList<int> xs;
        for (const DrawOp &op : draw(seriesOf(QList<bool>(visits, false)))) {
            if (op.kind == DrawOp::Kind::Text &&
                dateTimeLocale().toDate(op.text, QLocale::ShortFormat).isValid())
                xs << op.points[0].x();
        }
        QVERIFY(!xs.isEmpty());
        for (int i = 1; i < xs.size(); ++i)
            QVERIFY2(xs[i] - xs[i - 1] >= 62, qPrintable(u"%1 visits"_s.arg(visits)));
    }
}

void TestTrendChart::farValuesStayInsideTheirStrip() {
    TrendSeries s = seriesOf({false, false});
    s.visits[0].ratios[3] = 90.0; // an autonomic ratio of a zero group
    const ValueRange range = ratioRange(s, 3);
    QVERIFY(range.high < 5.0);
    QVERIFY(range.low >= 0.9);
    const TrendLayout layout = trendLayout(QRect(QPoint(0, 0), TrendChartSize), 2);
    const QRect strip = layout.ratios[3];
    int inside = 0;
    for (const DrawOp &op : draw(s)) {
        if (op.kind == DrawOp::Kind::Ellipse && strip.contains(QRect(op.points[0], op.points[1]).center()))
            ++inside;
    }
    QCOMPARE(inside, 2);
}

void TestTrendChart::implausibleEnergiesAreMarkedNotPlotted_data() {
    QTest::addColumn<double>("energy");
    QTest::addColumn<bool>("marked");
    QTest::newRow("a strong subject") << 250.0 << false;
    QTest::newRow("1e9") << 1e9 << true;
    QTest::newRow("1e12") << 1e12 << true;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << true;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << true;
}

void TestTrendChart::implausibleEnergiesAreMarkedNotPlotted() {
    QFETCH(double, energy);
    QFETCH(bool, marked);
    TrendSeries s = seriesOf({false, true, false});
    s.visits[1].bodyEnergy = energy;
    QElapsedTimer timer;
    timer.start();
    const QList<DrawOp> ops = draw(s);
    QVERIFY2(timer.elapsed() < 2000, "the chart took too long");
    QVERIFY(ops.size() < 2000);
    const ValueRange range = energyRange(s);
    QCOMPARE(range.high, marked ? 80.0 : 250.0);
    int triangles = 0;
    for (const DrawOp &op : ops)
        triangles += op.kind == DrawOp::Kind::Polygon && op.brush.color == QColor(255, 0, 0) ? 1 : 0;
    QCOMPARE(triangles, marked ? 1 : 0);
    // In the energy panel the other visits keep their markers; the High one is the triangle instead.
    const QRect panel = trendLayout(QRect(QPoint(0, 0), TrendChartSize), 3).energy;
    QList<DrawOp> inPanel;
    for (const DrawOp &op : ops) {
        if (op.points.size() == 2 && panel.contains(QRect(op.points[0], op.points[1]).center()))
            inPanel << op;
    }
    QCOMPARE(markers(inPanel, DrawOp::Kind::Ellipse), 2);
    QCOMPARE(markers(inPanel, DrawOp::Kind::Rect), marked ? 0 : 1);
}

namespace {

const PageGeometry A4{600, 4800, 6800};

// The texts of each printed page (every page, the first too, opens with a page op).
QList<QStringList> pageTexts(const QList<DrawOp> &ops) {
    QList<QStringList> pages;
    for (const DrawOp &op : ops) {
        if (op.kind == DrawOp::Kind::Page)
            pages.append(QStringList());
        else if (op.kind == DrawOp::Kind::Text)
            pages.last() << op.text;
    }
    return pages;
}

} // namespace

void TestTrendChart::printedTrendHasALinePerVisit_data() {
    QTest::addColumn<int>("visits");
    QTest::addColumn<int>("pages");
    QTest::newRow("one visit") << 1 << 1;
    QTest::newRow("thirty visits") << 30 << 2;
}

void TestTrendChart::printedTrendHasALinePerVisit() {
    QFETCH(int, visits);
    QFETCH(int, pages);
    RecordingSurface recording(600);
    const TrendReportHeader header{u"第一医院"_s, u"理疗科"_s, QDateTime(QDate(2026, 12, 9), QTime(10, 30))};
    const TrendSeries series = seriesOf(QList<bool>(visits, false));
    QCOMPARE(produceTrendReport(recording, A4, series, header), ReportOutcome::Finished);
    const QList<QStringList> printed = pageTexts(recording.ops());
    QCOMPARE(printed.size(), pages);
    const QStringList &first = printed.first();
    for (const QString &text :
         {u"O.R.L.U. 能量趋势"_s, u"第一医院"_s, u"理疗科"_s, u"编号:  A001"_s, u"姓名:  王小明"_s})
        QVERIFY2(first.contains(text), qPrintable(text));
    QVERIFY(first.contains(u"测量次数:  %1"_s.arg(visits)));
    // One line per visit with its index, and the column titles atop every page.
    QStringList all;
    for (const QStringList &page : printed) {
        QVERIFY(page.contains(u"测量日期"_s)); // so never a page with its number alone
        QVERIFY(page.size() > 10);
        all << page;
    }
    for (int i = 1; i <= visits; ++i)
        QVERIFY(all.contains(QString::number(i)));
    const int modeColumn = recording.findText(u"测量方式"_s)->points[0].x();
    int modes = 0;
    for (const DrawOp &op : recording.ops(DrawOp::Kind::Text))
        modes += op.text == u"标准"_s && op.points[0].x() == modeColumn;
    QCOMPARE(modes, visits);
    // The chart is drawn at the printer's scale: its markers are bigger than on screen.
    const QList<DrawOp> ellipses = recording.ops(DrawOp::Kind::Ellipse);
    QVERIFY(!ellipses.isEmpty());
    QVERIFY(QRect(ellipses.first().points[0], ellipses.first().points[1]).normalized().width() > 30);
    // Nothing below the bottom margin.
    for (const DrawOp &op : recording.ops(DrawOp::Kind::Text))
        QVERIFY2(op.points[0].y() < A4.printableHeight, qPrintable(op.text));
}

void TestTrendChart::printedTrendNamesTheAbnormalVerdicts() {
    TrendSeries series = seriesOf({false});
    // Very low readings: body energy far under its normal band.
    series.visits << trendVisitOf(200, 46100, true, readings(3.0), true);
    RecordingSurface recording(600);
    produceTrendReport(recording, A4, series, {});
    const TrendVisit &low = series.visits.last();
    QVERIFY(low.verdicts[0].value_or(0) != 0);
    bool named = false;
    for (const DrawOp &op : recording.ops(DrawOp::Kind::Text))
        named = named || op.text.contains(low.verdictTexts[0]);
    QVERIFY2(named, qPrintable(low.verdictTexts[0]));
    QVERIFY(recording.findText(u"高电位"_s));
}

void TestTrendChart::abortedPrintStops() {
    RecordingSurface recording(600);
    int asked = 0;
    const auto outcome =
        produceTrendReport(recording, A4, seriesOf(QList<bool>(30, false)), {}, [&] { return ++asked > 3; });
    QCOMPARE(outcome, ReportOutcome::Aborted);
    QVERIFY(!recording.findText(u"30"_s));
}

QTEST_MAIN(TestTrendChart)
#include "test_trendchart.moc"
