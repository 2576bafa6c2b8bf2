// Bar and curve charts: the deviation of each channel from the body energy.
#include "chartfixtures.h"

#include "charts/chartcolours.h"
#include "charts/charts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;
namespace C = orlu::ChartColour;

namespace {

std::array<double, 24> oneDeviation(int channel, double d) {
    std::array<double, 24> devs{};
    devs[static_cast<std::size_t>(channel - 1)] = d;
    return devs;
}

// Bars (bar chart) or marker squares (curve chart), in column order.
QList<DrawOp> dataRects(const RecordingSurface &rec) {
    QList<DrawOp> rects = rec.ops(DrawOp::Kind::Rect);
    // The three legend swatches come last.
    rects.resize(rects.size() - 3);
    return rects;
}

QList<DrawOp> curveSegments(const RecordingSurface &rec) {
    return opsWhere(rec, [](const DrawOp &op) {
        return op.kind == DrawOp::Kind::Line && op.pen.style == PenStyle::Dotted && op.pen.color == C::Black;
    });
}

} // namespace

class TestExcessCharts : public QObject {
    Q_OBJECT

private slots:
    void bandAtEnergy50_data() {
        QTest::addColumn<int>("selection");
        QTest::newRow("bar") << 1;
        QTest::newRow("curve") << 2;
    }

