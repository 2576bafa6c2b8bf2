// The printed chart block and the paper forms of the eight charts.
#include "chartfixtures.h"
#include "reportfixtures.h"

#include "charts/chartcolours.h"
#include "charts/chartframe.h"
#include "core/numberformat.h"
#include "charts/charts.h"

#include <QRegularExpression>
#include <QTest>

using namespace orlu;
using namespace orlu::testing;
using namespace Qt::StringLiterals;

namespace C = ChartColour;

namespace {

// A report with only the chart of print option `position`, its page cursor at `startY`.
struct ChartBlock {
    ChartBlock(int selection, int startY, bool mono = false)
        : fixture(variedReadings(), QString(20, u'0')) {
        fixture.input.options.set(PrintOption::Colour, !mono);
        page.emplace(rec, Page600, mono);
        page->begin(10);
        page->setY(startY);
        printChartSection(*page, fixture.input, selection);
    }
    ReportFixture fixture;
    RecordingSurface rec{600};
    std::optional<ReportPage> page;
};

} // namespace

class TestPrintedCharts : public QObject {
    Q_OBJECT

private slots:
    void paperFrameAt600Dpi() {
        const ChartFrame f = ChartFrame::paper(600, 1000, 120, false);
        QCOMPARE(f.x0, 709);
        QCOMPARE(f.w, 3543);
        QCOMPARE(f.h, 2126);
        QCOMPARE(f.c, 1063);
        QCOMPARE(f.mm(2), 47);
        QCOMPARE(f.pen(3, 5), 4);
        QCOMPARE(f.pen(1, 7), 3);
    }

    void barChartPensAndBandsOnPaper() {
        ChartBlock block(1, 500);
        const int lh = block.page->lineHeight();
        const int y0 = 500 + 3 * lh;
        // The axis: 4 pixels wide from the plot's top to its bottom.
        const QList<DrawOp> axis = opsWhere(block.rec, [&](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.points[0] == QPoint(709, y0) &&
                   op.points[1] == QPoint(709, y0 + 2126);
        });
        QCOMPARE(axis.size(), 1);
        QCOMPARE(axis.first().pen.width, 4);
        const QList<DrawOp> bands = opsWhere(block.rec, [&](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.pen.style == PenStyle::Dotted &&
                   op.points[0].x() == 709 && op.points[1].x() == 709 + 3543;
        });
        QCOMPARE(bands.size(), 4);
        for (const DrawOp &band : bands)
            QCOMPARE(band.pen.width, 3);
        // The centre value stands right-aligned 3 mm left of the axis.
        const QString centre = formatFixed(block.fixture.result.bodyEnergy, 7, 1);
        const DrawOp *text = block.rec.findText(centre);
        QVERIFY(text);
        QCOMPARE(text->points[0].x() + block.rec.textWidth(centre), 709 - 71);
    }

    void titleStandsOneLineIntoTheBlock() {
        ChartBlock block(3, 500);
        const int lh = block.page->lineHeight();
        const DrawOp *title = block.rec.findText(u"经络阴阳分析图"_s);
        QVERIFY(title);
        QCOMPARE(title->points[0].y(), 500 + lh); // the block's first line stays empty
        QCOMPARE(title->font, C::Blue);
        QCOMPARE(title->points[0].x(), 4800 / 2 - block.rec.textWidth(u"经络阴阳分析图"_s) / 2);
    }

