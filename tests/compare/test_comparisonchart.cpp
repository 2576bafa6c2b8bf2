// The comparison chart on its screen and printed frames, and the curves of both comparisons.
#include "analysis/analysis.h"
#include "charts/recordingsurface.h"
#include "compare/comparisonchart.h"
#include "compare/comparisoncurves.h"

#include <QTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

std::array<double, 24> uniform(double v) {
    std::array<double, 24> a;
    a.fill(v);
    return a;
}

ComparisonRecord recordWith(double plainAverage, const std::array<double, 24> &corrected) {
    ComparisonRecord r;
    r.average = plainAverage;
    r.corrected = corrected;
    return r;
}

RecordingSurface draw(const ComparisonFrame &frame, const ComparisonChart &chart) {
    RecordingSurface rec;
    drawComparisonChart(rec, frame, chart);
    return rec;
}

// Dotted lines across the whole scale, in drawing order: the band.
QList<DrawOp> bandLines(const RecordingSurface &rec, const ComparisonFrame &f) {
    QList<DrawOp> lines;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Line)) {
        if (op.pen.style == PenStyle::Dotted && op.points[0] == QPoint(f.left, op.points[0].y()) &&
            op.points[1] == QPoint(f.left + f.width, op.points[0].y()))
            lines.append(op);
    }
    return lines;
}

// The filled squares of the curves (markers), in drawing order.
QList<QPoint> markerCentres(const RecordingSurface &rec, int half) {
    QList<QPoint> centres;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Rect)) {
        const QPoint a = op.points[0];
        const QPoint b = op.points[1];
        if (b - a == QPoint(2 * half, 2 * half) && op.brush.style == BrushStyle::Solid)
            centres.append((a + b) / 2);
    }
    return centres;
}

QList<DrawOp> textsStartingWith(const RecordingSurface &rec, const QString &prefix) {
    QList<DrawOp> found;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Text)) {
        if (op.text.startsWith(prefix))
            found.append(op);
    }
    return found;
}

} // namespace

class TestComparisonChart : public QObject {
    Q_OBJECT

private slots:
    void bandValuesCentreOnTheEnergyLevel_data() {
        QTest::addColumn<double>("energy");
        QTest::addColumn<QList<double>>("values");
        QTest::newRow("50: scale 1") << 50.0 << QList<double>{71, 30, 61.5, 39.5};
        QTest::newRow("10: scale 0.6625")
            << 10.0
            << QList<double>{10 + 21 * 0.6625, 10 - 20 * 0.6625, 10 + 11.5 * 0.6625, 10 - 10.5 * 0.6625};
    }
    void bandValuesCentreOnTheEnergyLevel() {
        QFETCH(double, energy);
        QFETCH(QList<double>, values);
        const std::array<double, 4> band = comparisonBandValues(energy);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(band[static_cast<std::size_t>(i)], values[i]);
    }

