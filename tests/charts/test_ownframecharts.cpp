// Ryodoraku chart (absolute corrected values, 0..170 uA) and autonomic-balance
// chart (eight group sums against three times the body energy).
#include "chartfixtures.h"

#include "charts/chartgeometry.h"

#include "charts/chartcolours.h"
#include "charts/charts.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace orlu;
using namespace orlu::testing;
namespace C = orlu::ChartColour;

namespace {

// The last 24 rectangles of the Ryodoraku chart are its marks.
QList<DrawOp> marks(const RecordingSurface &rec) {
    const QList<DrawOp> rects = rec.ops(DrawOp::Kind::Rect);
    return rects.mid(rects.size() - 24);
}

// The eight group squares of the autonomic chart.
QList<DrawOp> groupSquares(const RecordingSurface &rec) {
    return filledOps(rec, DrawOp::Kind::Rect, C::Green);
}

void compareText(const RecordingSurface &rec, const QString &text, QPoint at, const QColor &colour) {
    const DrawOp *op = rec.findText(text);
    QVERIFY2(op, qPrintable(text));
    QCOMPARE(op->points[0], at);
    QCOMPARE(op->font, colour);
}

} // namespace

class TestOwnFrameCharts : public QObject {
    Q_OBJECT

private slots:
    // All corrected values 50: every mark at 343 - round(2.0176 x 50) = 242, green;
    // the band around A = 50 at A + 21, A - 20, A + 11.5, A - 10.5.
    void ryodorakuAllFifty() {
        const RecordingSurface rec = recordChart(8, uniformResult(50));
        const QList<DrawOp> m = marks(rec);
        for (int j = 0; j < 24; ++j) {
            QCOMPARE(m[j].points[0].y(), 240);
            QCOMPARE(m[j].points[1].y(), 245);
            QCOMPARE(m[j].brush, (BrushState{C::Green, BrushStyle::Solid}));
            QCOMPARE(m[j].pen.style, PenStyle::None);
        }
        QCOMPARE(m[0].points, (QList<QPoint>{{53, 240}, {79, 245}}));
        QCOMPARE(m[23].points[1].x(), 757);

        QCOMPARE(bandLineYs(rec, 50, 757), (QList<int>{200, 282, 219, 263}));
        const QList<DrawOp> band = horizontalLines(rec, 50, 757);
        QCOMPARE(band[0].pen.color, C::Red);
        QCOMPARE(band[1].pen.color, C::Red);
        QCOMPARE(band[2].pen.color, C::Olive);
    }