    void blockAdvancesTheCursor_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<double>("plotMm");
        for (int selection : offeredCharts())
            QTest::addRow("chart %d", selection) << selection << (selection == 6 ? 85.0 : 90.0);
    }
    void blockAdvancesTheCursor() {
        QFETCH(int, selection);
        QFETCH(double, plotMm);
        ChartBlock block(selection, 500);
        const ReportPage &page = *block.page;
        QCOMPARE(page.y(), 500 + page.mm(plotMm) + 4 * page.lineHeight());
        QCOMPARE(block.rec.ops(DrawOp::Kind::Page).size(), 1);
    }

    void chartThatWouldPassTheBottomStartsANewPage() {
        const int lh = ChartBlock(1, 500).page->lineHeight();
        // One pixel more than the block needs above the 5 mm margin.
        const int start = 6800 - 118 - (2031 + 5 * lh) + 1;
        ChartBlock block(1, start);
        QCOMPARE(block.rec.ops(DrawOp::Kind::Page).size(), 2);
        QVERIFY(block.rec.findText(u"第   2 页"_s));
        QCOMPARE(block.rec.findText(u"经络虚实分析图-长条"_s)->points[0].y(), 236 + lh);
        const QList<DrawOp> axis = opsWhere(block.rec, [&](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.points[0] == QPoint(709, 236 + 3 * lh);
        });
        QVERIFY(!axis.isEmpty());

        ChartBlock fits(1, start - 1);
        QCOMPARE(fits.rec.ops(DrawOp::Kind::Page).size(), 1);
    }

    void singleColourSixColumnChartsShowTheSeriesByShape_data() {
        QTest::addColumn<int>("selection");
        QTest::newRow("yin-yang") << 3;
        QTest::newRow("qi-blood") << 4;
    }
    void singleColourSixColumnChartsShowTheSeriesByShape() {
        QFETCH(int, selection);
        ChartBlock block(selection, 500, true);
        const QList<DrawOp> circles = block.rec.ops(DrawOp::Kind::Ellipse);
        QCOMPARE(circles.size(), 7); // six points and the legend's marker
        for (const DrawOp &op : circles)
            QCOMPARE(op.brush.color, C::Black);
        const QList<DrawOp> squares = opsWhere(block.rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Rect && op.brush.style == BrushStyle::Solid;
        });
        QCOMPARE(squares.size(), 7);
        for (const DrawOp &op : squares) {
            QCOMPARE(op.brush.color, C::Black);
            // 2 mm wide, the two edges rounded separately.
            const int width = op.points[1].x() - op.points[0].x();
            QVERIFY2(width == 47 || width == 48, qPrintable(QString::number(width)));
        }
    }

    // Without colour the three grades of the legend and the marks still look different.
    void singleColourGradesDifferByShape_data() {
        QTest::addColumn<int>("selection");
        QTest::newRow("curve") << 2;
        QTest::newRow("Ryodoraku") << 8;
    }
    void singleColourGradesDifferByShape() {
        QFETCH(int, selection);
        ChartBlock block(selection, 500, true);
        QSet<QString> looks;
        for (const DrawOp &op : block.rec.ops()) {
            if (op.kind == DrawOp::Kind::Rect || op.kind == DrawOp::Kind::Ellipse)
                looks << u"%1 %2 %3"_s.arg(int(op.kind)).arg(int(op.brush.style)).arg(int(op.pen.style));
        }
        QCOMPARE(looks.size(), 3);
    }

    void acceptableGradeIsOliveOnPaper_data() {
        QTest::addColumn<int>("selection");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("bar") << 1 << C::Olive;
        QTest::newRow("curve") << 2 << C::Olive;
        QTest::newRow("Ryodoraku stays yellow") << 8 << C::Yellow;
    }
    void acceptableGradeIsOliveOnPaper() {
        QFETCH(int, selection);
        QFETCH(QColor, colour);
        ChartBlock block(selection, 500);
        const AnalysisResult &r = block.fixture.result;
        int acceptable = 0;
        for (int c = 1; c <= 24; ++c)
            acceptable += std::abs(r.grade(c)) == 1;
        QVERIFY(acceptable > 0);
        // One per acceptable channel, and the legend's swatch.
        QCOMPARE(filledOps(block.rec, DrawOp::Kind::Rect, colour).size(), acceptable + 1);
        QVERIFY(
            filledOps(block.rec, DrawOp::Kind::Rect, colour == C::Olive ? C::Yellow : C::Olive).isEmpty());
    }

    // A printed scale label stands level with its tick, not half a division below it: on the
    // yin-yang, qi-blood, controlling, Ryodoraku and autonomic charts.
    void tickLabelsStandOnTheirTicks() {
        const QRegularExpression number(u"^ *[+-]? *\\d+$"_s);
        for (const int selection : {3, 4, 6, 8, 9}) {
            ChartBlock block(selection, 500);
            const QList<DrawOp> ticks = opsWhere(block.rec, [](const DrawOp &op) {
                return op.kind == DrawOp::Kind::Line && op.points[0].x() == 709 &&
                       op.points[1].x() < 709 + 3543 / 40 && op.points[0].y() == op.points[1].y();
            });
            int labels = 0;
            for (const DrawOp &text : block.rec.ops(DrawOp::Kind::Text)) {
                if (!number.match(text.text).hasMatch() || block.rec.inkBox(text).right() >= 709)
                    continue;
                ++labels;
                int offset = INT_MAX;
                for (const DrawOp &tick : ticks)
                    offset =
                        std::min(offset, std::abs(block.rec.inkBox(text).center().y() - tick.points[0].y()));
                QVERIFY2(offset <= block.page->mm(1),
                         qPrintable(u"%1 \"%2\" %3"_s.arg(selection).arg(text.text).arg(offset)));
            }
            QVERIFY2(labels >= 9, qPrintable(QString::number(selection)));
        }
    }

    // The column lines of the six-column charts stop above the captions centred on them.
    void columnLinesLeaveTheCaptionsFree() {
        ChartBlock block(3, 500);
        const DrawOp *caption = block.rec.findText(u"心包经"_s);
        QVERIFY(caption);
        const QList<DrawOp> lines = opsWhere(block.rec, [](const DrawOp &op) {
            return op.kind == DrawOp::Kind::Line && op.pen.color == C::Gray &&
                   op.points[0].x() == op.points[1].x();
        });
        QCOMPARE(lines.size(), 12);
        for (const DrawOp &line : lines)
            QVERIFY(line.points[1].y() < block.rec.inkBox(*caption).top());
    }

    void printedLabelsAreCentredInTheirColumns() {
        ChartBlock block(1, 500);
        const DrawOp *lung = block.rec.findText(u"肺　经"_s);
        QVERIFY(lung);
        const double centre = 709 + 3543.0 / 24;
        QCOMPARE(lung->points[0].x(), qRound(centre) - block.rec.textWidth(u"肺　经"_s) / 2);
        QVERIFY(block.rec.findText(u"金"_s));
        QVERIFY(!block.rec.findText(u"  金"_s));
    }
};

QTEST_MAIN(TestPrintedCharts)
#include "test_printedcharts.moc"