    // With A = 50 the limits are 21, 11.5, 10.5 and 20, drawn with their sign and
    // the number right-aligned in five characters, 8 pixels above their lines.
    void bandAtEnergy50() {
        QFETCH(int, selection);
        const RecordingSurface rec = recordChart(selection, uniformResult(50));

        const QList<DrawOp> lines = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.pen.style == PenStyle::Dotted &&
                   op.points[0].x() == 50 && op.points[1].x() == 757;
        });
        QCOMPARE(lines.size(), 4);
        const QList<QPair<int, QColor>> expected{
            {114, C::Red}, {274, C::Red}, {151, C::Olive}, {237, C::Olive}};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(lines[i].points[0].y(), expected[i].first);
            QCOMPARE(lines[i].points[1].y(), expected[i].first);
            QCOMPARE(lines[i].pen.color, expected[i].second);
            QCOMPARE(lines[i].pen.width, 1);
        }

        const QList<std::tuple<QString, int, QColor>> texts{{u"+ 21.0"_s, 106, C::Red},
                                                            {u"- 20.0"_s, 266, C::Red},
                                                            {u"+ 11.5"_s, 143, C::Olive},
                                                            {u"- 10.5"_s, 229, C::Olive},
                                                            {u"   50.0"_s, 188, C::Navy}};
        for (const auto &[text, y, colour] : texts) {
            const DrawOp *op = rec.findText(text);
            QVERIFY2(op, qPrintable(text));
            QCOMPARE(op->points[0], QPoint(0, y));
            QCOMPARE(op->font, colour);
        }
    }

    // Bars grow from the centre line and are cut 5 pixels inside the top and 2 pixels
    // above the captions at the foot (y 347).
    void barHeight_data() {
        QTest::addColumn<double>("deviation");
        QTest::addColumn<int>("barEnd");
        QTest::newRow("+30") << 30.0 << 78;
        QTest::newRow("-30") << -30.0 << 314;
        QTest::newRow("+60 beyond the top") << 60.0 << 5;
        QTest::newRow("-60 beyond the bottom") << -60.0 << 345;
        QTest::newRow("+50 reaches the top") << 50.0 << 5;
        QTest::newRow("-50 reaches the captions") << -50.0 << 345;
        QTest::newRow("-37 ends above them") << -37.0 << 341;
    }

    void barHeight() {
        QFETCH(double, deviation);
        QFETCH(int, barEnd);
        const RecordingSurface rec = recordChart(1, resultWithDeviations(50, oneDeviation(1, deviation)));
        const DrawOp bar = dataRects(rec).first();
        QCOMPARE(bar.points, (QList<QPoint>{{50, 196}, {79, barEnd}}));
        QCOMPARE(bar.pen, (PenState{C::Black, PenStyle::Solid, 1}));
    }

    // A point beyond the free plot stands on its edge: the top, or above the captions.
    void curvePointIsHeldInThePlot_data() {
        QTest::addColumn<double>("energy");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<int>("y");
        QTest::newRow("+60") << 50.0 << 60.0 << 4;
        QTest::newRow("-60") << 50.0 << -60.0 << 341;
        // 196 - 4 x 0.375 = 194.5 goes to the even neighbour.
        QTest::newRow("half to even") << 49.0 << 0.375 << 194;
    }

    void curvePointIsHeldInThePlot() {
        QFETCH(double, energy);
        QFETCH(double, deviation);
        QFETCH(int, y);
        std::array<double, 24> devs{};
        devs[6] = deviation; // channel 7, the second column
        const RecordingSurface rec = recordChart(2, resultWithDeviations(energy, devs));
        const DrawOp marker = dataRects(rec)[1];
        QCOMPARE(marker.points, (QList<QPoint>{{50 + 29 + 11, y - 4}, {98, y + 4}}));
        const QList<DrawOp> curve = curveSegments(rec);
        QCOMPARE(curve.size(), 23);
        QCOMPARE(curve[0].points, (QList<QPoint>{{65, 196}, {94, y}}));
    }

    // A deviation on a limit takes the milder grade: colour and hatch of bar and marker.
    void severityOfTheGrade_data() {
        QTest::addColumn<double>("deviation");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<BrushStyle>("hatch");
        QTest::newRow("0") << 0.0 << C::Green << BrushStyle::DiagonalCross;
        QTest::newRow("exactly U1") << 11.5 << C::Green << BrushStyle::DiagonalCross;
        QTest::newRow("exactly U2") << 21.0 << C::Yellow << BrushStyle::BackDiagonal;
        QTest::newRow("above U2") << 21.01 << C::Red << BrushStyle::ForwardDiagonal;
        QTest::newRow("exactly -D1") << -10.5 << C::Green << BrushStyle::DiagonalCross;
        QTest::newRow("exactly -D2") << -20.0 << C::Yellow << BrushStyle::BackDiagonal;
        QTest::newRow("below -D2") << -20.01 << C::Red << BrushStyle::ForwardDiagonal;
    }

    void severityOfTheGrade() {
        QFETCH(double, deviation);
        QFETCH(QColor, colour);
        QFETCH(BrushStyle, hatch);
        const AnalysisResult r = resultWithDeviations(50, oneDeviation(12, deviation));

        const DrawOp bar = dataRects(recordChart(1, r))[11]; // channel 12 is the right large intestine
        QCOMPARE(bar.brush, (BrushState{colour, hatch}));
        const DrawOp marker = dataRects(recordChart(2, r))[11];
        QCOMPARE(marker.brush, (BrushState{colour, BrushStyle::Solid}));
        QCOMPARE(marker.pen.style, PenStyle::None);
    }

    // Left and right channel of each meridian side by side, meridians in standard order.
    void columnsFollowThePairedOrder_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("barLeft");
        QTest::newRow("left lung") << 1 << 1 << 50;
        QTest::newRow("right lung") << 7 << 2 << 79;
        QTest::newRow("left pericardium") << 2 << 3 << 109;
        QTest::newRow("left spleen") << 13 << 13 << 404;
        QTest::newRow("right spleen") << 19 << 14 << 433;
        QTest::newRow("right stomach") << 24 << 24 << 728;
    }

    void columnsFollowThePairedOrder() {
        QFETCH(int, channel);
        QFETCH(int, column);
        QFETCH(int, barLeft);
        const RecordingSurface rec = recordChart(1, resultWithDeviations(50, oneDeviation(channel, 10)));
        const QList<DrawOp> bars = dataRects(rec);
        QCOMPARE(bars.size(), 24);
        for (int j = 1; j <= 24; ++j) {
            // Only the chosen channel's bar reaches 196 - 39.2.
            QCOMPARE(bars[j - 1].points[1].y() == 157, j == column);
        }
        QCOMPARE(bars[column - 1].points[0].x(), barLeft);
    }

    void allDeviationsZero() {
        const AnalysisResult r = uniformResult(40);
        const QList<DrawOp> bars = dataRects(recordChart(1, r));
        QCOMPARE(bars.size(), 24);
        for (const DrawOp &bar : bars) {
            QCOMPARE(bar.points[0].y(), 196);
            QCOMPARE(bar.points[1].y(), 196);
            QCOMPARE(bar.brush.color, C::Green);
        }
        const RecordingSurface curve = recordChart(2, r);
        for (const DrawOp &marker : dataRects(curve)) {
            QCOMPARE(marker.points[0].y(), 192);
            QCOMPARE(marker.brush.color, C::Green);
        }
        const QList<DrawOp> line = curveSegments(curve);
        QCOMPARE(line.size(), 23);
        for (const DrawOp &segment : line)
            QVERIFY(segment.points[0].y() == 196 && segment.points[1].y() == 196);
        // The line is drawn over the markers: every marker after the first is
        // followed by the segment that ends on it.
        int markers = 0;
        for (qsizetype i = 0; i < curve.ops().size() && markers < 24; ++i) {
            const DrawOp &op = curve.ops()[i];
            if (op.kind != DrawOp::Kind::Rect)
                continue;
            if (markers++ > 0) {
                QCOMPARE(curve.ops()[i + 1].kind, DrawOp::Kind::Line);
                QCOMPARE(curve.ops()[i + 1].points[1].x(), op.points[0].x() + 4);
            }
        }
    }

    void captionsAndLegend_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<BrushStyle>("okSwatch");
        QTest::addColumn<QRect>("okSwatchCorners");
        QTest::newRow("bar") << 1 << BrushStyle::BackDiagonal
                             << QRect(QPoint(50 + 530 + 2, 0), QPoint(605, 20));
        QTest::newRow("curve") << 2 << BrushStyle::Solid << QRect(QPoint(50 + 530 + 10, 5), QPoint(602, 15));
    }

    void captionsAndLegend() {
        QFETCH(int, selection);
        QFETCH(BrushStyle, okSwatch);
        QFETCH(QRect, okSwatchCorners);
        const RecordingSurface rec = recordChart(selection, uniformResult(50));

        const QList<std::tuple<QString, QPoint, QColor>> texts{{u" 肺  经"_s, {60, 347}, C::Green},
                                                               {u"心包经"_s, {50 + 69, 347}, C::Green},
                                                               {u" 胃  经"_s, {50 + 658, 347}, C::Green},
                                                               {u"  金"_s, {66, 363}, C::Blue},
                                                               {u"相火"_s, {50 + 75, 363}, C::Blue},
                                                               {u"左   右"_s, {60, 378}, C::Red},
                                                               {u"Hands  手"_s, {203, 378}, C::Red},
                                                               {u"Feet 足"_s, {556, 378}, C::Red},
                                                               {u"正常"_s, {524, 4}, C::Blue},
                                                               {u"尚可"_s, {612, 4}, C::Blue},
                                                               {u"不良"_s, {701, 4}, C::Blue}};
        for (const auto &[text, at, colour] : texts) {
            const DrawOp *op = rec.findText(text);
            QVERIFY2(op, qPrintable(text));
            QCOMPARE(op->points[0], at);
            QCOMPARE(op->font, colour);
        }
        const QList<DrawOp> rects = rec.ops(DrawOp::Kind::Rect);
        const DrawOp swatch = rects[rects.size() - 2];
        QCOMPARE(swatch.points, (QList<QPoint>{okSwatchCorners.topLeft(), okSwatchCorners.bottomRight()}));
        QCOMPARE(swatch.brush, (BrushState{C::Yellow, okSwatch}));
    }

    // Without a body energy the scale is undefined: the frame is drawn, no data and no band.
    void frameOnlyWithoutEnergy_data() {
        QTest::addColumn<int>("selection");
        QTest::newRow("bar") << 1;
        QTest::newRow("curve") << 2;
    }

    void frameOnlyWithoutEnergy() {
        QFETCH(int, selection);
        const RecordingSurface rec = recordChart(selection, AnalysisResult{});
        QCOMPARE(rec.ops(DrawOp::Kind::Rect).size(), 3);
        QVERIFY(rec.findText(u"+ 21.0"_s) == nullptr);
        QVERIFY(rec.findText(u"    0.0"_s));
        QVERIFY(rec.findText(u" 肺  经"_s));
        QCOMPARE(
            opsWhere(rec,
                     [](const DrawOp &op) { return op.pen.color == C::Red && op.kind == DrawOp::Kind::Line; })
                .size(),
            0);
    }
};

QTEST_MAIN(TestExcessCharts)
#include "test_excesscharts.moc"
