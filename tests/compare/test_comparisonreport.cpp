// The printed comparison reports on the recording surface at 600 dpi.
#include "charts/recordingsurface.h"
#include "compare/comparisoncurves.h"
#include "compare/comparisonreport.h"
#include "core/numberformat.h"

#include <QSet>
#include <QTest>

#include <optional>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

constexpr int Dpi = 600;

constexpr PageGeometry A4At600{Dpi, 4800, 6800};

// The line height and text widths of the report font as the recording measures them.
struct Metrics {
    Metrics() {
        ReportPage page(rec, A4At600, false);
        page.begin(10);
        lineHeight = page.lineHeight();
    }
    int width(double points, const QString &text) {
        rec.setFontSize(points);
        return rec.textWidth(text);
    }
    RecordingSurface rec{Dpi};
    int lineHeight = 0;
};

ComparisonRecord slot(const QString &number, double plain, bool high = false) {
    ComparisonRecord r;
    r.subjectNumber = number;
    r.subjectName = u"受测者 "_s + number;
    r.measuredAt = 46000.5;
    r.highPotential = high;
    r.corrected.fill(plain * 0.9);
    r.average = plain;
    return r;
}

PrintedRecord printedOf(const ComparisonRecord &r) {
    return {r.subjectNumber, r.subjectName, r.average, r.highPotential, r.measuredAt, {}};
}

ComparisonPrintout twoRecordPrintout(bool loaded, BandChoice band) {
    ComparisonPrintout p;
    p.kind = ComparisonKind::TwoRecord;
    const ComparisonRecord first = slot(u"A1"_s, 50);
    const std::optional<ComparisonRecord> second =
        loaded ? std::optional(slot(u"B2"_s, 80, true)) : std::nullopt;
    p.records.append(printedOf(first));
    if (second)
        p.records.append(printedOf(*second));
    p.chart = twoRecordChart(first, second, band, ChartMedium::Paper);
    return p;
}

const ComparisonReportHeader Header{u"某某中医诊所"_s, u"经络科"_s,
                                    QDateTime(QDate(2026, 12, 9), QTime(10, 30))};

// Six entries of plain readings 50, the second at high potential, the third's band chosen.
ComparisonPrintout multiRecordPrintout() {
    QList<ComparisonEntry> entries;
    for (int k = 1; k <= 6; ++k) {
        std::array<double, 24> readings;
        readings.fill(50);
        entries.append(ComparisonEntry::fromReadings(k, u"N%1"_s.arg(k), u"受测者%1"_s.arg(k), 46000 + k,
                                                     k == 2, readings));
    }
    return multiRecordPrintout(entries, 2);
}

RecordingSurface produce(const ComparisonPrintout &p, ReportOutcome *outcome = nullptr,
                         const std::function<bool()> &aborted = {}, bool singleColour = false) {
    RecordingSurface rec(Dpi);
    ComparisonReportHeader header = Header;
    header.singleColour = singleColour;
    const ReportOutcome o = produceComparisonReport(rec, A4At600, p, header, aborted);
    if (outcome)
        *outcome = o;
    return rec;
}

int bandLineCount(const RecordingSurface &rec) {
    int n = 0;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Line))
        n += op.pen.style == PenStyle::Dotted && op.points[0].x() == 709 && op.points[1].x() == 709 + 3543;
    return n;
}

int markers(const RecordingSurface &rec) {
    int n = 0;
    for (const DrawOp &op : rec.ops(DrawOp::Kind::Rect))
        n += op.brush.style == BrushStyle::Solid && op.points[1] - op.points[0] == QPoint(48, 48);
    return n;
}

} // namespace

class TestComparisonReport : public QObject {
    Q_OBJECT

private slots:
    void printingAtOnceShowsOneRecordAndNoBand() {
        ReportOutcome outcome{};
        const RecordingSurface rec = produce(twoRecordPrintout(false, BandChoice::None), &outcome);
        QCOMPARE(outcome, ReportOutcome::Finished);
        QVERIFY(rec.findText(u"1. 原始资料"_s));
        QVERIFY(!rec.findText(u"2. 比对数据"_s));
        QVERIFY(!rec.findText(u"XX"_s));
        QCOMPARE(bandLineCount(rec), 0);
        QCOMPARE(markers(rec), 24);
    }