    // Height from the corrected value, colour from the deviation's grade; a value
    // above 170 uA lies above the top edge while the band stays in place.
    void ryodorakuMark_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<double>("deviation");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("top");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("left lung 80 uA") << 1 << 30.0 << 0 << 180 << C::Red;
        QTest::newRow("right lung 65 uA") << 7 << 15.0 << 1 << 210 << C::Yellow;
        QTest::newRow("left spleen 40 uA") << 13 << -10.0 << 12 << 260 << C::Green;
        QTest::newRow("right stomach 200 uA") << 24 << 150.0 << 23 << -63 << C::Red;
        QTest::newRow("right kidney 0 uA") << 21 << -50.0 << 17 << 341 << C::Red;
    }

    void ryodorakuMark() {
        QFETCH(int, channel);
        QFETCH(double, deviation);
        QFETCH(int, column);
        QFETCH(int, top);
        QFETCH(QColor, colour);
        std::array<double, 24> devs{};
        devs[static_cast<std::size_t>(channel - 1)] = deviation;
        const RecordingSurface rec = recordChart(8, resultWithDeviations(50, devs));
        const DrawOp mark = marks(rec)[column];
        QCOMPARE(mark.points[0].y(), top);
        QCOMPARE(mark.points[1].y(), top + 5);
        QCOMPARE(mark.brush.color, colour);
        QCOMPARE(bandLineYs(rec, 50, 757), (QList<int>{200, 282, 219, 263}));
    }

    void ryodorakuFrame() {
        const RecordingSurface rec = recordChart(8, uniformResult(50));
        compareText(rec, u"  0"_s, {2, 337}, C::Navy);
        compareText(rec, u" 10"_s, {2, 317}, C::Navy);
        compareText(rec, u"160"_s, {2, 14}, C::Navy);
        compareText(rec, u" 肺  经"_s, {61, 347}, C::Green);
        compareText(rec, u"  金"_s, {68, 363}, C::Blue);
        compareText(rec, u"左   右"_s, {61, 378}, C::Red);
        compareText(rec, u"Hands  手"_s, {204, 378}, C::Red);
        compareText(rec, u"Feet 足"_s, {565, 378}, C::Red);
        compareText(rec, u"正常"_s, {524, 4}, C::Blue);

        const QList<DrawOp> lines = rec.ops(DrawOp::Kind::Line);
        // The hand/foot border is gray and twice as wide as the blue meridian borders.
        const QList<DrawOp> border = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.points[0] == QPoint(404, 10) &&
                   op.points[1] == QPoint(404, 343);
        });
        QCOMPARE(border.size(), 1);
        QCOMPARE(border[0].pen, (PenState{C::Gray, PenStyle::Solid, 2}));
        const QList<DrawOp> firstColumn = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.points[0] == QPoint(79, 20);
        });
        QCOMPARE(firstColumn.size(), 1);
        QCOMPARE(firstColumn[0].pen, (PenState{C::Gray, PenStyle::Dotted, 1}));
    }

    // Sums equal to 3 A lie on the centre line: round(393 / 2) = 196, a half to even.
    void autonomicBalanced() {
        const RecordingSurface rec = recordChart(9, uniformResult(50));
        const QList<DrawOp> squares = groupSquares(rec);
        QCOMPARE(squares.size(), 8);
        for (const DrawOp &square : squares) {
            QCOMPARE(square.points[0].y(), 192);
            QCOMPARE(square.points[1].y(), 200);
        }
        QCOMPARE(squares[0].points[0].x(), 44 + 46);
        QCOMPARE(horizontalLines(rec, 50, 757).size(), 3); // centre line and the two red lines
        for (const DrawOp &line : horizontalLines(rec, 50, 757))
            QCOMPARE(line.points[0].y(), 196);
        compareText(rec, u"Max [ 150.0] / Min [ 150.0] =   1.000   Range  [1.0 ~ 1.5]"_s, {434, 0}, C::Red);
        compareText(rec, u"  150.0"_s, {0, 189}, C::Red); // 3 x A on the centre line
        const QList<DrawOp> sums = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Text && op.text == u"  150.0"_s && op.points[0].y() == 348;
        });
        QCOMPARE(sums.size(), 8);
        QCOMPARE(sums[0].points[0].x(), 74);
        QCOMPARE(sums[7].points[0].x(), chartPixel(707.0 / 16 * 15) + 30);
    }

    // A lowest group of 0 is shown as 1.0 and the ratio equals the highest group.
    void autonomicLowestGroupZero() {
        std::array<double, 24> w;
        w.fill(30);
        w[0] = w[1] = w[2] = 0; // G1
        const RecordingSurface rec = recordChart(9, analyse(w, true));
        compareText(rec, u"Max [  90.0] / Min [   1.0] =  90.000   Range  [1.0 ~ 1.5]"_s, {434, 0}, C::Red);
        compareText(rec, u"    0.0"_s, {74, 348}, C::Red);
        // A = 26.25: the group of 0 and the lowest line at 1.0 would stand on the group sums
        // at the foot (y 351 and 349); both are held just above them.
        QCOMPARE(groupSquares(rec)[0].points[0].y(), 342 - 4);
        const QList<DrawOp> redLines = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.pen.color == C::Red &&
                   op.pen.style == PenStyle::Dotted;
        });
        QCOMPARE(redLines.size(), 2);
        QCOMPARE(redLines[0].points[0].y(), chartPixel(196.5 - 1.965 * (90 - 78.75)));
        QCOMPARE(redLines[1].points[0].y(), 342);
    }

    void autonomicFrame() {
        const RecordingSurface rec = recordChart(9, uniformResult(50));
        compareText(rec, u" + 90"_s, {2, 13}, C::Black);
        compareText(rec, u" - 90"_s, {2, 366}, C::Black);
        compareText(rec, u" + 10"_s, {2, 393 - 216 - 7}, C::Black);
        QVERIFY(!rec.findText(u" -  0"_s) && !rec.findText(u" - 100"_s));
        compareText(rec, u"三  阴"_s, {80, 363}, C::Green);
        compareText(rec, u"左  手"_s, {124, 378}, C::Blue);
        compareText(rec, u"右  脚"_s, {655, 378}, C::Blue);
        // The tick at i = 10 sits at 393 - round(196.5) = 197.
        const QList<DrawOp> tick = opsWhere(rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.points[0].x() == 50 && op.points[1].x() == 58 &&
                   op.points[0].y() == 197;
        });
        QCOMPARE(tick.size(), 1);
        // The maroon line runs through the eight squares' centres.
        const QList<DrawOp> line = opsWhere(
            rec, [](const DrawOp &op) { return op.kind == DrawOp::Kind::Line && op.pen.color == C::Maroon; });
        QCOMPARE(line.size(), 7);
        QCOMPARE(line[0].points[0], QPoint(94, 196));
        QCOMPARE(line[6].points[1], QPoint(chartPixel(707.0 / 8 * 7 + 707.0 / 16) + 50, 196));
    }
};

QTEST_MAIN(TestOwnFrameCharts)
#include "test_ownframecharts.moc"