    void bandOfAPlainAverageOf50() {
        // The band centres on the mean of the plain readings, whatever the corrected values are.
        const ComparisonFrame f = ComparisonFrame::screen(TwoRecordChartWidth, ComparisonChartHeight);
        const ComparisonChart chart = twoRecordChart(recordWith(50, uniform(42)), std::nullopt,
                                                     BandChoice::Original, ChartMedium::Screen);
        const QList<DrawOp> lines = bandLines(draw(f, chart), f);
        QCOMPARE(lines.size(), 4);
        const std::array<double, 4> values = comparisonBandValues(50);
        const QList<QColor> colours{{255, 0, 0}, {255, 0, 0}, {128, 128, 0}, {128, 128, 0}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lines[i].points[0].y(), f.bandY(values[size_t(i)]));
            QCOMPARE(lines[i].pen.color, colours[i]);
        }
        QCOMPARE(lines[0].points[0].y(), 234); // 387 - 152.65
    }

    void pointPositionsOnTheDesignArea() {
        const ComparisonFrame f = ComparisonFrame::screen(600, 417);
        QCOMPARE(f.width, 570);
        QCOMPARE(f.height, 387);
        QCOMPARE(f.valueY(60), 258);
        QCOMPARE(f.pointX(12), 327);

        // Position 12 is the left spleen channel (13): only it reads 60.
        std::array<double, 24> values = uniform(20);
        values[12] = 60;
        const ComparisonChart chart =
            twoRecordChart(recordWith(20, values), std::nullopt, BandChoice::None, ChartMedium::Screen);
        const QList<QPoint> markers = markerCentres(draw(f, chart), 3);
        QCOMPARE(markers.size(), 24);
        QCOMPARE(markers[12], QPoint(327, 258));
        QCOMPARE(markers[0], QPoint(42, f.valueY(20)));
    }

    void curvesFollowThePairedOrder() {
        std::array<double, 24> values{};
        for (int c = 1; c <= 24; ++c)
            values[static_cast<std::size_t>(c - 1)] = c * 5;
        const ComparisonFrame f = ComparisonFrame::screen(600, 417);
        const RecordingSurface rec = draw(
            f, twoRecordChart(recordWith(1, values), std::nullopt, BandChoice::None, ChartMedium::Screen));
        const QList<QPoint> markers = markerCentres(rec, 3);
        for (int i = 0; i < 24; ++i)
            QCOMPARE(markers[i].y(),
                     std::min(f.curveFloor, f.valueY(PairedChannelOrder[static_cast<std::size_t>(i)] * 5)));
        // The polyline runs through the same points in the record's pen.
        QList<DrawOp> polyline;
        for (const DrawOp &op : rec.ops(DrawOp::Kind::Line))
            if (op.pen.color == QColor(0, 0, 255) && op.pen.style == PenStyle::Dashed)
                polyline.append(op);
        QCOMPARE(polyline.size(), 24); // the legend line, then 23 segments
        for (int i = 1; i < 24; ++i)
            QCOMPARE(polyline[i].points[1], markers[i]);
    }

    // A cut-off record once drew its unmeasured points at 0 uA; a doubtful reading looked
    // like any other. Position 1 (right lung) is unmeasured, position 2 (left pericardium) doubtful.
    void unmeasuredPointsBreakTheCurveAndDoubtfulOnesAreRings() {
        ComparisonRecord record = recordWith(50, uniform(50));
        record.corrected[6] = 0;
        record.quality[1] = PointQuality{.verdict = QualityVerdict::Noisy};
        const ComparisonFrame f = ComparisonFrame::screen(600, 417);
        const RecordingSurface rec =
            draw(f, twoRecordChart(record, std::nullopt, BandChoice::None, ChartMedium::Screen));
        QCOMPARE(markerCentres(rec, 3).size(), 22);
        const QList<DrawOp> rings = rec.ops(DrawOp::Kind::Ellipse);
        QCOMPARE(rings.size(), 1);
        QCOMPARE(QRect(rings[0].points[0], rings[0].points[1]).center().x(), f.pointX(2));
        int segments = 0; // the legend line, then 23 segments less the two at the gap, never to 0
        for (const DrawOp &op : rec.ops(DrawOp::Kind::Line)) {
            if (op.pen.color == QColor(0, 0, 255) && op.pen.style == PenStyle::Dashed) {
                ++segments;
                QVERIFY(op.points[0].y() < f.valueY(10) && op.points[1].y() < f.valueY(10));
            }
        }
        QCOMPARE(segments, 1 + 21);
    }

    void valuesAbove180AreNotClipped() {
        const ComparisonFrame f = ComparisonFrame::screen(600, 417);
        const QList<QPoint> markers =
            markerCentres(draw(f, twoRecordChart(recordWith(200, uniform(200)), std::nullopt,
                                                 BandChoice::None, ChartMedium::Screen)),
                          3);
        QCOMPARE(markers[0].y(), 387 - 430);
    }

    void screenFrame() {
        const ComparisonFrame f = ComparisonFrame::screen(600, 417);
        const RecordingSurface rec = draw(f, {});
        const QList<DrawOp> lines = rec.ops(DrawOp::Kind::Line);
        QCOMPARE(lines[0].points, (QList<QPoint>{{30, 0}, {30, 387}}));
        QCOMPARE(lines[0].pen.width, 3);
        // Twelve dashed grey columns split the width evenly, from H div 18 down; the sixth,
        // between hands and feet, is twice as wide.
        for (int i = 1; i <= 12; ++i) {
            const DrawOp &grid = lines[i];
            const int x = grid.points[0].x();
            QVERIFY2(qAbs(x - f.left - f.width * i / 12.0) <= 0.5, qPrintable(QString::number(x)));
            QCOMPARE(grid.points, (QList<QPoint>{{x, 21}, {x, 387}}));
            QCOMPARE(grid.pen.style, PenStyle::Dashed);
            QCOMPARE(grid.pen.width, i == 6 ? 2 : 1);
        }
        // Ticks 0..170 labelled "%3d" in navy, 6 pixels above.
        const DrawOp *zero = rec.findText(u"  0"_s);
        const DrawOp *top = rec.findText(u"170"_s);
        QVERIFY(zero && top);
        QCOMPARE(zero->points[0], QPoint(2, 381));
        QCOMPARE(top->points[0], QPoint(2, f.valueY(170) - 6));
        QCOMPARE(top->font, QColor(0, 0, 128));
        QVERIFY(!rec.findText(u"180"_s));
        QCOMPARE(lines[13].points, (QList<QPoint>{{30, 387}, {37, 387}}));

        const DrawOp *lung = rec.findText(u" 肺  经"_s);
        QVERIFY(lung);
        QCOMPARE(lung->points[0], QPoint(35, 371));
        QCOMPARE(lung->font, QColor(0, 128, 0));
        const QList<DrawOp> earth = textsStartingWith(rec, u"  土"_s); // spleen, then stomach
        QCOMPARE(earth.size(), 2);
        QCOMPARE(earth[1].points[0], QPoint(lines[11].points[0].x() + 12, 387)); // into the last column
        QCOMPARE(earth[1].font, QColor(0, 0, 255));
        QCOMPARE(rec.findText(u"左   右"_s)->points[0], QPoint(37, 402));
        QCOMPARE(rec.findText(u"Hands  手"_s)->points[0], QPoint(149, 402));
        QCOMPARE(rec.findText(u"Feet 足"_s)->points[0], QPoint(442, 402));
    }

    void printedFrameAt600Dpi() {
        const ComparisonFrame f = ComparisonFrame::printed(600, 3000, BandOwnerMark::None);
        QCOMPARE(printerMm(10, 600), 236);
        QCOMPARE(f.left, 709);
        QCOMPARE(f.width, 3543);
        QCOMPARE(f.height, 2362);
        QCOMPARE(f.axisPen, 8);
        QCOMPARE(f.thinPen, 4);
        QCOMPARE(f.separatorPen, 12);
        QCOMPARE(f.pointX(0), 709 + 94);
        QCOMPARE(f.valueY(180), 3000);
        QCOMPARE(f.bandY(0), 3000 + 2362);
        QVERIFY(qAbs(f.legendBase(3) - f.width * 3 / 7.0) <= 0.5); // three sevenths of the width

        const RecordingSurface rec = draw(f, {});
        QCOMPARE(rec.findText(u"  0"_s)->points[0], QPoint(709 - 189, 5362 - 47));
        QCOMPARE(rec.findText(u" 肺  经"_s)->points[0], QPoint(709 + 24, 5362 + 94));
        QCOMPARE(rec.findText(u"左   右"_s)->points[0], QPoint(709 + 24, 5362 + 307));
    }

    void twoRecordLegendsAndBand_data() {
        QTest::addColumn<int>("medium");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<int>("band");
        QTest::addColumn<QList<int>>("legendSlots");
        QTest::addColumn<int>("bandOwner"); // -1: no band
        QTest::newRow("screen, opened")
            << int(ChartMedium::Screen) << false << int(BandChoice::None) << QList<int>{3} << -1;
        QTest::newRow("screen, loaded, band 2")
            << int(ChartMedium::Screen) << true << int(BandChoice::Comparison) << QList<int>{3, 4} << 1;
        QTest::newRow("paper, loaded, band 1")
            << int(ChartMedium::Paper) << true << int(BandChoice::Original) << QList<int>{3, 6} << 0;
        QTest::newRow("band of an empty slot")
            << int(ChartMedium::Paper) << false << int(BandChoice::Comparison) << QList<int>{3} << -1;
    }
    void twoRecordLegendsAndBand() {
        QFETCH(int, medium);
        QFETCH(bool, loaded);
        QFETCH(int, band);
        QFETCH(QList<int>, legendSlots);
        QFETCH(int, bandOwner);
        const std::optional<ComparisonRecord> second =
            loaded ? std::optional(recordWith(80, uniform(80))) : std::nullopt;
        const ComparisonChart chart =
            twoRecordChart(recordWith(50, uniform(50)), second, BandChoice(band), ChartMedium(medium));
        QCOMPARE(chart.curves.size(), legendSlots.size());
        for (qsizetype i = 0; i < legendSlots.size(); ++i) {
            QCOMPARE(chart.curves[i].legendSlot, legendSlots[i]);
            QCOMPARE(chart.curves[i].style.pen, i == 0 ? QColor(0, 0, 255) : QColor(0, 128, 128));
        }
        QCOMPARE(chart.band.value_or(-1), bandOwner);
    }

    void printedTwoRecordMarksTheBandOwner() {
        const ComparisonFrame f = ComparisonFrame::printed(600, 3000, BandOwnerMark::CrossBefore);
        const ComparisonChart chart = twoRecordChart(recordWith(50, uniform(50)), recordWith(80, uniform(80)),
                                                     BandChoice::Comparison, ChartMedium::Paper);
        const RecordingSurface rec = draw(f, chart);
        const DrawOp *mark = rec.findText(u"XX"_s);
        QVERIFY(mark);
        QCOMPARE(mark->points[0], QPoint(f.legendBase(6) - 118, 3000 - 142));
        QCOMPARE(mark->font, QColor(255, 0, 0));
        const QList<DrawOp> lines = bandLines(rec, f);
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].points[0].y(), f.bandY(80 + 21 * bandLimits(80).scale));
        QCOMPARE(lines[0].pen.width, 4);

        // Without a band there is no mark.
        const RecordingSurface plain = draw(f, twoRecordChart(recordWith(50, uniform(50)), std::nullopt,
                                                              BandChoice::None, ChartMedium::Paper));
        QVERIFY(!plain.findText(u"XX"_s));
        QVERIFY(bandLines(plain, f).isEmpty());
    }

    void multiRecordStylesByPosition() {
        QList<ComparisonEntry> entries;
        for (int k = 1; k <= 6; ++k) {
            ComparisonEntry e;
            e.corrected = uniform(10.0 * k);
            e.energyLevel = 10.0 * k;
            entries.append(e);
        }
        const ComparisonChart chart = multiRecordChart(entries, 2);
        const QList<QColor> pens{{0, 0, 0},     {0, 0, 255},   {128, 0, 0},
                                 {0, 128, 128}, {128, 0, 128}, {0, 0, 128}};
        const QList<QColor> markers{{255, 0, 0},   {255, 255, 0}, {255, 255, 255},
                                    {0, 255, 255}, {255, 0, 255}, {0, 255, 0}};
        const QList<PenStyle> styles{PenStyle::Dotted, PenStyle::Dashed, PenStyle::DashDotDot,
                                     PenStyle::Dotted, PenStyle::Dashed, PenStyle::DashDotDot};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(chart.curves[i].number, i + 1);
            QCOMPARE(chart.curves[i].legendSlot, i + 1);
            QCOMPARE(chart.curves[i].style.pen, pens[i]);
            QCOMPARE(chart.curves[i].style.marker, markers[i]);
            QCOMPARE(chart.curves[i].style.penStyle, styles[i]);
        }
        QCOMPARE(chart.band, std::optional<int>(2));

        const ComparisonFrame screen = ComparisonFrame::screen(MultiRecordChartWidth, ComparisonChartHeight);
        const RecordingSurface rec = draw(screen, chart);
        QCOMPARE(markerCentres(rec, 3).size(), 6 * 24);
        const DrawOp *third = rec.findText(u" 3:"_s);
        QVERIFY(third);
        QVERIFY(qAbs(third->points[0].x() - screen.width * 3 / 7.0) <= 0.5); // three sevenths across
        QCOMPARE(bandLines(rec, screen).front().points[0].y(), screen.bandY(30 + 21 * bandLimits(30).scale));

        // On paper the selected entry's number is red and bracketed; no "XX".
        const RecordingSurface paper =
            draw(ComparisonFrame::printed(300, 1000, BandOwnerMark::RedNumber), chart);
        const DrawOp *selected = paper.findText(u"[ 3]:"_s);
        QVERIFY(selected);
        QCOMPARE(selected->font, QColor(255, 0, 0));
        QVERIFY(!paper.findText(u" 3:"_s));
        // The third style stays visible on paper: its white markers are outlined and
        // its dash-dot-dot curve is at least 0.3 mm wide.
        for (const DrawOp &op : paper.ops()) {
            if (op.kind == DrawOp::Kind::Rect && op.brush.color == QColor(255, 255, 255))
                QCOMPARE(op.pen.color, QColor(128, 0, 0));
            if (op.kind == DrawOp::Kind::Line && op.pen.style == PenStyle::DashDotDot)
                QVERIFY(op.pen.width >= printerMm(0.3, 300));
        }
        QCOMPARE(paper.findText(u" 1:"_s)->font, QColor(0, 0, 0));
        QVERIFY(!paper.findText(u"XX"_s));
    }
};

QTEST_GUILESS_MAIN(TestComparisonChart)
#include "test_comparisonchart.moc"