    void headerAndRecordRows() {
        Metrics m;
        const int LH = m.lineHeight;
        const RecordingSurface rec = produce(twoRecordPrintout(true, BandChoice::None));
        const QString title = u"O.R.L.U. 能量比对分析报表"_s;
        const DrawOp *titleOp = rec.findText(title);
        QVERIFY(titleOp);
        QCOMPARE(titleOp->fontSize, 14.0);
        QCOMPARE(titleOp->points[0], QPoint(2400 - m.width(14, title) / 2, 236));
        QCOMPARE(titleOp->font, QColor(0, 0, 0));
        // The page number line stands at the top right, as on the analysis report.
        const DrawOp *pageNumber = rec.findText(u"第   1 页"_s);
        QVERIFY(pageNumber);
        QVERIFY(pageNumber->points[0].x() > 2400 && pageNumber->points[0].y() < titleOp->points[0].y());
        const DrawOp *organisation = rec.findText(u"某某中医诊所"_s);
        QVERIFY(organisation);
        QCOMPARE(organisation->font, QColor(0, 0, 255));
        QCOMPARE(organisation->fontSize, 12.0);
        QCOMPARE(organisation->points[0], QPoint(2400 - m.width(12, u"某某中医诊所"_s) / 2, 236 + 94 + LH));
        const int departmentY = 236 + 94 + 2 * LH;
        QCOMPARE(rec.findText(u"经络科"_s)->points[0].y(), departmentY);
        const int printedY = departmentY + 71 + LH;
        // ops(kind) returns a copy: keep the found op by value, not a pointer into it.
        std::optional<DrawOp> printedAt;
        for (const DrawOp &op : rec.ops(DrawOp::Kind::Text))
            if (op.text.startsWith(u"打印时间: "_s))
                printedAt = op;
        QVERIFY(printedAt);
        QCOMPARE(printedAt->points[0], QPoint(236, printedY));

        // The rule under the header, the width of the page less its margins.
        const QList<DrawOp> lines = rec.ops(DrawOp::Kind::Line);
        const int ruleY = printedY + LH;
        QCOMPARE(lines[0].points, (QList<QPoint>{{71, ruleY}, {4800 - 47, ruleY}}));
        QCOMPARE(lines[0].pen.width, 4);

        const DrawOp *first = rec.findText(u"1. 原始资料"_s);
        QCOMPARE(first->points[0], QPoint(236, ruleY + LH));
        QCOMPARE(first->font, QColor(0, 0, 255));
        const int rowY = ruleY + 2 * LH + 71;
        QCOMPARE(rec.findText(u"编号:  A1"_s)->points[0], QPoint(236, rowY));
        QCOMPARE(rec.findText(u"姓名:  受测者 A1"_s)->points[0], QPoint(1417, rowY));
        QCOMPARE(rec.findText(u"体能:  50.00"_s)->points[0], QPoint(2717, rowY));
        QCOMPARE(rec.findText(u"测量电位:  "_s)->points[0], QPoint(3780, rowY));
        const DrawOp *standard = rec.findText(u"标准电位"_s);
        QCOMPARE(standard->points[0], QPoint(3780 + m.width(10, u"测量电位:  "_s), rowY));
        QCOMPARE(standard->font, QColor(0, 128, 0));
        const DrawOp *second = rec.findText(u"2. 比对数据"_s);
        QCOMPARE(second->points[0].y(), rowY + LH + 142 + LH);
        const DrawOp *high = rec.findText(u"高电位"_s);
        QVERIFY(high);
        QCOMPARE(high->font, QColor(255, 0, 0));
        QCOMPARE(high->points[0].y(), second->points[0].y() + 71 + LH);

        // The chart title mm(10) and a line below the last row, the chart three lines below it.
        const DrawOp *chartTitle = rec.findText(u"能量比对图"_s);
        const int lastRowY = high->points[0].y() + LH;
        QCOMPARE(chartTitle->points[0].y(), lastRowY + 236 + LH);
        QCOMPARE(rec.ops(DrawOp::Kind::Line)[1].points[0], QPoint(709, chartTitle->points[0].y() + 3 * LH));
    }

