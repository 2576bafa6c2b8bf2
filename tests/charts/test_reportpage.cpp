// The report's page model: millimetres, print width, line height, breaks and page numbers.
#include "charts/chartcolours.h"
#include "charts/recordingsurface.h"
#include "charts/reportpage.h"

#include <QTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

int pagesBegun(const RecordingSurface &rec) {
    return static_cast<int>(rec.ops(DrawOp::Kind::Page).size());
}

} // namespace

class TestReportPage : public QObject {
    Q_OBJECT

private slots:
    void millimetresAt600Dpi_data() {
        QTest::addColumn<double>("mm");
        QTest::addColumn<int>("pixels");
        QTest::newRow("10 mm") << 10.0 << 236;
        QTest::newRow("1 mm") << 1.0 << 24;
        QTest::newRow("2 mm") << 2.0 << 47;
        QTest::newRow("30 mm") << 30.0 << 709;
        QTest::newRow("150 mm") << 150.0 << 3543;
        QTest::newRow("90 mm") << 90.0 << 2126;
    }
    void millimetresAt600Dpi() {
        QFETCH(double, mm);
        QFETCH(int, pixels);
        RecordingSurface rec(600);
        const ReportPage page(rec, {600, 4960, 7000}, false);
        QCOMPARE(page.mm(mm), pixels);
        QCOMPARE(page.mm(1) / 5, 4);
    }

    void printWidthIsAtMostEightInches_data() {
        QTest::addColumn<int>("printable");
        QTest::addColumn<int>("width");
        QTest::newRow("A4 at 600 dpi") << 4960 << 4800;
        QTest::newRow("narrow paper") << 4000 << 4000;
    }
    void printWidthIsAtMostEightInches() {
        QFETCH(int, printable);
        QFETCH(int, width);
        RecordingSurface rec(600);
        QCOMPARE(ReportPage(rec, {600, printable, 7000}, false).printWidth(), width);
    }

    void lineHeightIsOneMillimetreAndTheLettersHeight() {
        RecordingSurface rec(600);
        ReportPage page(rec, {600, 4960, 7000}, false);
        page.begin(10);
        QCOMPARE(page.y(), 236);
        QCOMPARE(page.lineHeight(), 24 + rec.textHeight(u"X"_s));
        QCOMPARE(pagesBegun(rec), 1);
        QCOMPARE(rec.ops().first().page, 1);
    }

    void newLinePastTheBottomMarginStartsANumberedPage() {
        RecordingSurface rec(600);
        ReportPage page(rec, {600, 4960, 7000}, false);
        page.begin(10);
        const int bottom = 7000 - page.mm(15);
        page.setY(bottom - page.lineHeight());
        page.newLine(); // exactly on the margin: still this page
        QCOMPARE(pagesBegun(rec), 1);
        rec.setFontColor(ChartColour::Red);
        page.newLine();
        QCOMPARE(pagesBegun(rec), 2);
        QCOMPARE(page.y(), 236);
        const DrawOp *number = rec.findText(u"第   2 页"_s);
        QVERIFY(number);
        QCOMPARE(number->font, ChartColour::Black);
        QCOMPARE(number->points[0], QPoint(page.printWidth() - rec.textWidth(u"第   2 页"_s) - 20, 20));
        // What follows on the new page is black until a section sets its colour.
        page.printLine(u"next"_s);
        QCOMPARE(rec.findText(u"next"_s)->font, ChartColour::Black);
        QCOMPARE(rec.findText(u"next"_s)->points[0], QPoint(236, 236));
    }

    void sectionBreakNeedsFiveLinesAboveTheMargin_data() {
        QTest::addColumn<bool>("chart");
        QTest::addColumn<int>("linesLeft");
        QTest::addColumn<bool>("newPage");
        QTest::newRow("text, 3 lines left") << false << 3 << true;
        QTest::newRow("text, 5 lines left") << false << 5 << false;
        QTest::newRow("chart, 3 lines left") << true << 3 << true;
        QTest::newRow("chart, 5 lines left") << true << 5 << false;
    }
    void sectionBreakNeedsFiveLinesAboveTheMargin() {
        QFETCH(bool, chart);
        QFETCH(int, linesLeft);
        QFETCH(bool, newPage);
        RecordingSurface rec(600);
        ReportPage page(rec, {600, 4960, 7000}, false);
        page.begin(10);
        // A chart block needs mm(86) more than a text section.
        const int reserve = chart ? page.mm(86) : 0;
        const int y = 7000 - page.mm(5) - reserve - linesLeft * page.lineHeight();
        page.setY(y);
        if (chart)
            page.chartBreak();
        else
            page.sectionBreak();
        QCOMPARE(pagesBegun(rec), newPage ? 2 : 1);
        // A text section's break is a new line; a chart block starts with an empty line of its own.
        QCOMPARE(page.y(), newPage ? 236 : chart ? y : y + page.lineHeight());
        QCOMPARE(rec.findText(u"第   2 页"_s) != nullptr, newPage);
    }

    void keepTogetherMovesAHeadingOffTheFootOfThePage_data() {
        QTest::addColumn<int>("linesLeft");
        QTest::addColumn<bool>("newPage");
        QTest::newRow("two lines left") << 2 << true;
        QTest::newRow("three lines left") << 3 << false;
    }
    void keepTogetherMovesAHeadingOffTheFootOfThePage() {
        QFETCH(int, linesLeft);
        QFETCH(bool, newPage);
        RecordingSurface rec(600);
        ReportPage page(rec, {600, 4960, 7000}, false);
        page.begin(10);
        // Room for `linesLeft` lines: the last one starts on the bottom margin.
        const int y = 7000 - page.mm(15) - (linesLeft - 1) * page.lineHeight();
        page.setY(y);
        page.keepTogether(3);
        QCOMPARE(pagesBegun(rec), newPage ? 2 : 1);
        QCOMPARE(page.y(), newPage ? 236 : y);
    }

    void nothingIsDrawnOnceAborted() {
        RecordingSurface rec(600);
        bool aborted = false;
        ReportPage page(rec, {600, 4960, 7000}, false, [&] { return aborted; });
        page.begin(10);
        page.printLine(u"before"_s);
        aborted = true;
        page.printLine(u"after"_s);
        page.setY(7000);
        page.newLine();
        page.sectionBreak();
        QVERIFY(rec.findText(u"before"_s));
        QVERIFY(!rec.findText(u"after"_s));
        QCOMPARE(pagesBegun(rec), 1);
    }

    void singleColourInksBlack() {
        RecordingSurface rec(600);
        QCOMPARE(ReportPage(rec, {}, true).ink(ChartColour::Red), ChartColour::Black);
        QCOMPARE(ReportPage(rec, {}, false).ink(ChartColour::Red), ChartColour::Red);
    }
};

QTEST_MAIN(TestReportPage)
#include "test_reportpage.moc"
