// Nothing drawn covers a text, whatever the values: the eight analysis charts on
// screen and on paper, the comparison chart and the trend at the smallest and the
// largest values they show.
#include "reportfixtures.h"

#include "charts/charts.h"
#include "charts/reportpage.h"
#include "trend/trendseries.h"
#include "trend/trendchart.h"
#include "compare/comparisoncurves.h"
#include "core/channels.h"
#include "support/overlaps.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// Plain readings: none, low, ordinary, and groups far from the body energy both ways.
QList<std::pair<const char *, std::function<double(int)>>> readingSets() {
    return {{"zero", [](int) { return 0.0; }},
            {"low", [](int) { return 3.0; }},
            {"normal", [](int c) { return 40.0 + 3 * (c % 5); }},
            {"hands high", [](int c) { return limbOfChannel(c) == Limb::Hand ? 180.0 : 1.0; }},
            {"feet high", [](int c) { return limbOfChannel(c) == Limb::Foot ? 180.0 : 1.0; }},
            {"yin high", [](int c) { return isYinChannel(c) ? 180.0 : 1.0; }}};
}

void addExtremes() {
    QTest::addColumn<double>("value");
    QTest::newRow("smallest") << 0.0;
    QTest::newRow("small") << 4.0;
    QTest::newRow("largest") << 180.0;
}

} // namespace

class TestChartOverlaps : public QObject {
    Q_OBJECT
private slots:
    void analysisChart_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("paper");
        QTest::addColumn<QList<double>>("readings");
        for (const auto &[name, reading] : readingSets()) {
            QList<double> readings;
            for (int c = 1; c <= ChannelCount; ++c)
                readings << reading(c);
            for (const int selection : {1, 2, 3, 4, 5, 6, 8, 9}) {
                for (const bool paper : {false, true})
                    QTest::addRow("%d %s %s", selection, name, paper ? "paper" : "screen")
                        << selection << paper << readings;
            }
        }
    }
    void analysisChart() {
        QFETCH(int, selection);
        QFETCH(bool, paper);
        QFETCH(QList<double>, readings);
        std::array<double, 24> plain{};
        std::copy(readings.begin(), readings.end(), plain.begin());
        testing::ReportFixture fixture(plain);
        RecordingSurface rec(paper ? testing::Page600.dpi : 96);
        if (paper) {
            ReportPage page(rec, testing::Page600, false);
            page.begin(10);
            printChartSection(page, fixture.input, selection);
        } else {
            drawChart(selection, rec, fixture.result);
        }
        QCOMPARE(test::coveredTexts(rec).join(u" | "_s), QString());
    }

    void comparisonChart_data() { addExtremes(); }
    void comparisonChart() {
        QFETCH(double, value);
        QList<ComparisonEntry> entries;
        for (int k = 0; k < 6; ++k) {
            ComparisonEntry e;
            e.corrected.fill(value);
            e.energyLevel = value;
            entries << e;
        }
        RecordingSurface rec;
        drawComparisonChart(rec, ComparisonFrame::screen(MultiRecordChartWidth, ComparisonChartHeight),
                            multiRecordChart(entries, std::nullopt));
        QCOMPARE(test::coveredTexts(rec).join(u" | "_s), QString());
    }

    void trendChart_data() { addExtremes(); }
    void trendChart() {
        QFETCH(double, value);
        TrendSeries series;
        series.subjectNumber = u"A001"_s;
        std::array<double, 24> plain{};
        for (int c = 1; c <= ChannelCount; ++c)
            plain[static_cast<std::size_t>(c - 1)] = (c % 2 ? value : value / 3) / correctionFactor(c);
        for (int i = 0; i < 12; ++i)
            series.visits << trendVisitOf(100 + i, 46000 + 7 * i, i % 3 == 0, plain, true);
        RecordingSurface rec;
        drawTrendChart(rec, series, QRect(QPoint(0, 0), TrendChartSize));
        QCOMPARE(test::coveredTexts(rec).join(u" | "_s), QString());
    }
};

QTEST_MAIN(TestChartOverlaps)
#include "test_chartoverlaps.moc"