    void bandOfTheChosenSlotIsMarked_data() {
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("slot"); // legend place of the marked record
        QTest::newRow("原始资料") << int(BandChoice::Original) << 3;
        QTest::newRow("比对数据") << int(BandChoice::Comparison) << 6;
    }
    void bandOfTheChosenSlotIsMarked() {
        QFETCH(int, band);
        QFETCH(int, slot);
        const int LH = Metrics().lineHeight;
        const RecordingSurface rec = produce(twoRecordPrintout(true, BandChoice(band)));
        const DrawOp *chartTitle = rec.findText(u"能量比对图"_s);
        QVERIFY(chartTitle);
        const int top = chartTitle->points[0].y() + 3 * LH;
        const DrawOp *mark = rec.findText(u"XX"_s);
        QVERIFY(mark);
        QCOMPARE(mark->points[0], QPoint(roundHalfEvenInt(3543 * slot / 7.0) - 118, top - 142));
        QCOMPARE(bandLineCount(rec), 4);
        QCOMPARE(markers(rec), 48);
    }

    void multiRecordListsEveryEntry() {
        const RecordingSurface rec = produce(multiRecordPrintout());
        QVERIFY(rec.findText(u"O.R.L.U. 多重能量比对分析报表"_s));
        QVERIFY(rec.findText(u"多重能量比对图"_s));
        for (int k = 1; k <= 6; ++k) {
            const DrawOp *number = rec.findText(QString::number(k) + u": "_s);
            QVERIFY(number);
            QCOMPARE(number->points[0].x(), 118); // mm(5)
            QCOMPARE(number->font, QColor(0, 0, 255));
            QVERIFY(rec.findText(u"姓名:  受测者%1"_s.arg(k)));
        }
        // All plain readings 50: the corrected mean is printed.
        QVERIFY(rec.findText(u"体能:  50.57"_s));
        const DrawOp *chosen = rec.findText(u"[ 3]:"_s);
        QVERIFY(chosen);
        QCOMPARE(chosen->font, QColor(255, 0, 0));
        QVERIFY(!rec.findText(u"XX"_s));
        QCOMPARE(bandLineCount(rec), 4);
        QCOMPARE(markers(rec), 6 * 24);
    }

    // "单色" prints nothing pale: texts, lines and markers black (a hollow marker white),
    // and the records still differ by the line and marker their legend entry shows.
    void singleColourPrintsBlack_data() {
        QTest::addColumn<bool>("multi");
        QTest::addColumn<int>("looks");
        QTest::newRow("two records") << false << 2;
        QTest::newRow("six records") << true << 6;
    }
    void singleColourPrintsBlack() {
        QFETCH(bool, multi);
        const RecordingSurface rec = produce(
            multi ? multiRecordPrintout() : twoRecordPrintout(true, BandChoice::Original), nullptr, {}, true);
        const QColor black(Qt::black);
        const QList<DrawOp> &ops = rec.ops();
        QSet<QString> looks; // of each legend entry: its number (" 1:", "[ 3]:"), line and marker
        for (qsizetype i = 0; i < ops.size(); ++i) {
            const DrawOp &op = ops[i];
            if (op.kind == DrawOp::Kind::Text)
                QCOMPARE(op.font, black);
            else if (op.kind != DrawOp::Kind::Page && op.pen.style != PenStyle::None)
                QCOMPARE(op.pen.color, black);
            if (op.brush.style == BrushStyle::Solid && op.kind != DrawOp::Kind::Text)
                QVERIFY(op.brush.color == black || op.brush.color == QColor(Qt::white));
            if (op.kind == DrawOp::Kind::Text && i + 2 < ops.size() &&
                (op.text.endsWith(u"]:"_s) || (op.text.size() == 3 && op.text.endsWith(u':'))))
                looks << u"%1 %2"_s.arg(int(ops[i + 1].pen.style)).arg(ops[i + 2].brush.color.name());
        }
        QTEST(int(looks.size()), "looks");
    }

    void abortedBeforeTheStartDrawsNothing() {
        ReportOutcome outcome{};
        const RecordingSurface rec =
            produce(twoRecordPrintout(true, BandChoice::Original), &outcome, [] { return true; });
        QCOMPARE(outcome, ReportOutcome::Aborted);
        QVERIFY(rec.ops(DrawOp::Kind::Text).isEmpty());
    }
};

QTEST_MAIN(TestComparisonReport)
#include "test_comparisonreport.moc"
