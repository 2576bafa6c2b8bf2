// Yin-yang, qi-blood and five-element charts: six columns, sums of deviations,
// warning triangles.
#include "chartfixtures.h"

#include "charts/chartgeometry.h"

#include "charts/chartcolours.h"
#include "charts/charts.h"

#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;
namespace C = orlu::ChartColour;

namespace {

using Deviations = QList<QPair<int, double>>; // (channel, deviation)

AnalysisResult resultWith(const Deviations &devs) {
    std::array<double, 24> d{};
    for (const auto &[c, v] : devs)
        d[static_cast<std::size_t>(c - 1)] = v;
    return resultWithDeviations(50, d);
}

// Column centres: 50 + round(707 / 6 x k) - round(707 / 12).
constexpr std::array<int, 6> ColumnX{109, 227, 345, 462, 580, 698};

bool isColumnX(int x) {
    return std::find(ColumnX.begin(), ColumnX.end(), x) != ColumnX.end();
}

// The series line through the columns, as the points it reaches (not the legend's sample line).
QList<QPoint> seriesPoints(const RecordingSurface &rec, const QColor &colour, PenStyle style) {
    QList<QPoint> points;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Line)) {
        if (op.pen.color != colour || op.pen.style != style || op.points[0].x() == op.points[1].x() ||
            !isColumnX(op.points[0].x()) || !isColumnX(op.points[1].x()))
            continue;
        if (points.isEmpty())
            points.append(op.points[0]);
        points.append(op.points[1]);
    }
    return points;
}

} // namespace

class TestSixColumnCharts : public QObject {
    Q_OBJECT

private slots:
    // Pair charts draw their band at twice the limits (a sum of two deviations) on
    // the 100-unit scale; the element charts at the limits on the 200-unit scale.
    void bandLinesAtEnergy50_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QList<int>>("ys");
        QTest::addColumn<QString>("centre");
        QTest::newRow("yin-yang") << 3 << QList<int>{113, 275, 151, 237} << u"  100.0"_s;
        QTest::newRow("qi-blood") << 4 << QList<int>{113, 275, 151, 237} << u"  100.0"_s;
        QTest::newRow("generating") << 5 << QList<int>{155, 235, 173, 217} << u"    0.0"_s;
        QTest::newRow("controlling") << 6 << QList<int>{155, 235, 173, 217} << u"    0.0"_s;
    }

    void bandLinesAtEnergy50() {
        QFETCH(int, selection);
        QFETCH(QList<int>, ys);
        QFETCH(QString, centre);
        const RecordingSurface rec = recordChart(selection, uniformResult(50));
        QCOMPARE(bandLineYs(rec, 50, 757), ys);
        const QList<DrawOp> band = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.pen.style == PenStyle::Dotted &&
                   op.points[0].x() == 50;
        });
        QCOMPARE(band[0].pen.color, C::Red);
        QCOMPARE(band[2].pen.color, C::Olive);
        const DrawOp *centreText = rec.findText(centre);
        QVERIFY(centreText);
        QCOMPARE(centreText->points[0], QPoint(0, 188));
        QCOMPARE(centreText->font, C::Red);
        // The six-column charts print no band values.
        QVERIFY(!rec.findText(u"+ 21.0"_s));
    }

    void tickLabels_data() {
        QTest::addColumn<int>("selection");
        for (int selection = 3; selection <= 6; ++selection)
            QTest::newRow(qPrintable(QString::number(selection))) << selection;
    }

    void tickLabels() {
        QFETCH(int, selection);
        const RecordingSurface rec = recordChart(selection, uniformResult(50));
        const QList<std::pair<QString, int>> labels{
            {u"+  90"_s, 12}, {u"+  10"_s, 169}, {u"-  10"_s, 208}, {u"-  90"_s, 365}};
        for (const auto &[text, y] : labels) {
            const DrawOp *op = rec.findText(text);
            QVERIFY2(op, qPrintable(text));
            QCOMPARE(op->points[0], QPoint(5, y));
            QCOMPARE(op->font, C::Black);
        }
        QVERIFY(!rec.findText(u"+   0"_s));
    }

    // Column 1 of the yin-yang chart is the liver (channels 14, 20) against the
    // gall bladder (17, 23); a difference of 2 x 22 S warns yellow, 2 x 41 S red.
    void yinYangWarning_data() {
        QTest::addColumn<double>("yin");
        QTest::addColumn<double>("yang");
        QTest::addColumn<QColor>("triangle");
        QTest::newRow("diff 45") << 30.0 << -15.0 << C::Yellow;
        QTest::newRow("diff 85") << 50.0 << -35.0 << C::Red;
        QTest::newRow("diff 40") << 25.0 << -15.0 << QColor();
        QTest::newRow("diff exactly 44") << 22.0 << -22.0 << C::Yellow;
        QTest::newRow("diff exactly 82") << -41.0 << 41.0 << C::Red;
    }

    void yinYangWarning() {
        QFETCH(double, yin);
        QFETCH(double, yang);
        QFETCH(QColor, triangle);
        const AnalysisResult r = resultWith({{14, yin / 2}, {20, yin / 2}, {17, yang / 2}, {23, yang / 2}});
        const RecordingSurface rec = recordChart(3, r);

        const QList<DrawOp> triangles = rec.ops(DrawOp::Kind::Polygon);
        QCOMPARE(triangles.size(), triangle.isValid() ? 1 : 0);
        if (triangle.isValid()) {
            QCOMPARE(triangles[0].points, (QList<QPoint>{{117, 17}, {109, 1}, {101, 17}}));
            QCOMPARE(triangles[0].brush, (BrushState{triangle, BrushStyle::Solid}));
            QCOMPARE(triangles[0].pen.style, PenStyle::None);
        }
        const int yinY = chartPixel(196 - 1.965 * yin);
        QCOMPARE(seriesPoints(rec, C::Black, PenStyle::Dotted).first(), QPoint(109, yinY));
        QCOMPARE(seriesPoints(rec, C::Blue, PenStyle::Solid).first(),
                 QPoint(109, chartPixel(196 - 1.965 * yang)));
        const QList<DrawOp> red = filledOps(rec, DrawOp::Kind::Rect, C::Red);
        QCOMPARE(red.first().points, (QList<QPoint>{{105, yinY - 4}, {113, yinY + 4}}));
    }

    // The fifth column (lung and large intestine) adds dev1 + dev6 on the left and
    // dev7 + dev12 on the right.
    void qiBloodFifthColumn() {
        const AnalysisResult r = resultWith({{1, 10}, {6, 6}, {7, -4}, {12, -8}, {2, 30}, {8, 30}});
        const PairSeries series = qiBloodSeries(r);
        QCOMPARE(series.first[4], 16.0);
        QCOMPARE(series.second[4], -12.0);
        // The pericardium channels belong to the third column, not the fifth.
        QCOMPARE(series.first[2], 30.0);
        QCOMPARE(series.second[2], 30.0);

        const RecordingSurface rec = recordChart(4, r);
        QCOMPARE(seriesPoints(rec, C::Black, PenStyle::Dotted).at(4), QPoint(ColumnX[4], 165));
        QCOMPARE(seriesPoints(rec, C::Blue, PenStyle::Solid).at(4), QPoint(ColumnX[4], 220));
        // Left 16 against right -12 is under 2 x 22: no triangle anywhere.
        QVERIFY(rec.ops(DrawOp::Kind::Polygon).isEmpty());
    }

    void seriesOfTheYinYangChart() {
        // One deviation per meridian pair, both sides: the yin row and the yang row
        // pick them up in generating order.
        const AnalysisResult r =
            resultWith({{14, 1}, {20, 1},  {3, 2},   {9, 2},   {2, 3},   {8, 3},   {13, 4},  {19, 4},
                        {1, 5},  {7, 5},   {15, 6},  {21, 6},  {17, -1}, {23, -1}, {4, -2},  {10, -2},
                        {5, -3}, {11, -3}, {18, -4}, {24, -4}, {6, -5},  {12, -5}, {16, -6}, {22, -6}});
        const PairSeries series = yinYangSeries(r);
        QCOMPARE(series.first, (std::array<double, 6>{2, 4, 6, 8, 10, 12}));
        QCOMPARE(series.second, (std::array<double, 6>{-2, -4, -6, -8, -10, -12}));
    }

    // An element value is its four deviations added and divided by 1.8, drawn on
    // the 200-unit scale; 22 S warns yellow, 41 S red.
    void elementValue_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<double>("each");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("y");
        QTest::addColumn<QColor>("marker");
        QTest::addColumn<QColor>("triangle");
        QTest::newRow("generating, E = 25") << 5 << 11.25 << 1 << 171 << C::Green << C::Yellow;
        QTest::newRow("generating, E = -45") << 5 << -20.25 << 1 << 240 << C::Green << C::Red;
        QTest::newRow("generating, E = 20") << 5 << 9.0 << 1 << 176 << C::Green << QColor();
        QTest::newRow("controlling, E = 25") << 6 << 11.25 << 2 << 171 << C::Red << C::Yellow;
    }

    void elementValue() {
        QFETCH(int, selection);
        QFETCH(double, each);
        QFETCH(int, column);
        QFETCH(int, y);
        QFETCH(QColor, marker);
        QFETCH(QColor, triangle);
        // Wood: liver (14, 20) and gall bladder (17, 23).
        const AnalysisResult r = resultWith({{14, each}, {20, each}, {17, each}, {23, each}});
        const RecordingSurface rec = recordChart(selection, r);
        const int x = ColumnX[static_cast<std::size_t>(column - 1)];

        const QList<QPoint> line = seriesPoints(rec, C::Navy, PenStyle::Dotted);
        QCOMPARE(line.size(), 6);
        QCOMPARE(line[column - 1], QPoint(x, y));
        const QList<DrawOp> markers = filledOps(rec, DrawOp::Kind::Rect, marker);
        QCOMPARE(markers.size(), 6);
        QCOMPARE(markers[column - 1].points[1].y() - markers[column - 1].points[0].y(), 12);
        QCOMPARE(markers[column - 1].points[0], QPoint(x - 6, y - 6));

        const QList<DrawOp> triangles = rec.ops(DrawOp::Kind::Polygon);
        QCOMPARE(triangles.size(), triangle.isValid() ? 1 : 0);
        if (triangle.isValid()) {
            QCOMPARE(triangles[0].points[1], QPoint(x, 1));
            QCOMPARE(triangles[0].brush.color, triangle);
        }
    }

    void captions_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QString>("yin");
        QTest::addColumn<QString>("yang");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QColor>("yinColour");
        QTest::addColumn<QColor>("yangColour");
        QTest::addColumn<QString>("firstLegend");
        QTest::addColumn<QString>("secondLegend");
        QTest::newRow("yin-yang") << 3 << u" 肝  经"_s << u" 胆  经"_s << u" 【 木 】"_s << C::Red << C::Green
                                  << u"阴脏"_s << u"阳腑"_s;
        QTest::newRow("qi-blood") << 4 << u" 肝  经"_s << u" 胆  经"_s << u" 【 木 】"_s << C::Green
                                  << C::Green << u"左侧"_s << u"右侧"_s;
        QTest::newRow("generating") << 5 << u" 肝  经"_s << u" 胆  经"_s << u" 【 木 】"_s << C::Maroon
                                    << C::Maroon << QString() << QString();
        QTest::newRow("controlling") << 6 << u" 肺  经"_s << u"大肠经"_s << u" 【 金 】"_s << C::Maroon
                                     << C::Maroon << QString() << QString();
    }

    // The first column's three caption lines and the legend naming the two series.
    void captions() {
        QFETCH(int, selection);
        QFETCH(QString, yin);
        QFETCH(QString, yang);
        QFETCH(QString, element);
        QFETCH(QColor, yinColour);
        QFETCH(QColor, yangColour);
        QFETCH(QString, firstLegend);
        QFETCH(QString, secondLegend);
        const RecordingSurface rec = recordChart(selection, uniformResult(50));

        const QList<DrawOp> texts = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Text && op.points[0].y() >= 343 && op.points[0].x() > 50;
        });
        QCOMPARE(texts.size(), 3 * 6);
        QCOMPARE(texts[0].text, yin);
        QCOMPARE(texts[0].points[0], QPoint(89, 343));
        QCOMPARE(texts[0].font, yinColour);
        QCOMPARE(texts[1].text, yang);
        QCOMPARE(texts[1].points[0], QPoint(89, 359));
        QCOMPARE(texts[1].font, yangColour);
        QCOMPARE(texts[2].text, element);
        QCOMPARE(texts[2].points[0], QPoint(81, 377));
        QCOMPARE(texts[2].font, C::Blue);

        if (firstLegend.isEmpty()) {
            QVERIFY(!rec.findText(u"阴脏"_s) && !rec.findText(u"左侧"_s));
            return;
        }
        QCOMPARE(rec.findText(firstLegend)->points[0], QPoint(662, 39));
        QCOMPARE(rec.findText(firstLegend)->font, C::Red);
        QCOMPARE(rec.findText(secondLegend)->points[0], QPoint(662, 74));
        QCOMPARE(rec.findText(secondLegend)->font, C::Green);
    }

    void allDeviationsZero_data() { tickLabels_data(); }

    void allDeviationsZero() {
        QFETCH(int, selection);
        const RecordingSurface rec = recordChart(selection, uniformResult(37.5));
        QVERIFY(rec.ops(DrawOp::Kind::Polygon).isEmpty());
        QList<QPoint> points = seriesPoints(rec, C::Black, PenStyle::Dotted) +
                               seriesPoints(rec, C::Blue, PenStyle::Solid) +
                               seriesPoints(rec, C::Navy, PenStyle::Dotted);
        QCOMPARE(points.size(), selection <= 4 ? 12 : 6);
        for (const QPoint &p : points)
            QCOMPARE(p.y(), 196);
        QVERIFY(rec.findText(selection <= 4 ? u"   75.0"_s : u"    0.0"_s));
    }

    // A wild value stands on the free plot's edge, below the warning triangles; the pair charts
    // need no body energy, so a result with A = 0 still draws all points.
    void extremeValuesStayDrawable() {
        const RecordingSurface rec = recordChart(5, resultWith({{14, 1.0e9}}));
        const QList<QPoint> line = seriesPoints(rec, C::Navy, PenStyle::Dotted);
        QCOMPARE(line.size(), 6);
        QCOMPARE(line[0].y(), 17 + 2 + 6);
        QCOMPARE(line[1].y(), 196);
        const RecordingSurface none = recordChart(3, AnalysisResult{});
        QCOMPARE(seriesPoints(none, C::Black, PenStyle::Dotted).size(), 6);
        QVERIFY(none.findText(u"    0.0"_s));
    }
};

QTEST_MAIN(TestSixColumnCharts)
#include "test_sixcolumncharts.moc"
